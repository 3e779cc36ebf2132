// Stored logging values of any size and content, read, saved and read again:
// the texts stay within the 129 characters a 260-byte read holds (the
// directory with its backslash one more), the directory always ends with a
// backslash, and what was saved reads back the same.
//
// Input: five values, each [length][length bytes], in the order of the names below.
#include "store/logsettings.h"
#include "store/prtreg.h"

#include "foundation/util.h"

#include <cstdlib>

namespace {

bool same(const OString &a, const OString &b) {
    LONG n = a.len();
    return n == b.len() && mrl::__memcmp(a.wstring(), b.wstring(), n * LONG(sizeof(WCHAR))) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const char *const kNames[] = {"Log Logging", "Log OverWriteFile", "Log GenerateFile", "Log Directory",
                                         "Log File"};
    HANDLE const printer = reinterpret_cast<HANDLE>(0x4c);
    prtreg_host_clear();
    prtreg store(printer);
    size_t i = 0;
    for (const char *name : kNames) {
        if (i >= size)
            break;
        size_t len = data[i++] * 2u;
        if (len > size - i)
            len = size - i;
        store.SaveRaw(name, data + i, static_cast<LONG>(len), false);
        i += len;
    }
    LogSettings first;
    first.Load(store, WSTR("Printer"));
    LONG dir = first.directory.len(), file = first.logFile.len();
    if (dir < 1 || dir > LogSettings::kChars + 1 || file > LogSettings::kChars || first.directory.wstring()[dir - 1] != '\\')
        std::abort();
    if (!first.Save(store))
        std::abort();
    LogSettings again;
    again.Load(store, WSTR("Other"));
    // A directory of 129 characters gains a backslash that is not saved; it
    // gains it again when read back.
    if (again.logging != first.logging || again.overwrite != first.overwrite ||
        again.generateFile != first.generateFile || !same(again.logFile, first.logFile) ||
        !same(again.directory, first.directory))
        std::abort();
    return 0;
}
