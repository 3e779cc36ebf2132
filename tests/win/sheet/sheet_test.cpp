// The property sheets as users see them: Wine's DocumentPropertiesW and
// compstui show the installed driver's pages under Xvfb; a helper thread
// finds the controls by ID, chooses, and presses OK or Cancel. Every test
// checks that the page really ran: without a display a sheet returns OK too.
#include "installed_driver.h"
#include "module_path.h"
#include "sheet_ui.h"
#include "stored_values.h"
#include "test_printer.h"
#include "tool_run.h"

#include "resource_ids.h"
#include "devmode/layout.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
DEVMODEW *as_dm(Bytes &b) { return reinterpret_cast<DEVMODEW *>(b.data()); }

constexpr wchar_t kModel[] = L"Kestrel KD42-203dpi";

// What the helper thread saw of the regional page.
struct Seen {
    bool ran = false;              // the regional page filled its lists
    LONG languages = 0;            // items of the language list
    std::wstring inches;           // the text of "inches" in the units list
    LONG units = -1;               // the units selected when the sheet opened
    bool painted = false;          // its screenshot is not blank
};

// Waits for the sheet, runs act on its regional page, then presses the button.
class SheetScript {
public:
    SheetScript(const wchar_t *shot, std::function<void(HWND page)> act, int button,
                DWORD process = GetCurrentProcessId())
        : script_(
              [this, shot, act](HWND sheet) {
                  HWND page = sheet::show_page(sheet, IDC_RGN_UNITS);
                  HWND units = GetDlgItem(page, IDC_RGN_UNITS), langs = GetDlgItem(page, IDC_RGN_LANGUAGE);
                  seen.ran = units && SendMessageW(units, CB_GETCOUNT, 0, 0) == 4;
                  seen.languages = static_cast<LONG>(SendMessageW(langs, CB_GETCOUNT, 0, 0));
                  seen.units = static_cast<LONG>(SendMessageW(units, CB_GETCURSEL, 0, 0));
                  wchar_t text[64] = {};
                  if (SendMessageW(units, CB_GETLBTEXTLEN, 1, 0) < 64)
                      SendMessageW(units, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
                  seen.inches = text;
                  seen.painted = sheet::shoot(sheet, shot);
                  act(page);
              },
              button, process) {}
    const Seen &done() {
        script_.done();
        return seen;
    }

private:
    Seen seen;
    sheet::Script script_;
};

constexpr LONG_PTR kGerman = 'g' | 'e' << 8 | 'r' << 16;

LONG stored_long(HANDLE printer, const char *name) { return as_long(printer_value(printer, name)); }

class DocumentSheet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
        ASSERT_TRUE(doc.fetch());
        ASSERT_EQ(in.size(), 1460u);
        as_dm(in)->dmCopies = 3; // an application's own choice, carried through the sheet
    }
    Bytes prompt() { return doc.prompt(); }
    TestPrinter printer{L"mrl sheet", kModel};
    sheet::Document doc{printer.handle(), printer.wname()};
    Bytes &in = doc.in;
};

