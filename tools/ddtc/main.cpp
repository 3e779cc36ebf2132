// ddtc build SOURCE.json -o FILE.ddt | ddtc dump FILE.ddt [-o OUT.json] | ddtc check FILE.ddt
#include "ddtc.h"

#include "../hostfile.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

int usage() {
    std::cerr << "usage: ddtc build SOURCE.json -o FILE.ddt\n"
                 "       ddtc dump FILE.ddt [-o OUT.json]\n"
                 "       ddtc check FILE.ddt\n";
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3)
        return usage();
    std::string cmd = argv[1], in = argv[2], out;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "-o"))
            return usage();
        out = argv[i + 1];
    }
    if ((argc - 3) % 2)
        return usage();
    ddtc::Bytes input;
    if (!hostfile::read_all(in, input)) {
        std::cerr << "ddtc: cannot read " << in << "\n";
        return 1;
    }
    try {
        if (cmd == "build") {
            if (out.empty())
                return usage();
            ddtc::json source = ddtc::json::parse(input.begin(), input.end());
            ddtc::Bytes file = ddtc::build(source);
            if (!hostfile::write_all(out, std::string(file.begin(), file.end()))) {
                std::cerr << "ddtc: cannot write " << out << "\n";
                return 1;
            }
            return 0;
        }
        if (cmd == "dump") {
            std::string text = ddtc::dump(input).dump(2) + "\n";
            if (out.empty()) {
                std::cout << text;
                return 0;
            }
            if (!hostfile::write_all(out, text)) {
                std::cerr << "ddtc: cannot write " << out << "\n";
                return 1;
            }
            return 0;
        }
        if (cmd == "check") {
            int errors = 0, warnings = 0;
            for (const ddtc::Problem &p : ddtc::check(input)) {
                std::cout << in << ": " << (p.error ? "error: " : "warning: ") << p.text << "\n";
                (p.error ? errors : warnings)++;
            }
            std::cout << in << ": " << errors << " errors, " << warnings << " warnings\n";
            return errors ? 1 : 0;
        }
    } catch (const ddtc::Error &e) {
        std::cerr << in << ": " << e.what() << "\n";
        return 1;
    } catch (const ddtc::json::exception &e) {
        std::cerr << in << ": " << e.what() << "\n";
        return 1;
    }
    return usage();
}
