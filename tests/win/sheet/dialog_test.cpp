// A UI object made in this process for an installed printer and the modal
// dialogs its pages open: the control helpers the pages use, driven on a real
// dialog, the version report and the licence text. That Cancel of a dialog
// undoes its changes is tested through the sheet (paper_test).
#include "driver_env.h"
#include "foundation/ostring.h"
#include "model/prtfile.h"
#include "pageframe/prtpage.h"
#include "pageframe/prtui.h"
#include "pages/ppabout.h"
#include "platform/seam.h"
#include "resource_ids.h"
#include "sheet_driver.h"
#include "test_printer.h"
#include "tool_run.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

using sheet::shoot;

MRL_DRIVER_ENVIRONMENT();

namespace {

// A UI object of this process for an installed printer, as a sheet makes one.
class UiObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
        ASSERT_TRUE(prtfile::UseDriverDirectoryOf(printer.handle()));
        ui->init(printer.handle(), nullptr, 0);
        ASSERT_TRUE(ui->model() && ui->devmode());
    }
    void TearDown() override {
        platform::reset();
        prtfile::SetDriverDirectory(nullptr);
    }
    TestPrinter printer{L"mrl dialogs", L"Kestrel KD42-203dpi"};
    std::unique_ptr<prtui> ui{prtui::NewExtUI()};
};

// Runs the checks inside a live dialog, then cancels it.
class Prober : public prtpage {
public:
    static std::function<void(Prober &)> checks;
    static bool ran;
    struct Seen {
        WORD id, code;
        LONG value;
    };
    std::vector<Seen> commands;

    void Init() override {
        prtpage::Init();
        ran = true;
        checks(*this);
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    }
    // The scroll bar's commands (the edit boxes made here notify too).
    bool Command(WORD id, WORD code, LONG value) override {
        if (id == IDC_CFG_DARKNESS)
            commands.push_back({id, code, value});
        return false;
    }
    HWND window() const { return hwnd; }
    HWND wait() const { return hwndWait; }
    std::wstring text(long id) {
        OString s;
        WM_GetText(id, s);
        return s.wstring();
    }
    void scroll(long id, WORD code) { SendMessageW(hwnd, WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(GetItem(id))); }
};
std::function<void(Prober &)> Prober::checks;
bool Prober::ran = false;

