// The printer stream end to end under Wine: raw documents and jobs reach the
// virtual label printer (a pipe port of Wine's spooler) byte for byte, the
// package's stand-in renderer turns line records into box commands, queries
// are answered from the printer's stored configuration, and every fault ends
// with a message, nothing sent twice and no job left open.
#include "driver_env.h"
#include "virtual_queue.h"

#include "foundation/lebytes.h"
#include "model/prtfile.h"
#include "pageframe/prtui.h"
#include "pageframe/windowhook.h"
#include "platform/seam.h"
#include "store/printerconfig.h"
#include "test_printer.h"
#include "tool_run.h"

#include "output/fontdownload.h"
#include "pages/ppfont.h"
#include "resource_ids.h"
#include "store/dttf.h"

#include <dlgs.h>
#include <functional>
#include "../sheet/sheet_ui.h"

#include "pages/ppcolor.h"
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

// A printer of the model whose port is a fresh virtual label printer.
class Virtual : public SeamTest {
protected:
    void open(const wchar_t *model) {
        queue_ = std::make_unique<VirtualQueue>(L"mrl output test", model, MRL_VPRINTER);
        ASSERT_TRUE(queue_->ok());
        dir_ = queue_->dir();
        prtfile::UseDriverDirectoryOf(queue_->printer().handle());
        ui_.reset(prtui::NewExtUI());
        ui_->init(queue_->printer().handle(), nullptr, 0);
        ASSERT_NE(ui_->model(), nullptr);
        platform::spooler().GetPrinterDataW = vprinter::GetPrinterDataW;
        platform::windows().MessageBoxW = record_box;
        boxes().clear();
        seen = Escapes{};
    }
    void TearDown() override {
        ui_.reset();
        queue_.reset();
        prtfile::SetDriverDirectory(nullptr);
        SeamTest::TearDown();
    }
    std::vector<std::string> jobs(size_t n = 0) { return queue_->jobs(n); }
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
    std::unique_ptr<VirtualQueue> queue_;
    std::unique_ptr<prtui> ui_;
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

TEST_F(Virtual, StandinRendererDeliversTestPageBoxes) {
    open(L"Heron HC43-203dpi");
    PrtTest(ui_.get(), 1);
    auto kept = jobs(1);
    ASSERT_EQ(kept.size(), 1u);
    // 203 dpi: the outer frame's top (0, 0, 2000, 10) is 406 x 2 dots at the top left.
    EXPECT_EQ(kept[0].rfind("\x1b" "B0;0;406;2\r\n", 0), 0u) << kept[0];
    EXPECT_EQ(std::count(kept[0].begin(), kept[0].end(), '\x1b'), 21);
    EXPECT_NE(GetFileAttributesW((dir_ + L"\\job-0001.png").c_str()), INVALID_FILE_ATTRIBUTES);
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


// ---- Fonts from the font page and from mrlprint ----------------------------

// The real renderer, with every glyph record it is handed kept.
platform::Renderer real_renderer;
std::vector<std::string> glyph_records;
BOOL recording_escape(void *job, int code, int size, const void *data) {
    if (code == kEscBitmapChar)
        glyph_records.emplace_back(static_cast<const char *>(data), size);
    return real_renderer.escape(job, code, size, data);
}

// The chooser as a user works it: the driver's template with its hook, the
// type changed to bitmap, OK; DejaVu Sans at 10.5 points. Cancels when asked.
bool chooser_cancels = false;
LONG chosen_charset = -1;
CHOOSEFONTW *chooser;
INT_PTR CALLBACK to_hook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return chooser->lpfnHook(wnd, msg, wParam, msg == WM_INITDIALOG ? reinterpret_cast<LPARAM>(chooser) : lParam);
}
BOOL WINAPI choose_font(CHOOSEFONTW *cf) {
    if (chooser_cancels || !(cf->Flags & CF_ENABLETEMPLATEHANDLE) || !(cf->Flags & CF_ENABLEHOOK))
        return FALSE;
    chooser = cf;
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(cf->hInstance),
                                          cf->hwndOwner, to_hook, 0);
    if (!dlg)
        return FALSE;
    HWND type = GetDlgItem(dlg, IDC_FDL_TYPE), chars = GetDlgItem(dlg, IDC_FDL_CHARSET);
    SendMessageW(type, CB_SETCURSEL, 1, 0); // TrueType, then bitmap
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_FDL_TYPE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(type));
    chosen_charset = LONG(SendMessageW(chars, CB_GETITEMDATA, SendMessageW(chars, CB_GETCURSEL, 0, 0), 0));
    SendMessageW(dlg, WM_COMMAND, IDOK, 0);
    DestroyWindow(dlg);
    wcscpy(cf->lpLogFont->lfFaceName, L"DejaVu Sans");
    cf->lpLogFont->lfWeight = FW_NORMAL;
    cf->iPointSize = 105;
    return TRUE;
}

