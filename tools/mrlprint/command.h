// Command registry of mrlprint: each cmd_*.cpp registers its commands with
// MRLPRINT_COMMAND so that the tool grows without touching main.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace mrlprint {

using Args = std::vector<std::wstring>;
// Returns the process exit code.
using Handler = int (*)(const Args &args);

// usage is the command's syntax, two spaces, then what it does. The syntax
// is also what main checks the arguments against before the handler runs:
// UPPER-case words are arguments, "--name VALUE" an option with a value,
// "--name" alone a flag; what stands in [brackets] may be left out.
struct Registrar {
    Registrar(const wchar_t *name, const wchar_t *usage, Handler handler);
};

// Console output in UTF-8.
void out(const wchar_t *fmt, ...);
void err(const wchar_t *fmt, ...);
// The value following --name, or empty.
std::wstring option(const Args &args, const wchar_t *name);
bool flag(const Args &args, const wchar_t *name);

// "error 5 (Access is denied.)": a Win32 error number with its system text.
std::wstring error_text(DWORD code);
// Opens a printer by name; on failure reports it in the tool's one wording
// ("no printer named ..." or the error's text) and returns null.
HANDLE open_printer(const std::wstring &name, PRINTER_DEFAULTSW *defaults = nullptr);
// Text of a name read from outside: control characters as \xNN.
std::wstring shown(const std::wstring &text);
std::wstring shown(const char *text);
// Whole files; false when they cannot be read or written.
bool read_file(const std::wstring &path, std::vector<unsigned char> &bytes);
bool write_file(const std::wstring &path, const std::vector<unsigned char> &bytes);
// "1 stock", "2 stocks".
std::wstring count(long n, const wchar_t *one, const wchar_t *many);

} // namespace mrlprint

#define MRLPRINT_CAT2(a, b) a##b
#define MRLPRINT_CAT(a, b) MRLPRINT_CAT2(a, b)
#define MRLPRINT_COMMAND(name, usage, handler) \
    static ::mrlprint::Registrar MRLPRINT_CAT(mrlprint_registrar_, __LINE__)(name, usage, handler)
