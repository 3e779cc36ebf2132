// The printer stream end to end under Wine: raw documents and jobs reach the
// virtual label printer (a pipe port of Wine's spooler) byte for byte, the
// package's stand-in renderer turns line records into box commands, queries
// are answered from the printer's stored configuration, and every fault ends
// with a message, nothing sent twice and no job left open.
#include "driver_env.h"
#include "virtual_printer.h"

#include "foundation/lebytes.h"
#include "model/prtfile.h"
#include "pageframe/prtui.h"
#include "pageframe/windowhook.h"
#include "platform/seam.h"
#include "store/printerconfig.h"
#include "test_printer.h"
#include "../sheet/sheet_ui.h"

#include "pages/ppcolor.h"
#include "resource_ids.h"
#include "store/scolor.h"

#include <cstdio>
#include <memory>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

MRL_DRIVER_ENVIRONMENT();

namespace {

std::vector<std::wstring> &boxes() {
    static std::vector<std::wstring> b;
    return b;
}
int WINAPI record_box(HWND, LPCWSTR text, LPCWSTR, UINT) {
    boxes().push_back(text ? text : L"");
    return IDOK;
}

// What the seam's renderer saw: one entry per escape, and whether jobs ended.
struct Escapes {
    std::vector<std::pair<int, std::string>> calls;
    int begun = 0, ended = 0;
    bool refuse = false;
} seen;
void *fake_begin(const WCHAR *, const WCHAR *, const WCHAR *) { return seen.refuse ? nullptr : (++seen.begun, &seen); }
BOOL fake_escape(void *, int code, int size, const void *data) {
    seen.calls.emplace_back(code, std::string(static_cast<const char *>(data), size));
    return TRUE;
}
BOOL fake_end(void *) { return ++seen.ended, TRUE; }

std::string read_all(const std::wstring &path) {
    std::string s;
    if (FILE *f = _wfopen(path.c_str(), L"rb")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
            s.append(buf, n);
        fclose(f);
    }
    return s;
}

// A printer of the model whose port is a fresh virtual label printer.
class Virtual : public SeamTest {
protected:
    void open(const wchar_t *model) {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        dir_ = std::wstring(tmp) + L"vprinter-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++n_);
        // Left by an earlier run under the same process id.
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((dir_ + L"\\*").c_str(), &fd);
        for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &fd))
            DeleteFileW((dir_ + L"\\" + fd.cFileName).c_str());
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
        std::wstring port = vprinter::pipe_port(dir_, MRL_VPRINTER);
        ASSERT_FALSE(port.empty());
        // A name of its own: the spooler keeps a printer's port for a while after it is deleted.
        printer_ = std::make_unique<TestPrinter>(L"mrl output test " + std::to_wstring(n_), model, port);
        ASSERT_TRUE(printer_->ok()) << printer_->error();
        dir_ = vprinter::directory(printer_->handle());
        ASSERT_FALSE(dir_.empty());
        prtfile::UseDriverDirectoryOf(printer_->handle());
        ui_.reset(prtui::NewExtUI());
        ui_->init(printer_->handle(), nullptr, 0);
        ASSERT_NE(ui_->model(), nullptr);
        platform::spooler().GetPrinterDataW = vprinter::GetPrinterDataW;
        platform::windows().MessageBoxW = record_box;
        boxes().clear();
        seen = Escapes{};
    }
    void TearDown() override {
        ui_.reset();
        printer_.reset();
        prtfile::SetDriverDirectory(nullptr);
        SeamTest::TearDown();
    }
    // The jobs the printer kept so far, in order.
    std::vector<std::string> jobs() {
        std::vector<std::string> out;
        for (int i = 1;; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"\\job-%04d.prn", i);
            if (GetFileAttributesW((dir_ + name).c_str()) == INVALID_FILE_ATTRIBUTES)
                return out;
            out.push_back(read_all(dir_ + name));
        }
    }
    void use_fake_renderer() {
        platform::renderer() = {fake_begin, fake_escape, fake_end};
    }
    void set_fault(const char *fault) {
        FILE *f = _wfopen((dir_ + L"\\config.txt").c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        fprintf(f, "C -5\n1 1\nfirmware V9 test\nfault %s\n", fault);
        fclose(f);
    }
    extstream &st() { return *ui_->stream(); }

    std::wstring dir_;
    std::unique_ptr<TestPrinter> printer_;
    std::unique_ptr<prtui> ui_;
    static inline int n_ = 0;
};

