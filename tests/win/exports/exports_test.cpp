// Loads the built module as the spooler does and checks what it answers
// without any printer model: sizes, error codes, untouched buffers.
#include "module_path.h"
#include "platform/ddiui.h"
#include "store/printerquery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class Module : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module = LoadLibraryW(built_module_path().c_str());
        ASSERT_NE(module, nullptr) << "LoadLibraryW failed: " << GetLastError();
    }
    static void TearDownTestSuite() {
        FreeLibrary(module);
        module = nullptr;
    }
    template <typename F> static F get(const char *name) {
        return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
    }
    static HMODULE module;
};
HMODULE Module::module = nullptr;

using ConvertFn = decltype(&DrvConvertDevMode);
using SheetFn = decltype(&DrvDocumentPropertySheets);
using CapsFn = decltype(&DrvDeviceCapabilities);
using EventFn = decltype(&DrvPrinterEvent);
using UpgradeFn = decltype(&DrvUpgradePrinter);
using QueryFn = decltype(&DevQueryPrintEx);

// Messages shown before a language module is loaded must never be blank boxes.
TEST_F(Module, CarriesATextForEveryMessageItShows) {
    for (LONG id : {IDS_CAPTION_WARNING, IDS_CAPTION_QUERY, IDS_CAPTION_SEND, IDS_SPL_OTHER, IDS_PORT_SETTING_BAD,
                    IDS_SPL_BUSY, IDS_SPL_INVALID_PARAMETER, IDS_SPL_INVALID_LEVEL, IDS_SPL_PARALLEL_PORT,
                    IDS_SPL_INVALID_HANDLE, IDS_ENQ_SERIAL_OK, IDS_ENQ_SERIAL_OK_HEAD, IDS_ENQ_NO_ANSWER,
                    IDS_ENQ_CAPTION}) {
        wchar_t text[512] = {};
        EXPECT_GT(LoadStringW(module, UINT(id), text, 512), 3) << id;
    }
}

