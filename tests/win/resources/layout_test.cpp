// Creates every dialog template of the language modules in every language and
// checks what a user would see: no two visible controls overlap, no text or
// picture is cut off, nothing sticks out of its dialog, no access key is taken twice. Each dialog is also saved as a
// screenshot (build/screenshots/templates/LANG-NAME.bmp).
#include "imaging/prtbitmap.h"
#include "module_path.h"
#include "platform/globals.h"
#include "screenshot.h"
#include "../../../resources/resource_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const wchar_t *const kLanguages[] = {L"eng", L"ger"};

// Every template the property pages and dialogs look up by name.
const wchar_t *const kRequired[] = {
    L"PAGE_SETUP", L"PAGE_GRAPHICS", L"PAGE_OPTIONS", L"PAGE_DEBUG", L"PAGE_BARFONT", L"PAGE_FONT", L"PAGE_REGIONAL",
    L"PAGE_ABOUT", L"DLG_WAITINFO", L"DLG_STOCK", L"DLG_ADVANCED", L"DLG_CONFIGURE", L"DLG_DITHER_COLORADJ",
    L"DLG_DITHER_SETUP", L"DLG_LOGGING", L"DLG_LICENSE", L"DLG_VERSION", L"DLG_COLOR_SPOT", L"DLG_COLOR_REGISTRATION",
    L"DLG_COLOR_ALIGN", L"DLG_BARFONT", L"DLG_BC_CODE39", L"DLG_BC_CODE128", L"DLG_BC_CODABAR", L"DLG_BC_UPC",
    L"DLG_BC_PDF417", L"DLG_BC_DATAMATRIX", L"DLG_BC_MAXICODE", L"DLG_BC_QRCODE", L"DLG_BC_JAPANPOST", L"FONT_DOWNLOAD"};

std::wstring resource_dir() { return built_module_path(L"resources\\"); }

HMODULE load(const std::wstring &file) {
    return LoadLibraryExW((resource_dir() + file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

BOOL CALLBACK add_name(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    if (!IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<std::wstring> *>(out)->push_back(name);
    return TRUE;
}

std::vector<std::wstring> template_names(HMODULE module) {
    std::vector<std::wstring> names;
    EnumResourceNamesW(module, RT_DIALOG, add_name, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

INT_PTR CALLBACK quiet_proc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// The modules of the language being shown; picture areas take their pictures from them.
HMODULE g_common, g_oem;

// The picture that the page puts into picture area id (a packed DIB) and its
// size, or null.
const BITMAPINFOHEADER *picture_for(int id, DWORD *size = nullptr) {
    static const std::map<int, int> common = {{IDC_SETUP_PREVIEW, IDB_ORIENTATION}, {IDC_WAIT_PICTURE, IDB_WAIT},
                                              {IDC_STOCK_PICTURE, IDB_STOCK},      {IDC_GFX_PREVIEW, IDB_SAMPLE},
                                              {IDC_ALN_COLUMNS, IDB_ALIGN_COLUMNS}, {IDC_ALN_ROWS, IDB_ALIGN_ROWS}};
    static const std::map<int, int> oem = {{IDC_ABOUT_LOGO, IDB_LOGO}, {IDC_ABOUT_BANNER, IDB_BANNER}};
    HMODULE module = common.count(id) ? g_common : oem.count(id) ? g_oem : nullptr;
    if (!module)
        return nullptr;
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(common.count(id) ? common.at(id) : oem.at(id)), RT_BITMAP);
    if (res && size)
        *size = SizeofResource(module, res);
    return res ? static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(module, res))) : nullptr;
}

// A copy of the template shown as a top-level window: pages and panels are
// child templates, which are made pop-ups with a caption here.
std::vector<BYTE> as_popup(HMODULE module, const wchar_t *name) {
    HRSRC res = FindResourceW(module, name, RT_DIALOG);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(module, res)));
    std::vector<BYTE> copy(data, data + SizeofResource(module, res));
    DWORD style;
    std::memcpy(&style, copy.data() + 12, 4);  // DLGTEMPLATEEX: version, signature, help id, ex style, style
    style = (style & ~(WS_CHILD | WS_DISABLED | DS_CONTROL | DS_CENTER)) | WS_POPUP | WS_CAPTION | WS_VISIBLE;
    std::memcpy(copy.data() + 12, &style, 4);
    short origin[2] = {4, 4};
    std::memcpy(copy.data() + 18, origin, sizeof origin);
    return copy;
}

std::wstring window_text(HWND wnd) {
    wchar_t buf[512] = L"";
    GetWindowTextW(wnd, buf, 512);
    return buf;
}

std::wstring class_of(HWND wnd) {
    wchar_t buf[64] = L"";
    GetClassNameW(wnd, buf, 64);
    return buf;
}

struct Control {
    HWND wnd;
    int id;
    std::wstring cls, text;
    DWORD style;
    RECT rect;  // in dialog client coordinates
    bool group() const { return cls == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX; }
    std::wstring name() const { return std::to_wstring(id) + L" \"" + text + L"\""; }
};

std::vector<Control> visible_controls(HWND dlg) {
    std::vector<Control> out;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE))
            continue;
        Control k{c, GetDlgCtrlID(c), class_of(c), window_text(c), DWORD(GetWindowLongW(c, GWL_STYLE)), {}};
        GetWindowRect(c, &k.rect);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT *>(&k.rect), 2);
        out.push_back(k);
    }
    return out;
}