TEST_F(DocumentSheet, OkStoresUnitsAndLanguageAndReturnsTheEditedDeviceMode) {
    Bytes out;
    std::wstring copyright;
    {
        SheetScript script(
            L"eng-regional",
            [&copyright](HWND page) {
                choose(page, IDC_RGN_UNITS, 0, 2); // millimetres
                choose(page, IDC_RGN_LANGUAGE, kGerman);
                // The about page ends the sheet and shows the module's own copyright.
                HWND about = sheet::show_page(GetParent(page), IDC_ABOUT_COPYRIGHT);
                wchar_t text[128] = {};
                GetDlgItemTextW(about, IDC_ABOUT_COPYRIGHT, text, 128);
                copyright = text;
            },
            PSBTN_OK);
        out = prompt();
        const Seen &seen = script.done();
        ASSERT_TRUE(seen.ran) << "the regional page did not run";
        EXPECT_TRUE(seen.painted);
        EXPECT_GE(seen.languages, 3); // follow the system, English, German
        EXPECT_EQ(seen.inches, L"Inches");
    }
    EXPECT_EQ(copyright, L"Copyright \u00A92026 Marlin Labs");
    EXPECT_EQ(as_dm(out)->dmSize, 220);
    EXPECT_EQ(as_dm(out)->dmDriverExtra, 1240);
    EXPECT_EQ(as_dm(out)->dmCopies, 3);
    // The graphics page resolves the automatic clustered-dot size for 203 dpi; nothing else is edited.
    Bytes resolved = in;
    prtconfig::get_cfg(as_dm(resolved))->dither.cluster_size = 2;
    EXPECT_EQ(out, resolved);
    EXPECT_EQ(stored_long(printer.handle(), "Measurement System"), 2);
    EXPECT_EQ(stored_long(printer.handle(), "Language"), kGerman);

    // The next sheet opens in German with millimetres; Cancel keeps all of it.
    SheetScript again(L"ger-regional", [](HWND page) { choose(page, IDC_RGN_UNITS, 0, 3); }, PSBTN_CANCEL);
    Bytes cancelled = prompt();
    const Seen &seen = again.done();
    ASSERT_TRUE(seen.ran);
    EXPECT_TRUE(seen.painted);
    EXPECT_EQ(seen.inches, L"Zoll");
    EXPECT_EQ(seen.units, 2);
    EXPECT_EQ(cancelled, in) << "Cancel must hand back the input byte for byte";
    EXPECT_EQ(stored_long(printer.handle(), "Measurement System"), 2);
}

// compstui as Windows has it: pages inserted, counted and handed out, results
// set through the SET_RESULT reason. Wine's compstui never takes this path.
struct WindowsSheet {
    static std::vector<BYTE> modes;
    static int added, results;
    static LONG_PTR CALLBACK fn(HANDLE, UINT function, LPARAM a, LPARAM b) {
        switch (function) {
        case CPSFUNC_INSERT_PSUIPAGEW:
            modes.push_back(reinterpret_cast<INSERTPSUIPAGE_INFO *>(b)->Mode);
            return 0x100 + static_cast<LONG_PTR>(modes.size());
        case CPSFUNC_GET_PAGECOUNT:
            return static_cast<LONG_PTR>(modes.size());
        case CPSFUNC_GET_HPSUIPAGES:
            for (size_t i = 0; i < modes.size(); ++i)
                reinterpret_cast<HANDLE *>(a)[i] = reinterpret_cast<HANDLE>(0x101 + i);
            return static_cast<LONG_PTR>(modes.size());
        case CPSFUNC_ADD_PROPSHEETPAGEW:
            return ++added, 0x200;
        case CPSFUNC_SET_RESULT:
            return ++results, 1;
        default:
            return 0;
        }
    }
};

// The INIT reason as the Windows sheet UI sends it, with the stand-in sheet function.
PROPSHEETUI_INFO windows_init(void *header) {
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof info;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = reinterpret_cast<HANDLE>(0x1234);
    info.pfnComPropSheet = WindowsSheet::fn;
    info.lParamInit = reinterpret_cast<LPARAM>(header);
    return info;
}
std::vector<BYTE> WindowsSheet::modes;
int WindowsSheet::added = 0, WindowsSheet::results = 0;

// A caller that keeps the NT 3.51 layout and passes one buffer in and out
// gets its own sizes and device name back, with the sheet's settings inside.
TEST_F(DocumentSheet, WindowsSheetResultFillsTheCallersOwnBuffer) {
    InstalledDriver driver(printer.handle());
    ASSERT_TRUE(driver.ok());
    Bytes old(188 + 1240, 0);
    LONG needed = static_cast<LONG>(old.size());
    ASSERT_TRUE(driver.convert(printer.wname(), as_dm(in), as_dm(old), &needed, CDM_CONVERT351));
    wcscpy(as_dm(old)->dmDeviceName, L"caller's name");
    DOCUMENTPROPERTYHEADER header = {sizeof header, 0, printer.handle(), printer.wname(), as_dm(old), as_dm(old), 0,
                                     DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER};
    PROPSHEETUI_INFO info = windows_init(&header);
    ASSERT_EQ(driver.document(&info, 0), 1);
    // The paper, graphics, regional and option pages, then the about page, each at the end.
    EXPECT_EQ(WindowsSheet::modes, std::vector<BYTE>(5, INSPSUIPAGE_MODE_LAST_CHILD));
    EXPECT_EQ(WindowsSheet::added, 0) << "Windows never takes Wine's fallback";

    SETRESULT_INFO result = {sizeof result, 0, reinterpret_cast<HANDLE>(0x101), CPSUI_OK};
    info.Reason = PROPSHEETUI_REASON_SET_RESULT;
    EXPECT_EQ(driver.document(&info, reinterpret_cast<LPARAM>(&result)), 1);
    EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(CPSUI_OK));
    EXPECT_EQ(as_dm(old)->dmSize, 188);
    EXPECT_EQ(as_dm(old)->dmDriverExtra, 1240);
    EXPECT_EQ(std::wstring(as_dm(old)->dmDeviceName), L"caller's name");
    EXPECT_EQ(as_dm(old)->dmCopies, 3);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(driver.document(&info, 0), 1);
}

