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
#include <string>
#include <vector>

namespace {

using sheet::click;
using sheet::press;
using sheet::text_of;

std::vector<std::wstring> boxes, started;
int WINAPI record_box(HWND, LPCWSTR text, LPCWSTR, UINT) {
    boxes.push_back(text ? text : L"");
    return IDOK;
}
UINT WINAPI record_exec(LPCSTR command, UINT) {
    started.push_back(std::wstring(command, command + strlen(command)));
    return 33;
}

LRESULT item(HWND dlg, int id, UINT msg, WPARAM w = 0) { return SendDlgItemMessageW(dlg, id, msg, w, 0); }
bool enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; }

void select_file(HWND dlg, const wchar_t *name) {
    HWND list = GetDlgItem(dlg, IDC_LOG_FILES);
    SendMessageW(list, LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(name));
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_LOG_FILES, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::wstring stored_text(HANDLE printer, const wchar_t *name) {
    wchar_t text[200] = {};
    DWORD type = 0, needed = 0;
    GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, reinterpret_cast<BYTE *>(text), sizeof text - 2, &needed);
    return text;
}

void write_file(const std::wstring &path, const std::string &bytes) {
    FILE *f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

class DebugPage : public SeamTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(queue.ok());
        HANDLE printer = queue.printer().handle();
        ASSERT_TRUE(prtfile::UseDriverDirectoryOf(printer));
        platform::spooler().GetPrinterDataW = vprinter::GetPrinterDataW;
        platform::spooler().GetPrinterW = vprinter::GetPrinterW_serial;
        platform::windows().MessageBoxW = record_box;
        platform::shell().WinExec = record_exec;
        boxes.clear();
        started.clear();
    }
    void TearDown() override {
        prtfile::SetDriverDirectory(nullptr);
        SeamTest::TearDown();
    }
    // The device sheet with act run on its debug page, then cancelled.
    void run_sheet(std::function<void(HWND page)> act) {
        bool ran = false;
        sheet::Script script(
            [&](HWND sheet) {
                HWND page = sheet::show_page(sheet, IDC_DBG_CONFIGURE);
                if ((ran = page != nullptr))
                    act(page);
            },
            PSBTN_CANCEL);
        DEVICEPROPERTYHEADER header = {sizeof header, 0, queue.printer().handle(), queue.printer().wname()};
        DWORD result = 0;
        CommonPropertySheetUIW(nullptr, as_propsheetui(DrvDevicePropertySheets), reinterpret_cast<LPARAM>(&header),
                               &result);
        ASSERT_TRUE(script.done());
        ASSERT_TRUE(ran) << "no debug page";
    }

    VirtualQueue queue{L"mrl debug page", L"Kestrel KD42-203dpi", MRL_VPRINTER};
};

TEST_F(DebugPage, ConfigurationIsReadFromThePrinterAndSentBack) {
    write_file(queue.dir() + L"\\config.txt", "C -10\n1 1\n2 2\n4 1\n7 2\n8 5\nF 1\nfirmware V7.2 serial\n");
    struct {
        std::wstring identity, darkness, codepage;
        LRESULT media = -1, charset = -1, lpi = -1, items = 0, option1 = -1, option2 = -1;
    } seen;
    run_sheet([&](HWND page) {
        press(page, IDC_DBG_CONFIGURE);
        HWND dlg = wait_for_dialog(IDC_CFG_IDENTITY);
        if (!dlg)
            return;
        seen = {text_of(dlg, IDC_CFG_IDENTITY), text_of(dlg, IDC_CFG_DARKNESS_TEXT), text_of(dlg, IDC_CFG_CODEPAGE),
                item(dlg, IDC_CFG_MEDIA, CB_GETCURSEL), item(dlg, IDC_CFG_CHARSET, CB_GETCURSEL),
                item(dlg, IDC_CFG_LPI, CB_GETCURSEL), item(dlg, IDC_CFG_CHARSET, CB_GETCOUNT),
                item(dlg, IDC_CFG_OPTION1, BM_GETCHECK), item(dlg, IDC_CFG_OPTION2, BM_GETCHECK)};
        shoot(dlg, L"eng-configure");
        // Darker by one step, another character set, both options on.
        SendMessageW(dlg, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_CFG_DARKNESS)));
        choose(dlg, IDC_CFG_CHARSET, -1, 7);
        click(dlg, IDC_CFG_OPTION1);
        press(dlg, IDOK);
        sheet::wait_closed(dlg);
    });
    EXPECT_EQ(seen.identity, L"V7.2 serial");
    EXPECT_EQ(seen.darkness, L"-10");
    EXPECT_EQ(seen.codepage, L"852");
    EXPECT_EQ(seen.media, 1);
    EXPECT_EQ(seen.charset, 5);
    EXPECT_EQ(seen.items, 13);
    EXPECT_EQ(seen.lpi, 1);
    EXPECT_EQ(seen.option1, BST_UNCHECKED);
    EXPECT_EQ(seen.option2, BST_CHECKED);

    // One "Configure" job of the 20-byte command; the printer took it (its
    // checksum held) and stored the new values.
    auto jobs = queue.jobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0], std::string("\x1e" "ACE\x07" "C\xfb" "1\x01" "2\x02" "4\x01" "7\x03" "8\x07" "F\x01" "\x60", 20));
    PrinterSettings now = vprinter::read_config(queue.dir()).settings;
    EXPECT_EQ(std::vector<int>({now.valueC, now.value7, now.value8}), std::vector<int>({-5, 3, 7}));
    EXPECT_TRUE(boxes.empty());

    // On a port that is not serial the dialog never opens: the stream says why.
    platform::spooler().GetPrinterW = ::GetPrinterW;
    HWND opened = nullptr;
    run_sheet([&](HWND page) {
        press(page, IDC_DBG_CONFIGURE);
        Sleep(500);
        opened = find_dialog_with(IDC_CFG_IDENTITY);
    });
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(queue.jobs().size(), 1u);
}