bool inside(const RECT &in, const RECT &out) {
    return in.left >= out.left && in.top >= out.top && in.right <= out.right && in.bottom <= out.bottom;
}

// Size the control's text needs in its own font: {width, height}, one line or
// wrapped at the given width.
SIZE text_need(const Control &c, int wrap_width, UINT extra) {
    HDC dc = GetDC(c.wnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c.wnd, WM_GETFONT, 0, 0)));
    RECT r{0, 0, wrap_width > 0 ? wrap_width : 10000, 0};
    DrawTextW(dc, c.text.c_str(), -1, &r, DT_CALCRECT | extra | (wrap_width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(c.wnd, dc);
    return {r.right - r.left, r.bottom - r.top};
}

// Why the control's text does not fit, or empty when it does.
std::wstring clipped(const Control &c) {
    if (c.text.empty())
        return L"";
    RECT client;
    GetClientRect(c.wnd, &client);
    const int w = client.right, h = client.bottom;
    const UINT prefix = (c.style & SS_NOPREFIX) && c.cls == L"Static" ? DT_NOPREFIX : 0;
    SIZE need{};
    int room = w;
    if (c.cls == L"Static") {
        DWORD type = c.style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_RIGHT && type != SS_CENTER && type != SS_LEFTNOWORDWRAP)
            return L"";
        need = text_need(c, type == SS_LEFTNOWORDWRAP ? 0 : w, prefix);
    } else if (c.cls == L"Button") {
        DWORD type = c.style & BS_TYPEMASK;
        need = text_need(c, 0, 0);
        if (type == BS_GROUPBOX)
            room = w - 2 * 8;
        else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ||
                 type == BS_3STATE || type == BS_AUTO3STATE)
            room = w - GetSystemMetrics(SM_CXMENUCHECK) - 4;
        else
            room = w - 8;  // push buttons: frame and focus rectangle
    } else {
        return L"";
    }
    if (need.cx > room || need.cy > h)
        return L"needs " + std::to_wstring(need.cx) + L"x" + std::to_wstring(need.cy) + L" px, has " +
               std::to_wstring(room) + L"x" + std::to_wstring(h);
    return L"";
}

// The access key of a control text ("&Name" gives n), or 0.
wchar_t access_key(const std::wstring &text) {
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'&') {
            if (text[i + 1] != L'&')
                return static_cast<wchar_t>(towlower(text[i + 1]));
            ++i;
        }
    return 0;
}

std::string narrow(const std::wstring &w) {
    std::string s(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], int(s.size()), nullptr, nullptr);
    s.pop_back();
    return s;
}