TEST_F(Virtual, WritesBufferIntoRawDocumentsOutsideJobsAndIntoEscapePacketsInside) {
    open(L"Heron HC43-203dpi");
    // No job: each flush is one raw document, in order, nothing twice.
    std::string a(5000, 'a'), b(5000, 'b');
    st().write(a.data(), 5000).write(b.data(), 5000);
    st() << "tail";
    st().flush();
    st().flush();
    EXPECT_EQ(jobs(), (std::vector<std::string>{a, b + "tail"}));

    // Inside a job the same stream goes out as raw-data escapes of at most 32000 bytes.
    use_fake_renderer();
    std::string big(70000, 'x');
    ASSERT_TRUE(st().StartJob(L"Big"));
    st() << "cmd";
    st().write(big.data(), long(big.size()));
    EXPECT_TRUE(st().EndJob());
    EXPECT_FALSE(st().EndJob()); // no job open any more
    std::vector<size_t> sizes;
    for (auto &c : seen.calls) {
        EXPECT_EQ(c.first, kEscRawData);
        EXPECT_EQ(le::u16(reinterpret_cast<const unsigned char *>(c.second.data())), c.second.size() - 2);
        sizes.push_back(c.second.size() - 2);
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{0, 3, 32000, 32000, 6000}));
    EXPECT_EQ(seen.ended, 1);
    EXPECT_EQ(jobs().size(), 2u); // the abandoned GDI document never reached the port
}

TEST_F(Virtual, StandinRendererDeliversJobsAndTestPageBoxes) {
    open(L"Heron HC43-203dpi");
    ASSERT_TRUE(st().StartJob(L"Configure"));
    unsigned char cmd[kConfigCommandBytes];
    PrinterSettings s;
    s.valueC = -10, s.value1 = 1, s.value2 = 3, s.value4 = 0, s.value7 = 2, s.value8 = 5, s.valueF = 1;
    BuildConfigCommand(s, cmd);
    st().write(cmd, sizeof cmd);
    EXPECT_TRUE(st().EndJob());
    PrtTest(ui_.get(), 1);
    auto kept = jobs();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], std::string("\x1e\x41\x43\x45\x07\x43\xf6\x31\x01\x32\x03\x34\x00\x37\x02\x38\x05\x46\x01"
                                   "\x6e",
                                   20));
    // 203 dpi: the outer frame's top (0, 0, 2000, 10) is 406 x 2 dots at the top left.
    EXPECT_EQ(kept[1].rfind("\x1b" "B0;0;406;2\r\n", 0), 0u) << kept[1];
    EXPECT_EQ(std::count(kept[1].begin(), kept[1].end(), '\x1b'), 21);
    EXPECT_NE(GetFileAttributesW((dir_ + L"\\job-0002.png").c_str()), INVALID_FILE_ATTRIBUTES);
    // The printer stored the configuration and answers with it.
    char *fw = st().inquire_line(kQueryFirmware);
    ASSERT_NE(fw, nullptr);
    EXPECT_STREQ(FirmwareText(fw, std::strlen(fw + 5) + 5), "V1.00 virtual label printer");
    PrinterSettings back;
    long n = st().inquire(kQuerySettings, -1);
    ASSERT_TRUE(ParseSettingsReply(reinterpret_cast<const unsigned char *>(st().reply()), size_t(n), &back));
    EXPECT_EQ(back.valueC, -10);
    EXPECT_EQ(back.value8, 5);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Virtual, TestPageLinesAndFormFeedAt300Dpi) {
    open(L"Heron HM43-300dpi");
    use_fake_renderer();
    PrtTest(ui_.get(), 1);
    ASSERT_EQ(seen.calls.size(), 21u);
    // (275, 200, 325, 800): x 83 to 98, y 60 to 240, a vertical line at (90, 60), 180 long, 15 thick.
    auto *r = reinterpret_cast<const unsigned char *>(seen.calls[9].second.data());
    EXPECT_EQ(seen.calls[9].first, kEscLine);
    EXPECT_EQ(std::vector<int>({le::u16(r), le::u16(r + 2), le::u16(r + 4), le::u16(r + 6), le::u16(r + 8),
                                le::u16(r + 12)}),
              std::vector<int>({24, 90, 60, 180, 15, 1}));
    // Reversed corners (row 3) draw like their normal form.
    unsigned char row3[24], normal[24];
    TestPageLine(2000, 990, 0, 1000, 300, row3);
    TestPageLine(0, 990, 2000, 1000, 300, normal);
    EXPECT_EQ(0, std::memcmp(row3, normal, 24));

    // A form feed fills the label's height (Wine's PostScript context must
    // know the label paper) in a "FormFeed" job, then a "LineFeed" job follows.
    seen = Escapes{};
    long fed = FormFeed(st());
    std::string bytes;
    for (auto &c : seen.calls)
        bytes += c.second.substr(2);
    EXPECT_EQ(seen.begun, 2);
    EXPECT_EQ(seen.ended, 2);
    EXPECT_EQ(long(bytes.size()), fed);
    EXPECT_EQ(bytes, std::string(size_t(fed), '\n'));
    EXPECT_GT(fed, 10); // the 3-inch default label at 300 dpi: 18 lines and one
}

