// The device sheet's debug page, run in this process so that the seam applies:
// the printer's serial configuration read from and sent back to the virtual
// label printer, and the logging dialog's settings and print files.
#include "driver_env.h"
#include "model/prtfile.h"
#include "platform/seam.h"
#include "resource_ids.h"
#include "sheet_ui.h"
#include "virtual_queue.h"

#include <cstring>

namespace {

using sheet::click;
using sheet::text_of;

std::vector<std::wstring> boxes, started;
int WINAPI record_box(HWND, LPCWSTR text, LPCWSTR, UINT) { return boxes.push_back(text ? text : L""), IDOK; }
UINT WINAPI record_exec(LPCSTR command, UINT) { return started.emplace_back(command, command + strlen(command)), 33; }

LRESULT item(HWND dlg, int id, UINT msg) { return SendDlgItemMessageW(dlg, id, msg, 0, 0); }

std::wstring stored(HANDLE printer, const wchar_t *name) {
    wchar_t text[200] = {};
    DWORD type = 0, needed = 0;
    GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, reinterpret_cast<BYTE *>(text), sizeof text - 2, &needed);
    return text;
}

void write_file(const std::wstring &path, const char *text) {
    if (FILE *f = _wfopen(path.c_str(), L"wb"))
        fputs(text, f), fclose(f);
}

class DebugPage : public SeamTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(queue.ok());
        ASSERT_TRUE(prtfile::UseDriverDirectoryOf(queue.printer().handle()));
        platform::spooler().GetPrinterDataW = vprinter::GetPrinterDataW;
        platform::spooler().GetPrinterW = vprinter::GetPrinterW_serial;
        platform::windows().MessageBoxW = record_box;
        platform::shell().WinExec = record_exec;
    }
    void TearDown() override {
        prtfile::SetDriverDirectory(nullptr);
        SeamTest::TearDown();
        EXPECT_TRUE(boxes.empty()) << "a message came";
    }
    // The device sheet; act runs on the dialog that the debug page's button
    // opens, which it must close. The sheet is cancelled after.
    void run(int button, int control, std::function<void(HWND dlg)> act) {
        sheet::Script script(
            [&](HWND sheet) {
                HWND page = sheet::show_page(sheet, IDC_DBG_CONFIGURE);
                sheet::press(page, button);
                if (HWND dlg = page ? wait_for_dialog(control) : nullptr) {
                    act(dlg);
                    sheet::wait_closed(dlg);
                }
            },
            PSBTN_CANCEL);
        DEVICEPROPERTYHEADER header = {sizeof header, 0, queue.printer().handle(), queue.printer().wname()};
        DWORD result = 0;
        CommonPropertySheetUIW(nullptr, as_propsheetui(DrvDevicePropertySheets), LPARAM(&header), &result);
        ASSERT_TRUE(script.done());
    }

    VirtualQueue queue{L"mrl debug page", L"Kestrel KD42-203dpi", MRL_VPRINTER};
};

TEST_F(DebugPage, ConfigurationIsReadFromThePrinterAndSentBack) {
    write_file(queue.dir() + L"\\config.txt", "C -15\n1 1\n2 3\n4 1\n7 0\n8 4\nF 0\nfirmware V7.2 serial\n");
    std::vector<std::wstring> texts;
    std::vector<LRESULT> states;
    run(IDC_DBG_CONFIGURE, IDC_CFG_IDENTITY, [&](HWND dlg) {
        texts = {text_of(dlg, IDC_CFG_IDENTITY), text_of(dlg, IDC_CFG_DARKNESS_TEXT), text_of(dlg, IDC_CFG_CODEPAGE)};
        states = {item(dlg, IDC_CFG_MEDIA, CB_GETCURSEL),   item(dlg, IDC_CFG_CHARSET, CB_GETCURSEL),
                  item(dlg, IDC_CFG_CHARSET, CB_GETCOUNT),  item(dlg, IDC_CFG_LPI, CB_GETCURSEL),
                  item(dlg, IDC_CFG_OPTION1, BM_GETCHECK), item(dlg, IDC_CFG_OPTION2, BM_GETCHECK)};
        shoot(dlg, L"eng-configure");
        // Every control changed as a user would: one step lighter is -10.
        SendMessageW(dlg, WM_HSCROLL, SB_LINEDOWN, LPARAM(GetDlgItem(dlg, IDC_CFG_DARKNESS)));
        choose(dlg, IDC_CFG_MEDIA, -1, 1);
        choose(dlg, IDC_CFG_CHARSET, -1, 5);
        choose(dlg, IDC_CFG_LPI, -1, 0);
        click(dlg, IDC_CFG_OPTION2);
        sheet::press(dlg, IDOK);
    });
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"V7.2 serial", L"-15", L"857"}));
    EXPECT_EQ(states, (std::vector<LRESULT>{0, 4, 13, 1, BST_UNCHECKED, BST_UNCHECKED}));
    // One job of the 20-byte command, checksum last; the printer stored it.
    EXPECT_EQ(queue.jobs(1), std::vector<std::string>{std::string(
                                 "\x1e\x41\x43\x45\x07\x43\xf6\x31\x01\x32\x03\x34\x00\x37\x02\x38\x05\x46\x01\x6e", 20)});
    EXPECT_EQ(vprinter::read_config(queue.dir()).settings.valueC, -10);
}