// The bar font editor places each symbology panel 2 px left of and 12 px above
// its frame 395: every panel must fit there without covering the editor's
// controls. The Code 39 panel stays in for the screenshot.
void place_panels(HWND editor, HMODULE module, const std::vector<std::wstring> &names, const std::string &where) {
    RECT frame, client;
    GetWindowRect(GetDlgItem(editor, IDC_BFE_PANEL_FRAME), &frame);
    MapWindowPoints(nullptr, editor, reinterpret_cast<POINT *>(&frame), 2);
    GetClientRect(editor, &client);
    std::vector<Control> editor_controls = visible_controls(editor);
    std::vector<std::wstring> panels;
    for (const std::wstring &n : names)
        if (n.rfind(L"DLG_BC_", 0) == 0 && n != L"DLG_BC_CODE39")
            panels.push_back(n);
    panels.push_back(L"DLG_BC_CODE39");
    for (const std::wstring &n : panels) {
        HRSRC res = FindResourceW(module, n.c_str(), RT_DIALOG);
        auto *tmpl = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, res)));
        HWND panel = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), tmpl, editor, quiet_proc, 0);
        ASSERT_NE(panel, nullptr) << where << narrow(n);
        SetWindowPos(panel, nullptr, frame.left - 2, frame.top - 12, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        RECT r;
        GetWindowRect(panel, &r);
        MapWindowPoints(nullptr, editor, reinterpret_cast<POINT *>(&r), 2);
        EXPECT_TRUE(inside(r, client)) << where << narrow(n) << " sticks out of the editor";
        std::map<wchar_t, std::wstring> keys;  // the panel's access keys work in the whole editor
        for (const Control &c : editor_controls) {
            RECT common;
            EXPECT_FALSE(IntersectRect(&common, &r, &c.rect)) << where << narrow(n) << " covers " << narrow(c.name());
            if (wchar_t key = access_key(c.text))
                keys[key] = c.name();
        }
        for (const Control &c : visible_controls(panel)) {
            if (wchar_t key = access_key(c.text)) {
                EXPECT_FALSE(keys.count(key)) << where << narrow(n) << " " << narrow(c.name()) << " has the access key of "
                                              << narrow(keys[key]);
            }
        }
        if (n != panels.back())
            DestroyWindow(panel);
    }
}

class LanguageModules : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        // The driver's own picture areas, with the pictures the pages put there.
        ghInstance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(prtbitmap::Register());
        ASSERT_STREQ(prtbitmap::ClassName(), L"" BITMAP_CLASS);
    }
    static void TearDownTestSuite() { prtbitmap::Unregister(); }
};

TEST_F(LanguageModules, EveryTemplateShowsWithoutOverlapsOrClippedText) {
    const std::wstring shots = built_module_path(L"..\\screenshots\\");
    CreateDirectoryW(shots.c_str(), nullptr);
    CreateDirectoryW((shots + L"templates").c_str(), nullptr);
    std::set<std::wstring> first_names;
    for (const wchar_t *lang : kLanguages) {
        HMODULE module = load(std::wstring(L"mrl32") + lang + L".dll");
        ASSERT_NE(module, nullptr) << narrow(lang) << ": " << GetLastError();
        g_common = module;
        g_oem = load(std::wstring(L"omr32") + lang + L".dll");
        std::vector<std::wstring> names = template_names(module);
        std::set<std::wstring> name_set(names.begin(), names.end());
        for (const wchar_t *required : kRequired)
            EXPECT_TRUE(name_set.count(required)) << narrow(lang) << " lacks " << narrow(required);
        if (first_names.empty())
            first_names = name_set;
        EXPECT_EQ(name_set, first_names) << narrow(lang) << " has other templates than " << narrow(kLanguages[0]);

        for (const std::wstring &name : names) {
            const std::string where = narrow(lang) + " " + narrow(name) + ": ";
            std::vector<BYTE> tmpl = as_popup(module, name.c_str());
            HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                                  reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), nullptr, quiet_proc, 0);
            ASSERT_NE(dlg, nullptr) << where << "not created, error " << GetLastError();
            for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                DWORD size = 0;
                if (const BITMAPINFOHEADER *pic = picture_for(GetDlgCtrlID(c), &size)) {
                    EXPECT_TRUE(prtbitmap::SetPicture(
                        c, reinterpret_cast<BITMAPINFO *>(const_cast<BITMAPINFOHEADER *>(pic)), size, true))
                        << where << "picture of " << GetDlgCtrlID(c) << " refused";
                }
            }
            ShowWindow(dlg, SW_SHOWNORMAL);
            UpdateWindow(dlg);
            pump();

            RECT client;
            GetClientRect(dlg, &client);
            std::vector<Control> controls = visible_controls(dlg);
            EXPECT_FALSE(controls.empty()) << where << "no visible control";
            std::map<wchar_t, std::wstring> keys;
            for (size_t i = 0; i < controls.size(); ++i) {
                const Control &a = controls[i];
                if (wchar_t key = access_key(a.text)) {
                    EXPECT_FALSE(keys.count(key)) << where << narrow(a.name()) << " has the access key of " << narrow(keys[key]);
                    keys[key] = a.name();
                }
                EXPECT_TRUE(inside(a.rect, client)) << where << narrow(a.name()) << " sticks out of the dialog";
                std::wstring why = clipped(a);
                EXPECT_TRUE(why.empty()) << where << narrow(a.name()) << " is clipped: " << narrow(why);
                if (const BITMAPINFOHEADER *pic = picture_for(a.id)) {
                    RECT area;
                    GetClientRect(a.wnd, &area);
                    EXPECT_TRUE(pic->biWidth <= area.right && pic->biHeight <= area.bottom)
                        << where << "picture of " << a.id << " (" << pic->biWidth << "x" << pic->biHeight
                        << ") is cut off by its area " << area.right << "x" << area.bottom;
                }
                for (size_t j = i + 1; j < controls.size(); ++j) {
                    const Control &b = controls[j];
                    RECT common;
                    if (!IntersectRect(&common, &a.rect, &b.rect))
                        continue;
                    // A group box holds whole controls; anything else sharing pixels is a fault.
                    bool nested = (a.group() && inside(b.rect, a.rect)) || (b.group() && inside(a.rect, b.rect));
                    EXPECT_TRUE(nested) << where << narrow(a.name()) << " overlaps " << narrow(b.name());
                }
            }
            if (name == L"DLG_BARFONT") {
                place_panels(dlg, module, names, where);
                pump();
            }
            EXPECT_TRUE(save_screenshot(dlg, shots + L"templates\\" + lang + L"-" + name + L".bmp")) << where;
            DestroyWindow(dlg);
        }
        FreeLibrary(g_oem);
        FreeLibrary(module);
    }
}