TEST_F(Virtual, FaultsGiveMessagesAndLeaveNothingOpen) {
    open(L"Heron HC43-203dpi");
    // A printer that answers nothing, garbage, or more than the reply buffer holds.
    set_fault("silent");
    EXPECT_EQ(st().inquire(kQuerySettings, -1), 0);
    EXPECT_EQ(boxes().size(), 1u);
    set_fault("garbage");
    long n = st().inquire(kQuerySettings, -1);
    PrinterSettings s;
    EXPECT_FALSE(ParseSettingsReply(reinterpret_cast<const unsigned char *>(st().reply()), size_t(n), &s));
    set_fault("long");
    EXPECT_EQ(st().inquire(kQuerySettings, -1), prtstream::kCapacity - 1);
    EXPECT_EQ(st().reply()[prtstream::kCapacity - 1], 0);

    // A file that cannot be read sends nothing; a job the renderer refuses reports it.
    EXPECT_FALSE(st().write_file(L"Z:\\no\\such\\file.prn"));
    use_fake_renderer();
    seen.refuse = true;
    ASSERT_TRUE(st().StartJob(L"Refused"));
    st() << "lost";
    EXPECT_FALSE(st().EndJob());
    EXPECT_FALSE(st().job_open());
    EXPECT_TRUE(jobs().empty());

    // Not a serial port: the configuration dialog's refusal, string 1235.
    boxes().clear();
    EXPECT_FALSE(st().is_serial(true));
    EXPECT_EQ(boxes().size(), 1u);
}

// A dialog with two controls of the given ids (a static and a check box), as
// the system's pages carry them.
HWND dialog_with(int first, int second, DLGPROC proc) {
    static std::vector<WORD> t;
    // DLGTEMPLATE: style, extended style, item count, x, y, cx, cy; no menu, class or title.
    t = {LOWORD(WS_POPUP), HIWORD(WS_POPUP), 0, 0, 2, 0, 0, 200, 100, 0, 0, 0};
    for (int id : {first, second}) {
        if (t.size() % 2)
            t.push_back(0); // items start on a DWORD
        DWORD style = WS_CHILD | (id == first ? SS_LEFT : BS_AUTOCHECKBOX);
        std::vector<WORD> item = {LOWORD(style), HIWORD(style), 0, 0, 10, WORD(id == first ? 10 : 30), 100, 12, WORD(id),
                                  0xFFFF, WORD(id == first ? 0x0082 : 0x0080), 0, 0};
        t.insert(t.end(), item.begin(), item.end());
    }
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), nullptr,
                                      proc, 0);
}

int own_commands = 0;
LONG_PTR own_user_seen = 0;
INT_PTR CALLBACK page_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG)
        SetWindowLongPtrW(hwnd, DWLP_USER, 1234);
    if (msg == WM_COMMAND)
        ++own_commands;
    if (msg == WM_USER + 5)
        own_user_seen = GetWindowLongPtrW(hwnd, DWLP_USER);
    return msg == WM_INITDIALOG;
}