TEST_F(DebugPage, LoggingStoresItsSettingsAndManagesThePrintFiles) {
    std::wstring logs = queue.dir() + L"\\logs", log = queue.dir() + L"\\log.txt";
    CreateDirectoryW(logs.c_str(), nullptr);
    CreateDirectoryW((logs + L"\\old.prn").c_str(), nullptr); // a folder: never listed
    write_file(logs + L"\\a.prn", "first label\n");
    write_file(logs + L"\\b.prn", "second label\n");
    write_file(log, "yesterday\n");
    std::wstring printer = queue.printer().name();
    struct {
        std::wstring dir_before, dir_after;
        bool dir_enabled_before = true, dir_enabled_after = false, send_enabled = false;
        LRESULT listed = -1, after_send = -1, after_delete = -1;
    } seen;
    run_sheet([&](HWND page) {
        press(page, IDC_DBG_LOGGING);
        HWND dlg = wait_for_dialog(IDC_LOG_FILES);
        if (!dlg)
            return;
        seen.dir_before = text_of(dlg, IDC_LOG_DIR);
        seen.dir_enabled_before = enabled(dlg, IDC_LOG_DIR);
        shoot(dlg, L"eng-logging");
        click(dlg, IDC_LOG_ON);
        seen.dir_enabled_after = enabled(dlg, IDC_LOG_DIR);
        sheet::type(dlg, IDC_LOG_DIR, logs.c_str());
        seen.dir_after = text_of(dlg, IDC_LOG_DIR);
        seen.listed = item(dlg, IDC_LOG_FILES, LB_GETCOUNT);
        select_file(dlg, L"b.prn");
        seen.send_enabled = enabled(dlg, IDC_LOG_SEND);
        click(dlg, IDC_LOG_SEND);
        seen.after_send = item(dlg, IDC_LOG_FILES, LB_GETCURSEL);
        click(dlg, IDC_LOG_OPEN);
        click(dlg, IDC_LOG_DELETE);
        seen.after_delete = item(dlg, IDC_LOG_FILES, LB_GETCOUNT);
        click(dlg, IDC_LOG_TEXT_ON);
        sheet::type(dlg, IDC_LOG_FILE, log.c_str());
        click(dlg, IDC_LOG_CLEAR);
        click(dlg, IDC_LOG_FILE_OPEN);
        press(dlg, IDOK);
        sheet::wait_closed(dlg);
    });
    EXPECT_EQ(seen.dir_before, L"C:\\" + printer + L"\\");
    EXPECT_FALSE(seen.dir_enabled_before);
    EXPECT_TRUE(seen.dir_enabled_after);
    EXPECT_EQ(seen.dir_after, logs + L"\\");
    EXPECT_EQ(seen.listed, 2);
    EXPECT_TRUE(seen.send_enabled);
    EXPECT_GE(seen.after_send, 0) << "the sent file stays selected";
    EXPECT_EQ(seen.after_delete, 1);

    // The file reached the printer as one job; it is gone from the folder; the log is empty.
    EXPECT_EQ(queue.jobs(1), std::vector<std::string>{"second label\n"});
    EXPECT_FALSE(prtfile::Exists((logs + L"\\b.prn").c_str()));
    EXPECT_TRUE(prtfile::Exists((logs + L"\\a.prn").c_str()));
    EXPECT_TRUE(prtfile::Exists(log.c_str()));
    EXPECT_EQ(VirtualQueue::read_all(log), "");
    EXPECT_EQ(started, (std::vector<std::wstring>{L"notepad " + logs + L"\\b.prn", L"notepad " + log}));

    // OK stored the settings where the logging components read them.
    HANDLE h = queue.printer().handle();
    EXPECT_EQ(stored_text(h, L"Log Directory"), logs + L"\\");
    EXPECT_EQ(stored_text(h, L"Log File"), log);
    const wchar_t *names[] = {L"Log Logging", L"Log OverWriteFile", L"Log GenerateFile"};
    BYTE flags[3] = {};
    DWORD type = 0, needed = 0;
    for (int i = 0; i < 3; ++i)
        GetPrinterDataW(h, const_cast<LPWSTR>(names[i]), &type, flags + i, 1, &needed);
    EXPECT_EQ(std::vector<int>(flags, flags + 3), std::vector<int>({1, 0, 1}));
    EXPECT_TRUE(boxes.empty());
}

} // namespace
