// ddtc build SOURCE.json -o FILE.ddt | ddtc dump FILE.ddt [-o OUT.json] | ddtc check FILE.ddt
#include "ddtc.h"

#include "../hostfile.h"
#include "cli.h"

#include <iostream>

namespace {

const char kUsage[] = "usage: ddtc build SOURCE.json -o FILE.ddt   compile a driver data file\n"
                      "       ddtc dump FILE.ddt [-o OUT.json]     its source (builds back into the same bytes)\n"
                      "       ddtc check FILE.ddt                  what the driver would stumble on; exit 1 on errors\n";
const toolcli::Command kCommands[] = {{"build", true}, {"dump", false}, {"check", false}};

} // namespace

int main(int argc, char **argv) {
    toolcli::Args a;
    int rc = toolcli::parse(argc, argv, "ddtc", kUsage, kCommands, a);
    if (rc >= 0)
        return rc;
    ddtc::Bytes input;
    if (!hostfile::read_all(a.in, input)) {
        std::cerr << "ddtc: cannot read " << a.in << "\n";
        return 1;
    }
    try {
        if (a.command == "build") {
            ddtc::Bytes file = ddtc::build_text(input);
            if (!hostfile::write_all(a.out, std::string(file.begin(), file.end()))) {
                std::cerr << "ddtc: cannot write " << a.out << "\n";
                return 1;
            }
            return 0;
        }
        if (a.command == "dump") {
            std::string text = ddtc::dump(input).dump(2) + "\n";
            if (a.out.empty()) {
                std::cout << text;
                return 0;
            }
            if (!hostfile::write_all(a.out, text)) {
                std::cerr << "ddtc: cannot write " << a.out << "\n";
                return 1;
            }
            return 0;
        }
        int errors = 0, warnings = 0;
        for (const ddtc::Problem &p : ddtc::check(input)) {
            std::cout << a.in << ": " << (p.error ? "error: " : "warning: ") << p.text << "\n";
            (p.error ? errors : warnings)++;
        }
        std::cout << a.in << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
                  << (warnings == 1 ? " warning\n" : " warnings\n");
        return errors ? 1 : 0;
    } catch (const ddtc::Error &e) {
        std::cerr << "ddtc: " << a.in << ": " << e.what() << "\n";
        return 1;
    }
}
