// Command registry of mrlprint: each cmd_*.cpp registers its commands with
// MRLPRINT_COMMAND so that the tool grows without touching main.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace mrlprint {

using Args = std::vector<std::wstring>;
// Returns the process exit code.
using Handler = int (*)(const Args &args);

struct Registrar {
    Registrar(const wchar_t *name, const wchar_t *usage, Handler handler);
};

// Console output in UTF-8.
void out(const wchar_t *fmt, ...);
void err(const wchar_t *fmt, ...);
// The value following --name, or empty.
std::wstring option(const Args &args, const wchar_t *name);
bool flag(const Args &args, const wchar_t *name);

} // namespace mrlprint

#define MRLPRINT_CAT2(a, b) a##b
#define MRLPRINT_CAT(a, b) MRLPRINT_CAT2(a, b)
#define MRLPRINT_COMMAND(name, usage, handler) \
    static ::mrlprint::Registrar MRLPRINT_CAT(mrlprint_registrar_, __LINE__)(name, usage, handler)
