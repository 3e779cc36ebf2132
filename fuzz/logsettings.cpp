// Stored logging values of any size and content, read, saved and read again:
// the texts stay within what a 260-byte read holds (the directory one more for
// its backslash, which it always ends with), and what was saved reads back the same.
//
// Input: up to five values, each [length / 2][length bytes], in the order of kNames.
#include "foundation/util.h"
#include "store/logsettings.h"
#include "store/prtreg.h"

#include <cstdlib>

namespace {

bool same(const OString &a, const OString &b) {
    return a.len() == b.len() && !mrl::__memcmp(a.wstring(), b.wstring(), a.len() * LONG(sizeof(WCHAR)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const char *const kNames[] = {"Log Logging", "Log OverWriteFile", "Log GenerateFile", "Log Directory", "Log File"};
    prtreg_host_clear();
    prtreg store(reinterpret_cast<HANDLE>(0x4c));
    for (size_t i = 0, k = 0; i < size && k < 5; ++k) {
        size_t len = data[i++] * 2u;
        len = len < size - i ? len : size - i;
        store.SaveRaw(kNames[k], data + i, static_cast<LONG>(len), false);
        i += len;
    }
    LogSettings first, again;
    first.Load(store, WSTR("Printer"));
    LONG dir = first.directory.len();
    if (dir < 1 || dir > LogSettings::kChars + 1 || first.logFile.len() > LogSettings::kChars ||
        first.directory.wstring()[dir - 1] != '\\' || !first.Save(store))
        std::abort();
    again.Load(store, WSTR("Other"));
    if (again.logging != first.logging || again.overwrite != first.overwrite || again.generateFile != first.generateFile ||
        !same(again.logFile, first.logFile) || !same(again.directory, first.directory))
        std::abort();
    return 0;
}
