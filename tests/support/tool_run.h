// Runs the built mrlprint (or the one MRLPRINT_EXE names) as a user would
// and collects its exit code, stdout and stderr.
#pragma once

#include "module_path.h"
#include "temp_files.h"

#include <windows.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

struct ToolResult {
    DWORD rc = 0xFFFFFFFF;
    std::string out, err;
};

inline std::string slurp(const std::wstring &path) {
    std::ifstream f(path.c_str(), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

inline std::wstring tool() {
    wchar_t env[MAX_PATH];
    if (GetEnvironmentVariableW(L"MRLPRINT_EXE", env, MAX_PATH))
        return env;
    return built_module_path(L"tools\\mrlprint\\mrlprint.exe");
}

// during(process id), when given, runs while the tool does (a sheet it opens, say).
inline ToolResult run_tool(const std::vector<std::wstring> &args, const std::function<void(DWORD)> &during = nullptr) {
    std::wstring line = L"\"" + tool() + L"\"";
    for (const std::wstring &a : args)
        line += L" \"" + a + L"\"";
    std::wstring out_path = temp_path("mrlprint.out"), err_path = temp_path("mrlprint.err");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileW(out_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileW(err_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi = {};
    ToolResult r;
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        if (during)
            during(pi.dwProcessId);
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &r.rc);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    r.out = slurp(out_path);
    r.err = slurp(err_path);
    return r;
}