TEST_F(Virtual, HookTakesOverTheGeneralPagesTestButtonOnly) {
    open(L"Heron HC43-203dpi");
    use_fake_renderer();
    ASSERT_TRUE(WindowHook_Install(ui_.get()));
    HWND general = dialog_with(kGeneralName, kGeneralTestPage, page_proc);
    ASSERT_NE(general, nullptr);
    SetDlgItemTextW(general, kGeneralName, L"Printer");
    EXPECT_FALSE(WindowHook_Remove()); // it removed itself
    own_commands = 0;
    SendMessageW(general, WM_COMMAND, MAKEWPARAM(kGeneralTestPage, BN_CLICKED), 0);
    EXPECT_EQ(own_commands, 0);        // the system never sees the click
    EXPECT_EQ(seen.calls.size(), 21u); // the driver's test page went out
    SendMessageW(general, WM_COMMAND, MAKEWPARAM(kGeneralName, 0), 0);
    SendMessageW(general, WM_USER + 5, 0, 0);
    EXPECT_EQ(own_commands, 1);
    EXPECT_EQ(own_user_seen, 1234); // the page's procedure runs with its own slot
    DestroyWindow(general);

    // The second system page answering first ends the hook without subclassing.
    ASSERT_TRUE(WindowHook_Install(ui_.get()));
    HWND other = dialog_with(kSecondPageA, kSecondPageB, page_proc);
    SendDlgItemMessageW(other, kSecondPageB, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(WindowHook_Remove());
    EXPECT_NE(GetWindowLongPtrW(other, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(GeneralDlgProc));
    DestroyWindow(other);
}

// The virtual printer draws each job before the next dialog opens: a busy machine takes a while.
HWND await_dialog(int control) {
    HWND found = nullptr;
    for (int i = 0; i < 6 && !found; ++i)
        found = wait_for_dialog(control);
    return found;
}

// Runs a dialog of the UI object modally while drive(dialog) acts on it from a helper thread.
template <class Drive> INT_PTR run_modal(prtui *ui, const wchar_t *name, DLGPROC proc, int control, Drive drive) {
    std::thread helper([&] {
        if (HWND dialog = await_dialog(control))
            drive(dialog);
    });
    INT_PTR result = prtpage::DialogModal(ui, nullptr, name, proc);
    helper.join();
    return result;
}

// The colour commands of every job after the first `skip`, plane colours left out.
std::vector<std::string> colour_commands(const std::vector<std::string> &jobs, size_t skip = 0) {
    std::vector<std::string> out;
    for (size_t i = skip; i < jobs.size(); ++i)
        for (size_t at = jobs[i].find("{C"); at != std::string::npos; at = jobs[i].find("{C", at + 1))
            if (jobs[i].compare(at, 4, "{CP;"))
                out.push_back(jobs[i].substr(at, jobs[i].find('}', at) - at + 1));
    return out;
}

// Align all on a four-colour printer: head 1 refined twice and accepted, head 2
// cancelled, head 3 never reached; each pattern and registration is a job of its own.
TEST_F(Virtual, ColourAlignmentNarrowsAcceptsAndStopsAtCancel) {
    open(L"Osprey OX8-305dpi CMYK");
    // Four-colour heads are fixed: nothing to choose.
    run_modal(ui_.get(), L"DLG_COLOR_SPOT", ppColorSetup::WinProc, IDC_SPOT_USED0, [&](HWND d) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_SPOT_COMBO0)));
        sheet::shoot(d, L"colour-setup-eng");
        sheet::press(d, IDCANCEL);
    });
    std::vector<std::wstring> refine_offered;
    std::wstring shown_h, shown_v;
    auto pass = [&](int column, int row, int next) {
        HWND d = await_dialog(IDC_ALN_COLUMN0);
        if (!d)
            return;
        refine_offered.push_back(IsWindowEnabled(GetDlgItem(d, IDC_ALN_ACCEPT + 1)) ? L"refine" : L"accept");
        if (refine_offered.size() == 1)
            sheet::shoot(d, L"colour-align-eng");
        sheet::click(d, IDC_ALN_COLUMN0 + column);
        sheet::click(d, IDC_ALN_ROW0 + row);
        sheet::click(d, IDC_ALN_ACCEPT + next);
        sheet::press(d, next < 0 ? IDCANCEL : IDOK);
        sheet::wait_closed(d);
    };
    INT_PTR result = run_modal(ui_.get(), L"DLG_COLOR_REGISTRATION", ppColorRegistration::WinProc, IDC_REG_ALIGN_ALL,
                               [&](HWND reg) {
                                   sheet::shoot(reg, L"colour-registration-eng");
                                   sheet::press(reg, IDC_REG_ALIGN_ALL);
                                   pass(4, 4, ALIGNRESULT::kRefine); // the fifth column and row
                                   pass(8, 0, ALIGNRESULT::kRefine);
                                   pass(0, 8, 0);  // narrower than 500: accept only
                                   pass(2, 2, -1); // cancelled
                                   for (int i = 0; i < 300 && sheet::text_of(reg, IDC_REG_H) == L"0"; ++i)
                                       Sleep(100);
                                   shown_h = sheet::text_of(reg, IDC_REG_H);
                                   shown_v = sheet::text_of(reg, IDC_REG_V);
                                   sheet::press(reg, IDOK);
                               });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(refine_offered, (std::vector<std::wstring>{L"refine", L"refine", L"accept", L"refine"}));
    EXPECT_EQ(shown_h, L"27");
    EXPECT_EQ(shown_v, L"-27");
    EXPECT_EQ(colour_commands(jobs()),
              (std::vector<std::string>{"{CR;4,0,0,0,0,0,0,0,0|}", "{CA;0,3,-2000,2000,-2000,2000|}",
                                        "{CA;0,3,-333,333,-333,333|}", "{CA;0,3,278,388,-388,-278|}",
                                        "{CA;1,3,-2000,2000,-2000,2000|}", "{CR;4,278,0,0,0,-278,0,0,0|}",
                                        "{CR;4,278,0,0,0,-278,0,0,0|}"}));
    prtreg reg;
    reg.init(printer_->handle(), printer_->name().c_str());
    SCOLOR stored;
    stored.Init(ui_->model());
    ASSERT_TRUE(stored.Load(reg));
    EXPECT_EQ(stored.Plane(0)->x_offset, 278);
    EXPECT_EQ(stored.Plane(0)->y_offset, -278);
    EXPECT_EQ(stored.Plane(1)->x_offset, 0);
}

