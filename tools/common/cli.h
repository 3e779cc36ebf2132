// Command lines of the host tools: TOOL COMMAND INPUT [-o OUTPUT]. Help goes to
// stdout with exit 0; anything not understood to stderr with exit 2.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

namespace toolcli {

struct Args {
    std::string command, in, out;
};

struct Command {
    const char *name;
    bool needs_out; // -o is required
};

// -1 when args are complete; else the exit code (help shown, or an error).
template <size_t N>
int parse(int argc, char **argv, const char *tool, const char *usage, const Command (&commands)[N], Args &a) {
    auto help = [&](int rc, const std::string &why) {
        if (!why.empty())
            std::fprintf(stderr, "%s: %s\n", tool, why.c_str());
        std::fputs(usage, rc ? stderr : stdout);
        return rc;
    };
    auto is_help = [](const char *s) { return !std::strcmp(s, "--help") || !std::strcmp(s, "-h"); };
    for (int i = 1; i < argc; ++i)
        if (is_help(argv[i]))
            return help(0, "");
    if (argc < 2)
        return help(2, "");
    if (argc == 2 && !std::strcmp(argv[1], "help"))
        return help(0, "");
    a.command = argv[1];
    const Command *command = nullptr;
    for (const Command &c : commands)
        if (a.command == c.name)
            command = &c;
    if (!command)
        return help(2, std::string("unknown command \"") + argv[1] + "\"");
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-o") {
            if (i + 1 >= argc)
                return help(2, "-o needs a file name");
            if (!a.out.empty())
                return help(2, "-o given twice");
            a.out = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return help(2, "unknown option \"" + arg + "\"");
        } else if (a.in.empty()) {
            a.in = arg;
        } else {
            return help(2, "one input file only (\"" + arg + "\")");
        }
    }
    if (a.in.empty())
        return help(2, a.command + " needs an input file");
    if (command->needs_out && a.out.empty())
        return help(2, a.command + " needs -o FILE");
    return -1;
}

} // namespace toolcli
