// sfmc build SOURCE.json -o FILE.sfm | sfmc dump FILE.sfm [-o OUT.json]
#include "sfmc.h"

#include "../hostfile.h"
#include "cli.h"

#include <iostream>

namespace {

const char kUsage[] = "usage: sfmc build SOURCE.json -o FILE.sfm   compile a label-stock list\n"
                      "       sfmc dump FILE.sfm [-o OUT.json]     its source (builds back into the same bytes)\n";
const toolcli::Command kCommands[] = {{"build", true}, {"dump", false}};

} // namespace

int main(int argc, char **argv) {
    toolcli::Args a;
    int rc = toolcli::parse(argc, argv, "sfmc", kUsage, kCommands, a);
    if (rc >= 0)
        return rc;
    sfmc::Bytes input;
    if (!hostfile::read_all(a.in, input)) {
        std::cerr << "sfmc: cannot read " << a.in << "\n";
        return 1;
    }
    std::string result;
    try {
        if (a.command == "build") {
            sfmc::Bytes file = sfmc::build_text(input);
            result.assign(file.begin(), file.end());
        } else {
            result = sfmc::dump(input).dump(2) + "\n";
        }
    } catch (const sfmc::Error &e) {
        std::cerr << "sfmc: " << a.in << ": " << e.what() << "\n";
        return 1;
    }
    if (a.out.empty()) {
        std::cout << result;
        return 0;
    }
    if (!hostfile::write_all(a.out, result)) {
        std::cerr << "sfmc: cannot write " << a.out << "\n";
        return 1;
    }
    return 0;
}