TEST_F(UiObject, ControlHelpersScrollBarsSpinBoxesSortedListsAndMissingControls) {
    constexpr long kBar = IDC_CFG_DARKNESS, kBarText = IDC_CFG_DARKNESS_TEXT, kList = 900, kEdit = 901, kNone = 999;

    Prober::ran = false;
    Prober::checks = [&](Prober &p) {
        // Linking, divisor and a line down are the configuration dialog's
        // (debug_test). Scrolling that ends where it started tells nobody; a
        // range of 0..5 still pages by one.
        ASSERT_TRUE(p.SBM_LinkText(kBar, kBarText));
        ASSERT_TRUE(p.SBM_SetRange(kBar, 0, 5, 1));
        p.SBM_SetPos(kBar, 0);
        p.scroll(kBar, SB_LINEUP);
        EXPECT_TRUE(p.commands.empty());
        EXPECT_EQ(p.text(kBarText), L"0");
        p.scroll(kBar, SB_PAGEDOWN);
        ASSERT_EQ(p.commands.size(), 1u);
        EXPECT_EQ(p.commands[0].value, 1);

        // Spin boxes sit at id | 0x4000 and follow the number written.
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_NUMBER, 0, 0, 40, 12, p.window(), reinterpret_cast<HMENU>(kEdit), nullptr, nullptr);
        EXPECT_EQ(p.EM_GetInt(kEdit), 0);
        EXPECT_TRUE(p.EM_SetInt(kEdit, -5));
        EXPECT_EQ(p.EM_GetInt(kEdit), -5);
        EXPECT_TRUE(p.EM_AddUpDownInt(kEdit, 0, 100));
        ASSERT_NE(p.GetItem(kEdit | 0x4000), nullptr);
        EXPECT_TRUE(p.EM_SetInt(kEdit, 42));
        EXPECT_EQ(LOWORD(SendMessageW(p.GetItem(kEdit | 0x4000), UDM_GETPOS, 0, 0)), 42);
        EXPECT_FALSE(p.EM_AddUpDownInt(kEdit, 0, 50));
        EXPECT_EQ(HIWORD(SendMessageW(p.GetItem(kEdit | 0x4000), UDM_GETRANGE, 0, 0)), 0);
        EXPECT_EQ(LOWORD(SendMessageW(p.GetItem(kEdit | 0x4000), UDM_GETRANGE, 0, 0)), 50);

        // Sorted insertion, ordinal: equal texts go after the existing ones.
        CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 80, 60, p.window(), reinterpret_cast<HMENU>(kList), nullptr, nullptr);
        EXPECT_TRUE(p.LB_SortString(kList, L"Cherry", 3));
        EXPECT_TRUE(p.LB_SortString(kList, L"Apple", 1));
        EXPECT_TRUE(p.LB_SortString(kList, L"Banana", 2));
        EXPECT_TRUE(p.LB_SortString(kList, L"Banana", 4));
        EXPECT_TRUE(p.LB_SortString(kList, L"apple", 5));
        std::vector<std::wstring> texts;
        std::vector<LONG_PTR> data;
        for (LONG i = 0; i < p.LB_GetCount(kList); ++i) {
            OString t;
            LONG got = p.LB_GetText(kList, i, t);
            EXPECT_EQ(got, static_cast<LONG>(wcslen(t.wstring())) + 1);
            texts.push_back(t.wstring());
            data.push_back(p.LB_GetSelData(kList, i));
        }
        EXPECT_EQ(texts, (std::vector<std::wstring>{L"Apple", L"Banana", L"Banana", L"Cherry", L"apple"}));
        EXPECT_EQ(data, (std::vector<LONG_PTR>{1, 2, 4, 3, 5}));
        EXPECT_TRUE(p.LB_SetCurSelData(kList, 4));
        EXPECT_EQ(p.LB_GetCurSel(kList), 2);
        EXPECT_FALSE(p.LB_SetCurSelData(kList, 77));
        EXPECT_EQ(p.LB_GetCurSelData(kList), 4);

        // A control the page does not have: nothing happens, empty results.
        OString t;
        EXPECT_FALSE(p.LB_SortString(kNone, L"a", 1) || p.SBM_SetPos(kNone, 1) || p.SBM_LinkText(kBar, kNone) ||
                     p.EM_SetInt(kNone, 1) || p.BM_GetCheck(kNone));
        EXPECT_TRUE(p.LB_GetCurSel(kNone) == LB_ERR && p.CB_FindString(kNone, L"a") == CB_ERR && p.WM_GetText(kNone, t) == 0);
        EXPECT_EQ(p.EM_GetMicrons(kNone), 0);
        EXPECT_EQ(p.commands.size(), 1u);

        // The wait window is on the screen, picture painted, when the call returns.
        p.ShowWaitDialog(true);
        HWND wait = p.wait();
        ASSERT_TRUE(wait && IsWindowVisible(wait));
        EXPECT_TRUE(shoot(GetDlgItem(wait, IDC_WAIT_PICTURE), nullptr));
        shoot(wait, L"eng-wait");
        p.ShowWaitDialog(false);
        EXPECT_FALSE(IsWindow(wait));
        EXPECT_EQ(p.wait(), nullptr);
    };
    EXPECT_EQ(prtpage::DialogModal(ui.get(), nullptr, L"DLG_CONFIGURE", PageProc<Prober>), IDCANCEL);
    EXPECT_TRUE(Prober::ran) << "the dialog did not run";
}

// The version dialog as a user drives it: it opens on the first section,
// saves all eight, and the file is what `mrlprint report` writes.
class VersionScript : public ppVersion {
public:
    static std::vector<std::wstring> shown;
    void Refresh(bool first) override {
        ppVersion::Refresh(first);
        if (!first)
            return;
        shown.clear();
        for (LONG i = 0; i < LB_GetCount(IDC_VERSION_LINES); ++i) {
            OString line;
            LB_GetText(IDC_VERSION_LINES, i, line);
            shown.push_back(line.wstring());
        }
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_VERSION_SAVE, BN_CLICKED), 0);
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    }
};
std::vector<std::wstring> VersionScript::shown;

