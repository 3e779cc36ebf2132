#include "command.h"

#include <cstdarg>
#include <cstdio>
#include <map>

namespace mrlprint {
namespace {

// What a command's syntax allows, read from its usage text.
struct Syntax {
    std::vector<std::wstring> required, optional; // argument names
    std::map<std::wstring, std::wstring> options; // --name -> value name ("" for a flag)
    std::vector<std::wstring> mandatory;          // options that must be given
};

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

std::wstring syntax_of(const std::wstring &usage) { return usage.substr(0, usage.find(L"  ")); }

Syntax parse_syntax(const std::wstring &usage) {
    Syntax s;
    std::vector<std::wstring> words;
    std::wstring text = syntax_of(usage);
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(L' ', at);
        if (end == std::wstring::npos)
            end = text.size();
        if (end > at)
            words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        std::wstring w = words[i];
        bool optional = w[0] == L'[', closed = w.back() == L']';
        if (optional)
            w.erase(0, 1);
        if (closed)
            w.pop_back();
        if (w.rfind(L"--", 0) == 0) {
            std::wstring value;
            if (!closed && i + 1 < words.size() && words[i + 1][0] != L'[' && words[i + 1].rfind(L"--", 0)) {
                value = words[++i];
                if (value.back() == L']')
                    value.pop_back();
            }
            s.options[w] = value;
            if (!optional)
                s.mandatory.push_back(w);
        } else {
            (optional ? s.optional : s.required).push_back(w);
        }
    }
    return s;
}

bool is_help(const std::wstring &a) { return a == L"--help" || a == L"-h" || a == L"/?"; }

void list_commands(FILE *f) {
    auto write = f == stdout ? out : err;
    write(L"usage: mrlprint COMMAND [ARGS]   (mrlprint COMMAND --help for one command)\n");
    for (auto &kv : registry())
        write(L"  %ls %ls\n", kv.first.c_str(), kv.second.usage.c_str());
}

// Empty when args fit the syntax; else what is wrong.
std::wstring check_args(const Syntax &s, const Args &args) {
    size_t positional = 0;
    std::vector<std::wstring> given;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring &a = args[i];
        if (a.rfind(L"--", 0) == 0) {
            auto it = s.options.find(a);
            if (it == s.options.end())
                return L"unknown option " + a;
            if (!it->second.empty()) {
                if (i + 1 >= args.size() || args[i + 1].rfind(L"--", 0) == 0)
                    return a + L" needs " + it->second;
                ++i;
            }
            given.push_back(a);
        } else if (++positional > s.required.size() + s.optional.size()) {
            return L"unexpected argument \"" + a + L"\"";
        }
    }
    if (positional < s.required.size())
        return L"missing " + s.required[positional];
    for (const std::wstring &m : s.mandatory) {
        bool found = false;
        for (const std::wstring &g : given)
            found |= g == m;
        if (!found)
            return L"missing " + m + L" " + s.options.at(m);
    }
    return L"";
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

std::wstring error_text(DWORD code) {
    wchar_t *text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring s = L"error " + std::to_wstring(code);
    if (n && text) {
        std::wstring t(text, n);
        while (!t.empty() && (t.back() == L'\n' || t.back() == L'\r' || t.back() == L' '))
            t.pop_back();
        s += L" (" + t + L")";
    }
    LocalFree(text);
    return s;
}

HANDLE open_printer(const std::wstring &name, PRINTER_DEFAULTSW *defaults) {
    HANDLE h = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &h, defaults))
        return h;
    DWORD code = GetLastError();
    if (code == ERROR_INVALID_PRINTER_NAME)
        err(L"no printer named \"%ls\"\n", shown(name).c_str());
    else
        err(L"cannot open the printer \"%ls\": %ls\n", shown(name).c_str(), error_text(code).c_str());
    return nullptr;
}

std::wstring shown(const std::wstring &text) {
    std::wstring s;
    for (wchar_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            wchar_t buf[8];
            swprintf(buf, 8, L"\\x%02x", static_cast<unsigned>(c));
            s += buf;
        } else {
            s += c;
        }
    }
    return s;
}

std::wstring shown(const char *text) {
    std::wstring w;
    for (const char *p = text ? text : ""; *p; ++p)
        w += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return shown(w);
}

bool read_file(const std::wstring &path, std::vector<unsigned char> &bytes) {
    FILE *f = _wfopen(path.c_str(), L"rb");
    if (!f)
        return false;
    unsigned char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(f);
    return true;
}

bool write_file(const std::wstring &path, const std::vector<unsigned char> &bytes) {
    FILE *f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

std::wstring count(long n, const wchar_t *one, const wchar_t *many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

} // namespace mrlprint

int wmain(int argc, wchar_t **argv) {
    using namespace mrlprint;
    Args all(argv + 1, argv + argc);
    if (all.empty() || is_help(all[0]) || all[0] == L"help") {
        list_commands(all.empty() ? stderr : stdout);
        return all.empty() ? 2 : 0;
    }
    auto it = registry().find(all[0]);
    if (it == registry().end()) {
        err(L"mrlprint: unknown command \"%ls\"\n", shown(all[0]).c_str());
        list_commands(stderr);
        return 2;
    }
    Args args(all.begin() + 1, all.end());
    const std::wstring &usage = it->second.usage;
    for (const std::wstring &a : args)
        if (is_help(a)) {
            out(L"usage: mrlprint %ls %ls\n", it->first.c_str(), usage.c_str());
            return 0;
        }
    std::wstring wrong = check_args(parse_syntax(usage), args);
    if (!wrong.empty()) {
        err(L"mrlprint %ls: %ls\nusage: mrlprint %ls %ls\n", it->first.c_str(), wrong.c_str(), it->first.c_str(),
            syntax_of(usage).c_str());
        return 2;
    }
    int rc = it->second.handler(args);
    fflush(stdout);
    return rc;
}
