// sfmc build SOURCE.json -o FILE.sfm | sfmc dump FILE.sfm [-o OUT.json]
#include "sfmc.h"

#include "../hostfile.h"

#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

int usage() {
    std::cerr << "usage: sfmc build SOURCE.json -o FILE.sfm\n"
                 "       sfmc dump FILE.sfm [-o OUT.json]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3 && argc != 5)
        return usage();
    std::string cmd = argv[1], in = argv[2], out;
    if (argc == 5) {
        if (std::strcmp(argv[3], "-o"))
            return usage();
        out = argv[4];
    }
    if ((cmd != "build" && cmd != "dump") || (cmd == "build" && out.empty()))
        return usage();
    sfmc::Bytes input;
    if (!hostfile::read_all(in, input)) {
        std::cerr << "sfmc: cannot read " << in << "\n";
        return 1;
    }
    std::string result;
    try {
        if (cmd == "build") {
            sfmc::Bytes file = sfmc::build(sfmc::json::parse(input.begin(), input.end(), nullptr, true, true));
            result.assign(file.begin(), file.end());
        } else {
            result = sfmc::dump(input).dump(2) + "\n";
        }
    } catch (const std::exception &e) {
        std::cerr << "sfmc: " << in << ": " << e.what() << "\n";
        return 1;
    }
    if (out.empty()) {
        std::cout << result;
        return 0;
    }
    if (!hostfile::write_all(out, result)) {
        std::cerr << "sfmc: cannot write " << out << "\n";
        return 1;
    }
    return 0;
}
