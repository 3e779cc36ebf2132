// Where the built driver module lies relative to a test executable.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring built_module_path(const wchar_t *file = L"mrl32ui.dll") {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self);
    dir.resize(dir.find_last_of(L'\\'));              // .../win64/tests
    dir.resize(dir.find_last_of(L'\\') + 1);          // .../win64/
    return dir + file;
}