// Colour heads in German on a two-head printer: no head in use cannot be
// confirmed; the chosen colour reaches the registration test; a head's Align
// cancelled sends the registration around it and nothing else.
TEST_F(Virtual, ColourSetupNeedsAHeadAndItsColoursReachThePrinter) {
    open(L"Osprey OX4S-305dpi Spot");
    char ger[4] = "ger";
    SetPrinterDataA(printer_->handle(), const_cast<char *>("Language"), REG_BINARY, reinterpret_cast<BYTE *>(ger), 4);
    ui_.reset(prtui::NewExtUI());
    ui_->init(printer_->handle(), nullptr, 0);
    bool stayed_open = false;
    INT_PTR result = run_modal(ui_.get(), L"DLG_COLOR_SPOT", ppColorSetup::WinProc, IDC_SPOT_USED0, [&](HWND d) {
        sheet::click(d, IDC_SPOT_USED0);
        sheet::click(d, IDC_SPOT_USED1);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
        stayed_open = IsWindow(d) && !IsWindowEnabled(GetDlgItem(d, IDC_SPOT_COMBO0 + 1));
        sheet::click(d, IDC_SPOT_USED0);
        sheet::click(d, IDC_SPOT_USED1);
        sheet::choose(d, IDC_SPOT_COMBO0, 0x007F00); // dark green
        sheet::shoot(d, L"colour-setup-ger");
        sheet::press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(stayed_open);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0], ui_->locale().GetString(IDS_NO_HEAD_USED));

    result = run_modal(ui_.get(), L"DLG_COLOR_REGISTRATION", ppColorRegistration::WinProc, IDC_REG_TEST, [&](HWND d) {
        sheet::shoot(d, L"colour-registration-ger");
        sheet::click(d, IDC_REG_TEST);
        sheet::press(d, IDC_REG_ALIGN + 0); // head 1 is the reference: only head 0 aligns
        if (HWND a = await_dialog(IDC_ALN_COLUMN0)) {
            sheet::shoot(a, L"colour-align-ger");
            sheet::press(a, IDCANCEL);
            sheet::wait_closed(a);
        }
        sheet::press(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    auto kept = jobs();
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[0], "{CP;0,007F00|}\n{CP;1,000000|}\n{CT;2|}\n");
    EXPECT_EQ(colour_commands(kept, 1), (std::vector<std::string>{"{CR;2,0,0,0,0,0,0,0,0|}", "{CA;0,1,-2000,2000,-2000,2000|}",
                                                               "{CR;2,0,0,0,0,0,0,0,0|}"}));
}

} // namespace
