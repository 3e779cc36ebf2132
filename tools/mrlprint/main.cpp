#include "command.h"

#include <cstdarg>
#include <cstdio>
#include <map>

namespace mrlprint {
namespace {

struct Entry {
    std::wstring usage;
    Handler handler;
};

std::map<std::wstring, Entry> &registry() {
    static std::map<std::wstring, Entry> r;
    return r;
}

void vwrite(FILE *f, const wchar_t *fmt, va_list ap) {
    wchar_t wide[8192];
    _vsnwprintf(wide, 8191, fmt, ap);
    wide[8191] = 0;
    char utf8[32768];
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    if (n > 0)
        fputs(utf8, f);
}

} // namespace

Registrar::Registrar(const wchar_t *name, const wchar_t *usage, Handler handler) {
    registry()[name] = Entry{usage, handler};
}

void out(const wchar_t *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vwrite(stdout, fmt, ap);
    va_end(ap);
}

void err(const wchar_t *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vwrite(stderr, fmt, ap);
    va_end(ap);
}

std::wstring option(const Args &args, const wchar_t *name) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name)
            return args[i + 1];
    return L"";
}

bool flag(const Args &args, const wchar_t *name) {
    for (auto &a : args)
        if (a == name)
            return true;
    return false;
}

} // namespace mrlprint

int wmain(int argc, wchar_t **argv) {
    using namespace mrlprint;
    if (argc < 2 || !registry().count(argv[1])) {
        err(L"usage: mrlprint COMMAND [ARGS]\n");
        for (auto &kv : registry())
            err(L"  %ls %ls\n", kv.first.c_str(), kv.second.usage.c_str());
        return 2;
    }
    Args args(argv + 2, argv + argc);
    int rc = registry()[argv[1]].handler(args);
    fflush(stdout);
    return rc;
}
