// Failure paths of the exports and the spooler helpers, driven through the
// platform seam: printers that cannot be opened, spooler queries that fail,
// allocations that fail.
#include "driver/exports.h"
#include "driver_env.h"
#include "foundation/memory.h"
#include "foundation/util.h"
#include "platform/globals.h"

#include <vector>

MRL_DRIVER_ENVIRONMENT();

namespace {

int allocations_left = 0;
void *counted_alloc(size_t size) {
    if (allocations_left-- <= 0)
        return nullptr;
    return GlobalAlloc(GMEM_ZEROINIT, size);
}

HANDLE const kFakePrinter = reinterpret_cast<HANDLE>(0x1234);
BOOL WINAPI open_ok(LPWSTR, LPHANDLE h, LPPRINTER_DEFAULTSW) {
    *h = kFakePrinter;
    return TRUE;
}
BOOL WINAPI open_fails(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
}
int closes = 0;
BOOL WINAPI close_counted(HANDLE) {
    ++closes;
    return TRUE;
}
// A spooler that needs 64 bytes and then fills them.
BOOL WINAPI get_needs_64(HANDLE, DWORD, LPBYTE buf, DWORD size, LPDWORD needed) {
    *needed = 64;
    if (size < 64) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memset(buf, 0x5A, 64);
    return TRUE;
}
BOOL WINAPI get_denied(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}
BOOL WINAPI get_succeeds_without_buffer(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD needed) {
    *needed = 0;
    return TRUE;
}
BOOL WINAPI driver_denied(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

class FailurePaths : public SeamTest {
protected:
    // A printer that opens, counts its closes, and whose driver information cannot be read.
    static void printer_without_model() {
        platform::spooler().OpenPrinterW = open_ok;
        platform::spooler().ClosePrinter = close_counted;
        platform::spooler().GetPrinterDriverW = driver_denied;
        closes = 0;
    }
};

// Each spooler answer that gives no block (refused, empty, or no memory for it) gives null.
TEST_F(FailurePaths, PrinterQueriesAllocateOnlyAfterAnInsufficientBufferAnswer) {
    platform::spooler().GetPrinterW = get_needs_64;
    auto *block = static_cast<BYTE *>(MyGetPrinter(kFakePrinter, 2));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[63], 0x5A);
    MEMFREE(block);
    for (auto get : {get_denied, get_succeeds_without_buffer}) {
        platform::spooler().GetPrinterW = get;
        EXPECT_EQ(MyGetPrinter(kFakePrinter, 2), nullptr);
        EXPECT_FALSE(UpgradeDefaultDevMode(kFakePrinter, nullptr));
    }
    platform::spooler().GetPrinterW = get_needs_64;
    mrl::allocation().alloc = counted_alloc;
    allocations_left = 0;
    EXPECT_EQ(MyGetPrinter(kFakePrinter, 2), nullptr);
    EXPECT_FALSE(UpgradeDefaultDevMode(kFakePrinter, nullptr));
    platform::reset();
    platform::spooler().GetPrinterDriverW = driver_denied;
    EXPECT_EQ(MyGetPrinterDriver(kFakePrinter, 2), nullptr);
}

// A printer that cannot be opened: the default fails and leaves the buffer as
// it was, the initialize event is still done, the upgrade fails.
TEST_F(FailurePaths, APrinterThatCannotBeOpened) {
    platform::spooler().OpenPrinterW = open_fails;
    std::vector<BYTE> out(1460, 0xCC);
    LONG needed = 1460;
    wchar_t name[] = L"Label";
    EXPECT_FALSE(DrvConvertDevMode(name, nullptr, reinterpret_cast<DEVMODEW *>(out.data()), &needed, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(needed, 1460);
    EXPECT_EQ(std::vector<BYTE>(1460, 0xCC), out);
    EXPECT_TRUE(DrvPrinterEvent(name, PRINTER_EVENT_INITIALIZE, 0, 0));
    DRIVER_UPGRADE_INFO_1W info = {name, nullptr};
    SetLastError(0);
    EXPECT_FALSE(DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// A printer whose model cannot be read: the default, the upgrade and the merge
// fail, and every printer opened is closed again.
TEST_F(FailurePaths, APrinterWithoutAModel) {
    printer_without_model();
    std::vector<BYTE> out(1460, 0xCC);
    LONG needed = 2000;
    wchar_t name[] = L"Label";
    EXPECT_FALSE(DrvConvertDevMode(name, nullptr, reinterpret_cast<DEVMODEW *>(out.data()), &needed, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(needed, 1460);
    DRIVER_UPGRADE_INFO_1W info = {name, nullptr};
    EXPECT_FALSE(DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(closes, 2);
    out.assign(1460, 0xCC);
    DOCUMENTPROPERTYHEADER header = {};
    header.cbSize = sizeof header;
    header.hPrinter = kFakePrinter;
    header.pdmOut = reinterpret_cast<DEVMODEW *>(out.data());
    header.fMode = DM_OUT_BUFFER;
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_EQ(std::vector<BYTE>(1460, 0xCC), out);
}

} // namespace