std::wstring saved_report;
BOOL WINAPI save_as_report(OPENFILENAMEW *ofn) {
    lstrcpynW(ofn->lpstrFile, saved_report.c_str(), ofn->nMaxFile);
    return TRUE;
}

TEST_F(UiObject, VersionReportSavedFromTheDialogAsTheToolWritesItWithThePrintersData) {
    prtui::SetVersionFile(built_module_path().c_str());
    saved_report = temp_path("report_dialog.txt");
    DeleteFileW(saved_report.c_str());
    platform::dialogs().GetSaveFileNameW = save_as_report;
    VersionScript::shown.clear();
    EXPECT_EQ(prtpage::DialogModal(ui.get(), nullptr, L"DLG_VERSION", PageProc<VersionScript>), IDOK);
    prtui::SetVersionFile(nullptr);
    ASSERT_EQ(VersionScript::shown.size(), 3u) << "the dialog did not show the driver version";
    // Manufacturer, then this module's version resource.
    EXPECT_EQ(VersionScript::shown[0], L"Kestrel Marlin label printer driver user interface - Version 1.0.0.0 Build mrlui 1.0.0");
    EXPECT_EQ(VersionScript::shown[2], L"Copyright \u00A92026 Marlin Labs");

    std::string dialog = slurp(saved_report);
    std::wstring tool_file = temp_path("report_tool.txt");
    ToolResult r = run_tool({L"report", printer.name(), tool_file});
    ASSERT_EQ(r.rc, 0u) << r.err;
    EXPECT_EQ(slurp(tool_file), dialog) << "the dialog and the tool must write the same report";
    ToolResult stdout_run = run_tool({L"report", printer.name()});
    EXPECT_EQ(stdout_run.out, dialog);
    ToolResult unwritable = run_tool({L"report", printer.name(), temp_path("no such folder\\report.txt")});
    EXPECT_EQ(unwritable.rc, 1u);
    EXPECT_NE(unwritable.err.find("cannot write the report"), std::string::npos) << unwritable.err;

    size_t at = 0;
    for (const char *section : {"Driver Version", "Driver Information", "System Information", "System Settings",
                                "Installed Printers", "Installed Software", "Printer Capabilities",
                                "Bar Code Capabilities"}) {
        size_t found = dialog.find(std::string(section) + "\r\n" + std::string(60, '-') + "\r\n", at);
        ASSERT_NE(found, std::string::npos) << section << " missing or out of order:\n" << dialog;
        at = found;
    }
    std::string name = "mrl dialogs";
    for (const std::string &line : {"Printer:" + std::string(22, ' ') + name, "Port:" + std::string(25, ' ') + "LPT1:",
                                    "Printer Language ID:" + std::string(10, ' ') + "zpl",
                                    "Printer Resolution:" + std::string(11, ' ') + "203 dpi",
                                    "Configuration File:" + std::string(11, ' ') + "mrl32ui.dll",
                                    std::string("Copyright \xA9" "2026 Marlin Labs")})
        EXPECT_NE(dialog.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << dialog;
}

// Typing into the licence agreement changes nothing.
class LicenseScript : public ppLicense {
public:
    static std::wstring before, after;
    void Refresh(bool first) override {
        ppLicense::Refresh(first);
        HWND edit = GetItem(IDC_LICENSE_TEXT);
        before = text();
        SendMessageW(edit, EM_SETSEL, 0, 0);
        SendMessageW(edit, WM_CHAR, L'x', 0);
        after = text();
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    }
    std::wstring text() {
        OString t;
        WM_GetText(IDC_LICENSE_TEXT, t);
        return t.wstring();
    }
};
std::wstring LicenseScript::before, LicenseScript::after;

TEST_F(UiObject, LicenseTextShownFromTheDriverFolderAndCannotBeEdited) {
    LicenseScript::before = LicenseScript::after = L"";
    EXPECT_EQ(prtpage::DialogModal(ui.get(), nullptr, L"DLG_LICENSE", PageProc<LicenseScript>), IDOK);
    EXPECT_EQ(LicenseScript::before.rfind(L"LICENCE AGREEMENT", 0), 0u) << "no licence text shown";
    EXPECT_EQ(LicenseScript::after, LicenseScript::before);
}

} // namespace