// Every text, picture and template found in English is there in German too,
// and the pictures the pages ask for are in the modules they search.
TEST_F(LanguageModules, GermanModulesHoldWhatTheEnglishOnesHold) {
    for (const wchar_t *base : {L"mrl32", L"zpl32", L"omr32"}) {
        HMODULE eng = load(std::wstring(base) + L"eng.dll"), ger = load(std::wstring(base) + L"ger.dll");
        ASSERT_NE(eng, nullptr);
        ASSERT_NE(ger, nullptr);
        int strings = 0;
        for (UINT id = 0; id < 10000; ++id) {
            wchar_t e[512], g[512];
            if (!LoadStringW(eng, id, e, 512))
                continue;
            ++strings;
            EXPECT_GT(LoadStringW(ger, id, g, 512), 0) << narrow(base) << "ger lacks string " << id << " \"" << narrow(e) << "\"";
        }
        if (base == std::wstring(L"mrl32")) {
            EXPECT_GT(strings, 200);  // the common module holds the messages
        }
        for (int id : {IDB_SAMPLE, IDB_ALIGN_COLUMNS, IDB_ALIGN_ROWS, IDB_WAIT, IDB_STOCK, IDB_LOGO, IDB_BANNER})
            EXPECT_EQ(!FindResourceW(eng, MAKEINTRESOURCEW(id), RT_BITMAP), !FindResourceW(ger, MAKEINTRESOURCEW(id), RT_BITMAP))
                << narrow(base) << " bitmap " << id;
        FreeLibrary(eng);
        FreeLibrary(ger);
    }
    HMODULE common = load(L"mrl32eng.dll"), oem = load(L"omr32eng.dll");
    for (int id = IDB_ORIENTATION; id <= IDB_ORIENTATION + 15; ++id)
        EXPECT_NE(FindResourceW(common, MAKEINTRESOURCEW(id), RT_BITMAP), nullptr) << "orientation picture " << id;
    HRSRC sample = FindResourceW(common, MAKEINTRESOURCEW(IDB_SAMPLE), RT_BITMAP);
    ASSERT_NE(sample, nullptr);
    auto *info = static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(common, sample)));
    // The graphics page copies width x 3 bytes per row: rows must be 24-bit and unpadded.
    EXPECT_EQ(info->biBitCount, 24);
    EXPECT_EQ(info->biWidth * 3 % 4, 0);
    EXPECT_NE(FindResourceW(oem, MAKEINTRESOURCEW(IDB_LOGO), RT_BITMAP), nullptr);
    FreeLibrary(common);
    FreeLibrary(oem);
}

}  // namespace