TEST_F(Module, ConvertDevModeSizeAnswers) {
    auto convert = get<ConvertFn>("DrvConvertDevMode");
    ASSERT_NE(convert, nullptr);

    // 3.51 layout into a buffer too small: size needed, error 122, buffer untouched.
    std::vector<BYTE> small(1036, 0xAB);
    LONG needed = static_cast<LONG>(small.size());
    SetLastError(0);
    EXPECT_FALSE(convert(nullptr, nullptr, reinterpret_cast<DEVMODEW *>(small.data()), &needed, CDM_CONVERT351));
    EXPECT_EQ(needed, 1428);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::vector<BYTE>(1036, 0xAB), small);

    // Driver default with no room: the full size.
    needed = 0;
    SetLastError(0);
    EXPECT_FALSE(convert(nullptr, nullptr, nullptr, &needed, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(needed, 1460);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    // Unknown mode: 2 and nothing touched.
    needed = 77;
    EXPECT_EQ(convert(nullptr, nullptr, reinterpret_cast<DEVMODEW *>(small.data()), &needed, 8), 2);
    EXPECT_EQ(needed, 77);
    EXPECT_EQ(std::vector<BYTE>(1036, 0xAB), small);

    // Missing size argument.
    SetLastError(0);
    EXPECT_FALSE(convert(nullptr, nullptr, nullptr, nullptr, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    // Convert without an output: FALSE, size and last error untouched.
    needed = 5;
    SetLastError(1234);
    EXPECT_FALSE(convert(nullptr, nullptr, nullptr, &needed, CDM_CONVERT));
    EXPECT_EQ(needed, 5);
    EXPECT_EQ(GetLastError(), 1234u);

    // Convert into a buffer shorter than a device-mode header, ending where
    // readable memory ends: the header it does not hold is never read.
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    auto *pages = static_cast<BYTE *>(VirtualAlloc(nullptr, 2 * si.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old_protect;
    ASSERT_TRUE(VirtualProtect(pages + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &old_protect));
    for (LONG size : {0, 1, 8, 70, 71}) {
        BYTE *end = pages + si.dwPageSize;
        std::fill(end - 72, end, BYTE(0xAB));
        needed = size;
        SetLastError(1234);
        EXPECT_FALSE(convert(nullptr, nullptr, reinterpret_cast<DEVMODEW *>(end - size), &needed, CDM_CONVERT)) << size;
        EXPECT_EQ(needed, size);
        EXPECT_EQ(GetLastError(), 1234u);
        EXPECT_EQ(std::vector<BYTE>(end - 72, end), std::vector<BYTE>(72, 0xAB));
    }
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(Module, DocumentPropertiesSizingCall) {
    auto sheets = get<SheetFn>("DrvDocumentPropertySheets");
    DOCUMENTPROPERTYHEADER header = {};
    header.cbSize = sizeof header;
    header.fMode = 0;
    EXPECT_EQ(sheets(nullptr, reinterpret_cast<LPARAM>(&header)), 1460);
    EXPECT_EQ(header.cbOut, 1460u);

    // A merge request without an output buffer is a sizing call too.
    header = {};
    header.fMode = DM_OUT_BUFFER;
    EXPECT_EQ(sheets(nullptr, reinterpret_cast<LPARAM>(&header)), 1460);
    EXPECT_EQ(header.cbOut, 1460u);

    EXPECT_EQ(sheets(nullptr, 0), 0);
}

TEST_F(Module, SheetReasonsWithoutAUiObject) {
    DOCUMENTPROPERTYHEADER doc = {};
    doc.cbSize = sizeof doc;
    DEVICEPROPERTYHEADER dev = {};
    dev.cbSize = sizeof dev;
    for (auto [name, init] : {std::pair<const char *, LPARAM>{"DrvDocumentPropertySheets", reinterpret_cast<LPARAM>(&doc)},
                              {"DrvDevicePropertySheets", reinterpret_cast<LPARAM>(&dev)}}) {
        auto sheets = get<SheetFn>(name);
        PROPSHEETUI_INFO info = {};
        info.cbSize = sizeof info;
        info.lParamInit = init;
        for (WORD reason : {PROPSHEETUI_REASON_GET_INFO_HEADER, PROPSHEETUI_REASON_DESTROY,
                            PROPSHEETUI_REASON_SET_RESULT}) {
            info.Reason = reason;
            EXPECT_EQ(sheets(&info, 0), -1) << name << " reason " << reason;
        }
        info.Reason = 4;
        EXPECT_EQ(sheets(&info, 0), 1) << name;
        info.Reason = 7;
        EXPECT_EQ(sheets(&info, 0), 1) << name;
    }
    auto device = get<SheetFn>("DrvDevicePropertySheets");
    EXPECT_EQ(device(nullptr, 0), -1);
    PROPSHEETUI_INFO no_header = {};
    no_header.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(device(&no_header, 0), -1);
}

TEST_F(Module, EventsQueriesAndUpgradesWithoutAPrinter) {
    auto query = get<QueryFn>("DevQueryPrintEx");
    DEVQUERYPRINT_INFO dq = {};
    dq.cbSize = sizeof dq;
    EXPECT_TRUE(query(&dq));

    auto event = get<EventFn>("DrvPrinterEvent");
    wchar_t name[] = L"No Such Printer";
    EXPECT_TRUE(event(name, PRINTER_EVENT_DELETE, 0, 0));

    auto upgrade = get<UpgradeFn>("DrvUpgradePrinter");
    SetLastError(0);
    EXPECT_FALSE(upgrade(1, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    auto caps = get<CapsFn>("DrvDeviceCapabilities");
    EXPECT_EQ(caps(nullptr, name, DC_PAPERS, nullptr, nullptr), static_cast<DWORD>(GDI_ERROR));
}

// Applications load and unload the module many times: every load registers
// the window class and answers, every unload leaves nothing behind.
TEST(ModuleLifetime, LoadsAndUnloadsInALoop) {
    const std::wstring path = built_module_path();
    for (int i = 0; i < 40; ++i) {
        HMODULE m = LoadLibraryW(path.c_str());
        ASSERT_NE(m, nullptr) << i;
        WNDCLASSW wc;
        EXPECT_TRUE(GetClassInfoW(m, L"prtbitmap", &wc)) << i;
        auto convert = reinterpret_cast<ConvertFn>(reinterpret_cast<void *>(GetProcAddress(m, "DrvConvertDevMode")));
        LONG needed = 0;
        EXPECT_FALSE(convert(nullptr, nullptr, nullptr, &needed, CDM_DRIVER_DEFAULT));
        EXPECT_EQ(needed, 1460) << i;
        ASSERT_TRUE(FreeLibrary(m)) << i;
        EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr) << i;
        EXPECT_FALSE(GetClassInfoW(m, L"prtbitmap", &wc)) << i;
    }
}

} // namespace