// "LW Message" 4 asks for a device sheet without settings pages; any value is
// read once and reset.
TEST(DeviceSheet, LwMessageIsReadOnceAndFourHidesTheSettingsPages) {
    TestPrinter printer(L"mrl lw message", kModel);
    ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
    InstalledDriver driver(printer.handle());
    ASSERT_TRUE(driver.device);
    for (DWORD message : {4u, 7u}) {
        ASSERT_EQ(SetPrinterDataW(printer.handle(), const_cast<LPWSTR>(L"LW Message"), REG_BINARY,
                                  reinterpret_cast<BYTE *>(&message), 4),
                  0u);
        WindowsSheet::modes.clear();
        DEVICEPROPERTYHEADER header = {sizeof header, 0, printer.handle(), printer.wname()};
        PROPSHEETUI_INFO info = windows_init(&header);
        ASSERT_EQ(driver.device(&info, 0), 1);
        // Regional, fonts, bar fonts, debug and about; the about page stays alone.
        EXPECT_EQ(WindowsSheet::modes.size(), message == 4 ? 1u : 5u) << message;
        EXPECT_EQ(stored_long(printer.handle(), "LW Message"), 0) << message;
        info.Reason = PROPSHEETUI_REASON_DESTROY;
        EXPECT_EQ(driver.device(&info, 0), 1);
    }
}

// mrlprint's answer while a helper thread presses OK in the sheet it opens;
// ran tells whether the sheet's regional page ran.
ToolResult run_tool_sheet(const std::vector<std::wstring> &args, const wchar_t *shot, bool &ran) {
    return run_tool(args, [&](DWORD process) {
        SheetScript script(shot, [](HWND) {}, PSBTN_OK, process);
        ran = script.done().ran;
    });
}

// The tool's two sheets, each in the tool's own process.
TEST(Tool, PreferencesAndPropertiesShowTheSheetsAndReportTheResult) {
    TestPrinter printer(L"mrl tool sheet", kModel);
    ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
    struct {
        std::vector<std::wstring> args;
        const wchar_t *shot;
        const char *starts, *shows;
    } runs[] = {
        // The graphics page resolves the automatic clustered-dot size (-1) for 203 dpi; nothing else changes.
        {{L"preferences", printer.name()}, L"eng-tool-preferences", "changed", "7 cluster size    2 (6 x 6)"},
        {{L"properties", printer.name()}, L"eng-tool-properties", "sheet closed; language sys, units as the system", ""},
        // The printer's default settings: the document sheet with DM_UPDATE.
        {{L"properties", printer.name(), L"--defaults"}, L"eng-tool-defaults", "changed", "7 cluster size    2 (6 x 6)"},
    };
    for (const auto &run : runs) {
        bool ran = false;
        ToolResult r = run_tool_sheet(run.args, run.shot, ran);
        EXPECT_TRUE(ran) << run.starts;
        EXPECT_EQ(r.rc, 0u) << r.out << r.err;
        EXPECT_EQ(r.out.rfind(run.starts, 0), 0u) << r.out;
        EXPECT_NE(r.out.find(run.shows), std::string::npos) << r.out;
    }
}

} // namespace