// The font page run as a dialog: act runs once the page is up, then it closes.
class FontScript : public ppFont {
public:
    static std::function<void(FontScript &)> act;
    void Refresh(bool first) override {
        ppFont::Refresh(first);
        if (started_)
            return;
        started_ = true;
        SetActive();
        act(*this);
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    }
    void click(int id) { WM_Command(WORD(id), BN_CLICKED, 0); }
    void select(LONG i) {
        LB_SetCurSel(IDC_FONT_LIST, i);
        WM_Command(IDC_FONT_LIST, LBN_SELCHANGE, 0);
    }
    prtdttf_node *node(LONG i) { return reinterpret_cast<prtdttf_node *>(LB_GetSelData(IDC_FONT_LIST, i)); }
    std::vector<std::wstring> lines() {
        std::vector<std::wstring> out;
        for (LONG i = 0; i < LB_GetCount(IDC_FONT_LIST); ++i) {
            OString t;
            LB_GetText(IDC_FONT_LIST, i, t);
            out.push_back(t.wstring());
        }
        return out;
    }

private:
    bool started_ = false;
};
std::function<void(FontScript &)> FontScript::act;

TEST_F(Virtual, FontsFromThePageAndTheToolReachThePrinterOrLeaveTheListAlone) {
    open(L"Kestrel KT41-300dpi"); // TrueType and bitmap fonts, upright and turned
    prtreg store;
    store.init(queue_->printer().handle(), queue_->printer().name().c_str());
    prtdttf_list().Save(store); // nothing left by an earlier run of this printer
    platform::dialogs().ChooseFontW = choose_font;
    real_renderer = platform::renderer();
    platform::renderer().escape = recording_escape;
    glyph_records.clear();

    std::vector<std::wstring> listed, after_delete;
    size_t jobs_after_cancel = 99, jobs_after_removed = 99;
    FontScript::act = [&](FontScript &page) {
        chooser_cancels = true;
        page.click(IDC_FONT_ADD);
        jobs_after_cancel = jobs().size();
        chooser_cancels = false;
        page.click(IDC_FONT_ADD);
        page.click(IDC_FONT_ADD);
        listed = page.lines();
        // A font the printer no longer holds goes from the list without a word to the printer.
        page.select(1);
        page.node(1)->info.status = 2;
        page.click(IDC_FONT_DELETE);
        jobs_after_removed = jobs().size();
        page.select(0);
        page.click(IDC_FONT_DELETE);
        after_delete = page.lines();
    };
    // A page is a child window: it runs inside a window of its own here.
    HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(prtpage::DialogModal(ui_.get(), frame, L"PAGE_FONT", PageProc<FontScript>), IDCANCEL);
    DestroyWindow(frame);
    EXPECT_EQ(jobs_after_cancel, 0u) << "a cancelled chooser sends nothing";
    EXPECT_EQ(chosen_charset, 0) << "a change of type starts from the digits";
    ASSERT_EQ(listed, (std::vector<std::wstring>(2, L"DejaVu Sans 10.5\tBitmap")));
    EXPECT_EQ(jobs_after_removed, 2u);
    EXPECT_TRUE(after_delete.empty());

    // Each download is one job: the font record, the space, comma, hyphen,
    // full stop and digits upright and turned, the end record, as the
    // language's commands with the glyph bytes the driver made, byte for byte.
    auto kept = jobs();
    ASSERT_EQ(kept.size(), 3u);
    ASSERT_EQ(glyph_records.size(), 56u);
    std::string expected;
    for (int orient = 0, g = 0; orient < 2; ++orient) {
        size_t at = kept[0].find(orient ? "^FH2,14," : "^FH2,14,", orient ? kept[0].find("^FH4") : 0);
        ASSERT_NE(at, std::string::npos);
        expected += kept[0].substr(at, kept[0].find('\n', at) + 1 - at);
        for (int c = 0; c < 14; ++c, ++g) {
            auto *r = reinterpret_cast<const unsigned char *>(glyph_records[g].data());
            char head[64];
            snprintf(head, sizeof head, "^FC%u,%u,%u,%u,%u,%u\n", le::u16(r), le::u16(r + 2), le::u16(r + 4),
                     le::u16(r + 6), le::u16(r + 8), unsigned(le::u32(r + 12)));
            EXPECT_EQ(le::u16(r + 8), orient);
            expected += head + glyph_records[g].substr(16);
        }
        at = kept[0].find("^FH4,14,", at);
        ASSERT_NE(at, std::string::npos);
        expected += kept[0].substr(at, kept[0].find('\n', at) + 1 - at);
    }
    EXPECT_EQ(kept[0], expected);
    std::string first = kept[0].substr(0, kept[0].find('\n') + 1);
    EXPECT_EQ(first.rfind("^FH2,14,", 0), 0u) << first; // bitmap, 14 characters
    EXPECT_NE(first.find(",0,-1,"), std::string::npos) << first; // upright, no file
    EXPECT_EQ(first.substr(first.size() - 13), ",DejaVu Sans\n") << first;
    EXPECT_EQ(kept[2].rfind("^FH3,", 0), 0u) << "the delete command";
    EXPECT_NE(GetFileAttributesW((dir_ + L"\\job-0001-glyphs.png").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((dir_ + L"\\fonts\\DejaVu_Sans.glyphs").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the printer forgot the deleted font";

    // A TrueType file goes whole; a printer whose memory is full refuses the
    // next font by failing its job, and the tool lists only what it holds.
    platform::reset();
    DTTFInfo info = {};
    info.type = 1;
    LOGFONTW lf = {};
    wcscpy(lf.lfFaceName, L"DejaVu Sans");
    lf.lfWeight = FW_NORMAL;
    std::memcpy(info.logfont, &lf, sizeof lf);
    ASSERT_TRUE(TrueTypeFullName(nullptr, lf, info.font.full_name, sizeof info.font.full_name));
    FontPrinter kt41 = FontPrinterOf(*ui_->model());
    ASSERT_EQ(SendFont(st(), &store, info, kt41, nullptr), FontSend::kSent);
    prtdttf_list held;
    held.Load(store);
    held.AddFont(new prtdttf_node);
    held.get_first()->info = info;
    held.Save(store);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateFontIndirectW(&lf));
    std::string file(GetFontData(dc, 0, 0, nullptr, 0), '\0');
    GetFontData(dc, 0, 0, &file[0], DWORD(file.size()));
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    EXPECT_EQ(VirtualQueue::read_all(dir_ + L"\\fonts\\DejaVu_Sans.ttf"), file);
    set_fault("memory");
    info.type = 2;
    info.point_size = 80;
    std::memcpy(info.charset, CharMasks[0].chars, sizeof info.charset);
    EXPECT_EQ(SendFont(st(), &store, info, kt41, nullptr), FontSend::kRefused);
    EXPECT_NE(VirtualQueue::read_all(dir_ + L"\\job-0005.txt").find("printer memory full"), std::string::npos);
    ToolResult list = run_tool({L"fonts", queue_->printer().name()});
    EXPECT_NE(list.out.find(": 1 font,"), std::string::npos) << list.out;
    ToolResult unknown = run_tool({L"fonts", queue_->printer().name(), L"download", L"No Such Face"});
    EXPECT_EQ(unknown.rc, 1u);
    EXPECT_NE(unknown.err.find("no TrueType font named"), std::string::npos) << unknown.err;
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
    reg.init(queue_->printer().handle(), queue_->printer().name().c_str());
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
    SetPrinterDataA(queue_->printer().handle(), const_cast<char *>("Language"), REG_BINARY, reinterpret_cast<BYTE *>(ger), 4);
    ui_.reset(prtui::NewExtUI());
    ui_->init(queue_->printer().handle(), nullptr, 0);
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
