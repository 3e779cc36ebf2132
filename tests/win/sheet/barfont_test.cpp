// The bar font pages as users meet them, in English and German: the list page
// of Wine's device sheet, the editor its New button opens, and the options
// panel of every symbology family, driven through their real controls. The
// new font must reach the store when the sheet is closed with OK.
#include "installed_driver.h"
#include "sheet_ui.h"
#include "test_printer.h"

#include "model/model.h"
#include "model/prtfile.h"
#include "resource_ids.h"
#include "store/barfont.h"
#include "store/prtreg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// One symbology of each options family, and a control only its panel has.
struct Family {
    LONG id;
    const wchar_t *name;
    int control;
};
const Family kFamilies[] = {
    {0, L"CODE39", IDC_BC_CHECK_CHAR},  {3, L"CODE128", IDC_BC_ENCODING}, {4, L"CODABAR", IDC_BC_START},
    {7, L"UPC", IDC_BC_ADDON},          {21, L"JAPANPOST", IDC_BC_JAPANPOST}, {15, L"PDF417", IDC_PDF_SECURITY},
    {17, L"MAXICODE", IDC_MAXI_MODE},   {16, L"DATAMATRIX", IDC_DM_ECC},  {18, L"QRCODE", IDC_QR_MODEL},
};

struct Seen {
    bool list_ran = false;      // the list page filled itself and its filter
    int panels = 0;             // families whose panel showed its own control with items or a state
    LONG fonts_before = -1, fonts_after = -1;
    bool painted = true;        // every screenshot shows more than a blank area
    LONG x_disabled_maxicode = 0; // MaxiCode fixes the X dimension
    std::wstring new_name;        // the name a new font starts with
};

// A panel child of the editor that holds control id.
HWND panel_with(HWND editor, int id) {
    for (HWND c = GetWindow(editor, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetDlgItem(c, id) && IsWindowVisible(c))
            return c;
    return nullptr;
}

Seen drive(HWND sheet, const std::wstring &lang) {
    Seen seen;
    HWND page = sheet::show_page(sheet, IDC_BF_LIST);
    HWND list = GetDlgItem(page, IDC_BF_LIST);
    seen.list_ran = list && IsDlgButtonChecked(page, IDC_BF_FILTER) == BST_CHECKED;
    seen.fonts_before = static_cast<LONG>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    seen.painted &= shoot(sheet, (lang + L"-barfont-list").c_str());

    PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_BF_NEW, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_BF_NEW)));
    HWND editor = wait_for_dialog(IDC_BFE_SYMBOLOGY);
    if (!editor)
        return seen;
    wchar_t name[64] = {};
    GetDlgItemTextW(editor, IDC_BFE_NAME, name, 64);
    seen.new_name = name;
    for (const Family &f : kFamilies) {
        choose(editor, IDC_BFE_SYMBOLOGY, f.id);
        HWND panel = panel_with(editor, f.control);
        HWND control = panel ? GetDlgItem(panel, f.control) : nullptr;
        wchar_t cls[16] = {};
        if (control)
            GetClassNameW(control, cls, 16);
        bool filled = control && (std::wstring(cls) != L"ComboBox" || SendMessageW(control, CB_GETCOUNT, 0, 0) > 0);
        seen.panels += filled;
        if (f.id == 17)
            seen.x_disabled_maxicode = !IsWindowEnabled(GetDlgItem(editor, IDC_BFE_X));
        seen.painted &= shoot(editor, (lang + L"-barfont-edit-" + f.name).c_str());
    }
    SetDlgItemTextW(editor, IDC_BFE_NAME, (L"mrl QR " + lang).c_str());
    PostMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(editor); ++i)
        Sleep(50);
    seen.fonts_after = static_cast<LONG>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    seen.painted &= shoot(sheet, (lang + L"-barfont-list-added").c_str());
    return seen;
}

// The stored fonts named "mrl QR ...": their symbology and QR mask by name;
// removed from the store when remove is set.
std::map<std::string, std::pair<LONG, LONG>> test_fonts(HANDLE printer, const std::wstring &printer_name,
                                                        bool remove) {
    std::map<std::string, std::pair<LONG, LONG>> found;
    prtfile::UseDriverDirectoryOf(printer);
    _MODEL model(printer);
    prtreg store;
    store.init(printer, printer_name.c_str());
    barfontlist list;
    list.Load(store, &model);
    for (barfontnode *n = list.get_first(); n;) {
        barfontnode *next = n->get_next();
        if (std::strncmp(n->font.get_name(), "mrl QR ", 7) == 0) {
            found[n->font.get_name()] = {n->font.get_symbology(), n->font.get16(barfont::k2DOpt2)};
            if (remove)
                delete n;
        }
        n = next;
    }
    if (remove)
        list.Save(store, &model);
    prtfile::SetDriverDirectory(nullptr);
    return found;
}

TEST(BarFontPages, EveryPanelInBothLanguagesAndNewFontsReachTheStore) {
    for (const wchar_t *lang : {L"eng", L"ger"}) {
        // The model that draws a symbology of every options family.
        TestPrinter printer(std::wstring(L"mrl barfonts ") + lang, L"Kestrel KT41-300dpi");
        ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
        char code[4] = {static_cast<char>(lang[0]), static_cast<char>(lang[1]), static_cast<char>(lang[2]), 0};
        ASSERT_EQ(SetPrinterDataW(printer.handle(), const_cast<LPWSTR>(L"Language"), REG_BINARY,
                                  reinterpret_cast<BYTE *>(code), 4), ERROR_SUCCESS);
        test_fonts(printer.handle(), printer.name(), true); // left by an earlier run
        InstalledDriver driver(printer.handle());
        ASSERT_TRUE(driver.device);
        DEVICEPROPERTYHEADER header = {sizeof header, 0, printer.handle(), printer.wname()};
        Seen seen;
        sheet::Script script([&](HWND sheet) { seen = drive(sheet, lang); }, PSBTN_OK);
        DWORD result = 0;
        CommonPropertySheetUIW(nullptr, as_propsheetui(driver.device), reinterpret_cast<LPARAM>(&header), &result);
        script.done();
        ASSERT_TRUE(seen.list_ran) << "the bar font page did not run";
        EXPECT_EQ(seen.panels, 9) << "options panels that showed their own controls";
        EXPECT_TRUE(seen.x_disabled_maxicode);
        EXPECT_EQ(seen.new_name, L"New Bar Font");
        EXPECT_EQ(seen.fonts_after, seen.fonts_before + 1);
        EXPECT_TRUE(seen.painted);
        std::string name = "mrl QR " + std::string(code);
        auto stored = test_fonts(printer.handle(), printer.name(), true);
        ASSERT_EQ(stored.count(name), 1u);
        EXPECT_EQ(stored[name].first, kSymQrCode);
        EXPECT_EQ(stored[name].second, 9); // the automatic mask of a new QR Code font
    }
}

} // namespace