TEST_F(DebugPage, LoggingStoresItsSettingsAndManagesThePrintFiles) {
    std::wstring logs = queue.dir() + L"\\logs", log = queue.dir() + L"\\log.txt";
    CreateDirectoryW(logs.c_str(), nullptr);
    CreateDirectoryW((logs + L"\\old.prn").c_str(), nullptr); // a folder: never listed
    write_file(logs + L"\\a.prn", "first label\n");
    write_file(logs + L"\\b.prn", "second label\n");
    write_file(log, "yesterday\n");
    std::vector<std::wstring> dirs;
    std::vector<LRESULT> states;
    run(IDC_DBG_LOGGING, IDC_LOG_FILES, [&](HWND dlg) {
        HWND list = GetDlgItem(dlg, IDC_LOG_FILES);
        dirs.push_back(text_of(dlg, IDC_LOG_DIR));
        states.push_back(IsWindowEnabled(GetDlgItem(dlg, IDC_LOG_DIR)));
        shoot(dlg, L"eng-logging");
        click(dlg, IDC_LOG_ON);
        states.push_back(IsWindowEnabled(GetDlgItem(dlg, IDC_LOG_DIR)));
        sheet::type(dlg, IDC_LOG_DIR, logs.c_str());
        dirs.push_back(text_of(dlg, IDC_LOG_DIR));
        states.push_back(item(dlg, IDC_LOG_FILES, LB_GETCOUNT));
        SendMessageW(list, LB_SELECTSTRING, WPARAM(-1), LPARAM(L"b.prn"));
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_LOG_FILES, LBN_SELCHANGE), LPARAM(list));
        click(dlg, IDC_LOG_SEND); // the list is read again; the file stays selected
        click(dlg, IDC_LOG_OPEN);
        click(dlg, IDC_LOG_DELETE);
        states.push_back(item(dlg, IDC_LOG_FILES, LB_GETCOUNT));
        click(dlg, IDC_LOG_TEXT_ON);
        sheet::type(dlg, IDC_LOG_FILE, log.c_str());
        click(dlg, IDC_LOG_CLEAR);
        click(dlg, IDC_LOG_FILE_OPEN);
        sheet::press(dlg, IDOK);
    });
    std::wstring printer = queue.printer().name();
    EXPECT_EQ(dirs, (std::vector<std::wstring>{L"C:\\" + printer + L"\\", logs + L"\\"}));
    EXPECT_EQ(states, (std::vector<LRESULT>{FALSE, TRUE, 2, 1}));
    EXPECT_EQ(queue.jobs(1), std::vector<std::string>{"second label\n"});
    EXPECT_FALSE(prtfile::Exists((logs + L"\\b.prn").c_str()));
    EXPECT_TRUE(prtfile::Exists((logs + L"\\a.prn").c_str()));
    EXPECT_TRUE(prtfile::Exists(log.c_str()) && VirtualQueue::read_all(log).empty());
    EXPECT_EQ(started, (std::vector<std::wstring>{L"notepad " + logs + L"\\b.prn", L"notepad " + log}));
    // OK stored the settings where the logging components read them.
    HANDLE h = queue.printer().handle();
    EXPECT_EQ(std::vector<std::wstring>({stored(h, L"Log Directory"), stored(h, L"Log File"), stored(h, L"Log Logging"),
                                         stored(h, L"Log OverWriteFile"), stored(h, L"Log GenerateFile")}),
              std::vector<std::wstring>({logs + L"\\", log, L"\x01", L"", L"\x01"}));
}

} // namespace
