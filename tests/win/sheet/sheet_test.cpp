// The property sheets as users see them: Wine's DocumentPropertiesW and
// compstui show the installed driver's pages under Xvfb; a helper thread
// finds the controls by ID, chooses, and presses OK or Cancel. Every test
// checks that the page really ran: without a display a sheet returns OK too.
#include "installed_driver.h"
#include "module_path.h"
#include "screenshot.h"
#include "test_printer.h"

#include "resource_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
DEVMODEW *as_dm(Bytes &b) { return reinterpret_cast<DEVMODEW *>(b.data()); }

constexpr wchar_t kModel[] = L"Zebra ZD420-203dpi";

BOOL CALLBACK find_tabbed(HWND wnd, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(wnd) && FindWindowExW(wnd, nullptr, WC_TABCONTROLW, nullptr)) {
        *reinterpret_cast<HWND *>(found) = wnd;
        return FALSE;
    }
    return TRUE;
}

// What the helper thread saw of the sheet.
struct Seen {
    bool ran = false;              // the regional page filled its lists
    LONG languages = 0;            // items of the language list
    std::wstring inches;           // the text of "inches" in the units list
    LONG units = -1;               // the units selected when the sheet opened
};

// Waits for the sheet, runs act on its regional page, then presses the button.
class SheetScript {
public:
    SheetScript(std::function<void(HWND sheet, HWND page)> act, int button) {
        thread_ = std::thread([this, act, button] {
            HWND sheet = nullptr;
            for (int i = 0; i < 200 && !sheet; ++i, Sleep(50))
                EnumWindows(find_tabbed, reinterpret_cast<LPARAM>(&sheet));
            if (!sheet)
                return;
            HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            HWND units = GetDlgItem(page, IDC_RGN_UNITS), langs = GetDlgItem(page, IDC_RGN_LANGUAGE);
            seen.ran = units && SendMessageW(units, CB_GETCOUNT, 0, 0) == 4;
            seen.languages = static_cast<LONG>(SendMessageW(langs, CB_GETCOUNT, 0, 0));
            seen.units = static_cast<LONG>(SendMessageW(units, CB_GETCURSEL, 0, 0));
            wchar_t text[64] = {};
            if (SendMessageW(units, CB_GETLBTEXTLEN, 1, 0) < 64)
                SendMessageW(units, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
            seen.inches = text;
            act(sheet, page);
            // Posted: Wine's sheet ends inside the press, and a sent press never returns.
            PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
        });
    }
    ~SheetScript() { done(); }
    const Seen &done() {
        if (thread_.joinable())
            thread_.join();
        return seen;
    }

private:
    Seen seen;
    std::thread thread_;
};

// Selects the item with data (or at index, for data -1) as a user would.
void choose(HWND page, int id, LONG_PTR data, LONG index = -1) {
    HWND box = GetDlgItem(page, id);
    LONG n = static_cast<LONG>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (LONG i = 0; index < 0 && i < n; ++i)
        if (SendMessageW(box, CB_GETITEMDATA, i, 0) == data)
            index = i;
    SendMessageW(box, CB_SETCURSEL, index, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

void shoot(HWND sheet, const wchar_t *name) {
    std::wstring dir = built_module_path(L"..\\screenshots\\");
    CreateDirectoryW(dir.c_str(), nullptr);
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    save_screenshot(sheet, dir + name + L".bmp");
}

constexpr LONG_PTR kGerman = 'g' | 'e' << 8 | 'r' << 16;

LONG stored_long(HANDLE printer, const wchar_t *name) {
    DWORD type = 0, needed = 0;
    LONG v = -1;
    if (GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, reinterpret_cast<BYTE *>(&v), 4, &needed) != 0)
        return -1;
    return v;
}

class DocumentSheet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
        LONG size = DocumentPropertiesW(nullptr, printer.handle(), printer.wname(), nullptr, nullptr, 0);
        ASSERT_EQ(size, 1460);
        in.assign(size, 0);
        ASSERT_EQ(DocumentPropertiesW(nullptr, printer.handle(), printer.wname(), as_dm(in), nullptr, DM_OUT_BUFFER),
                  IDOK);
        as_dm(in)->dmCopies = 3; // an application's own choice, carried through the sheet
    }
    // The prompt with the input above; the output buffer starts as 0xEE bytes.
    Bytes prompt() {
        Bytes out(in.size(), 0xEE);
        DocumentPropertiesW(nullptr, printer.handle(), printer.wname(), as_dm(out), as_dm(in),
                            DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER);
        return out;
    }
    TestPrinter printer{L"mrl sheet", kModel};
    Bytes in;
};

TEST_F(DocumentSheet, OkStoresUnitsAndLanguageAndReturnsTheEditedDeviceMode) {
    Bytes out;
    {
        SheetScript script(
            [](HWND sheet, HWND page) {
                shoot(sheet, L"eng-regional");
                choose(page, IDC_RGN_UNITS, 0, 2); // millimetres
                choose(page, IDC_RGN_LANGUAGE, kGerman);
            },
            PSBTN_OK);
        out = prompt();
        const Seen &seen = script.done();
        ASSERT_TRUE(seen.ran) << "the regional page did not run";
        EXPECT_GE(seen.languages, 3); // follow the system, English, German
        EXPECT_EQ(seen.inches, L"Inches");
    }
    EXPECT_EQ(as_dm(out)->dmSize, 220);
    EXPECT_EQ(as_dm(out)->dmDriverExtra, 1240);
    EXPECT_EQ(as_dm(out)->dmCopies, 3);
    EXPECT_EQ(std::memcmp(out.data(), in.data(), in.size()), 0) << "nothing on the page edits the device mode";
    EXPECT_EQ(stored_long(printer.handle(), L"Measurement System"), 2);
    EXPECT_EQ(stored_long(printer.handle(), L"Language"), kGerman);

    // The next sheet opens in German with millimetres; Cancel keeps all of it.
    SheetScript again([](HWND sheet, HWND page) {
        shoot(sheet, L"ger-regional");
        choose(page, IDC_RGN_UNITS, 0, 3);
    }, PSBTN_CANCEL);
    Bytes cancelled = prompt();
    const Seen &seen = again.done();
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.inches, L"Zoll");
    EXPECT_EQ(seen.units, 2);
    EXPECT_EQ(cancelled, in) << "Cancel must hand back the input byte for byte";
    EXPECT_EQ(stored_long(printer.handle(), L"Measurement System"), 2);
}

TEST(DeviceSheet, OpensThroughCompstuiAndStoresOnOk) {
    TestPrinter printer(L"mrl device sheet", kModel);
    ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
    InstalledDriver driver(printer.handle());
    ASSERT_TRUE(driver.device);
    DEVICEPROPERTYHEADER header = {sizeof header, 0, printer.handle(), printer.wname()};
    SheetScript script([](HWND sheet, HWND page) {
        shoot(sheet, L"eng-device-regional");
        choose(page, IDC_RGN_UNITS, 0, 1);
    }, PSBTN_OK);
    DWORD result = 0;
    CommonPropertySheetUIW(nullptr, driver.device, reinterpret_cast<LPARAM>(&header), &result);
    ASSERT_TRUE(script.done().ran);
    EXPECT_EQ(stored_long(printer.handle(), L"Measurement System"), 1);
}

} // namespace
