// The paper page, the stock editor, the advanced media dialog and the option
// page in the sheets Wine's DocumentPropertiesW shows: a helper thread types,
// clicks and answers the dialogs (the real file dialogs and message boxes
// included) while the test reads back the device mode, the stored stock list
// and the files.
#include "installed_driver.h"
#include "sheet_driver.h"
#include "stored_values.h"
#include "temp_files.h"
#include "test_printer.h"

#include "devmode/layout.h"
#include "devmode/sdm.h"
#include "resource_ids.h"
#include "store/prtreg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
using sheet::click;
using sheet::press;
using sheet::text_of;
using sheet::type;

DEVMODEW *as_dm(Bytes &b) { return reinterpret_cast<DEVMODEW *>(b.data()); }
prtconfig *cfg_of(Bytes &b) { return prtconfig::get_cfg(as_dm(b)); }

// Which orientation picture the preview shows: the one that agrees with the
// screen in most pixels (the page's colour fills a picture's background).
// Both are 24-bit rows, bottom row first, padded to four bytes.
int shown_picture(HWND control) {
    HMODULE lang = LoadLibraryExW(built_module_path(L"resources\\mrl32eng.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    RECT r;
    GetClientRect(control, &r);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT *>(&r), 2);
    const std::vector<BYTE> screen = capture(r);
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    HDC dc = GetDC(nullptr);
    int best = -1;
    for (long id = IDB_ORIENTATION, best_score = -1; id < IDB_ORIENTATION + 16; ++id) {
        auto bm = static_cast<HBITMAP>(LoadImageW(lang, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        BITMAP b = {};
        GetObjectW(bm, sizeof b, &b);
        BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), b.bmWidth, b.bmHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
        std::vector<BYTE> px(size_t((b.bmWidth * 3 + 3) & ~3) * b.bmHeight);
        GetDIBits(dc, bm, 0, b.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
        DeleteObject(bm);
        const LONG x0 = (w - b.bmWidth) / 2, y0 = h - b.bmHeight - (h - b.bmHeight) / 2; // centred
        long score = 0;
        for (LONG y = 0; x0 >= 0 && y0 >= 0 && y < b.bmHeight; ++y)
            for (LONG x = 0; x < b.bmWidth; ++x)
                score += !std::memcmp(&px[y * ((b.bmWidth * 3 + 3) & ~3) + 3 * x], &screen[(y0 + y) * ((w * 3 + 3) & ~3) + 3 * (x0 + x)], 3);
        if (score > best_score)
            best_score = score, best = int(id);
    }
    ReleaseDC(nullptr, dc);
    FreeLibrary(lang);
    return best;
}

// Answers the real file dialog with a path.
bool choose_file(const wchar_t *title, const std::wstring &path) {
    HWND dlg = sheet::wait_window(title);
    if (!dlg)
        return false;
    HWND name = GetDlgItem(dlg, 0x47C); // the name box: a combo box (cmb13) or an edit (edt1)
    if (!name)
        name = GetDlgItem(dlg, 0x480);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    return sheet::wait_closed(dlg);
}

LONG combo_count(HWND page) { return LONG(SendMessageW(GetDlgItem(page, IDC_SETUP_STOCK), CB_GETCOUNT, 0, 0)); }
std::wstring combo_text(HWND page) { return text_of(page, IDC_SETUP_STOCK); }

// The machine-wide stock count ("Form Count"; none stored counts 0).
LONG machine_form_count() { return std::max(0L, as_long(machine_value(GLOBAL_KEY, "Form Count"))); }

// While it lives, the installed model module's string 9990 reads "Y" (sheets
// open on their last page); the module is put back afterwards.
struct LastPageModule {
    explicit LastPageModule(HANDLE printer) : path(driver_config_file(printer)) {
        path = path.substr(0, path.find_last_of(L'\\') + 1) + L"zpl32eng.dll";
        WORD block[17] = {}; // string table block 625 (ids 9984 to 9999): 9990 is its seventh string
        block[6] = 1, block[7] = L'Y';
        HANDLE update = CopyFileW(path.c_str(), (path + L".saved").c_str(), FALSE) ? BeginUpdateResourceW(path.c_str(), FALSE) : nullptr;
        ok = update && UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(625), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                       block, sizeof block) && EndUpdateResourceW(update, FALSE);
    }
    ~LastPageModule() { MoveFileExW((path + L".saved").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING); }
    std::wstring path;
    bool ok = false;
};

class PaperSheet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
        ASSERT_TRUE(doc.fetch());
    }
    TestPrinter printer{L"mrl paper", L"Kestrel KD42-203dpi"};
    sheet::Document doc{printer.handle(), printer.wname()};
};

// Document settings: the sheet starts on its last page when the model module
// asks for it; copies clamped, the picture of orientation 2 with mirror and
// negative, the option switch and value, and the list buttons off.
TEST_F(PaperSheet, EditsCopiesOrientationAndImageInADocument) {
    LastPageModule last_page(printer.handle());
    ASSERT_TRUE(last_page.ok) << "model module not changed";
    bool on_last_page = false, list_buttons_off = false, painted = false;
    std::wstring copies;
    int picture = 0;
    sheet::Script script(
        [&](HWND sheet) {
            HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
            const LRESULT last = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0) - 1;
            for (int i = 0; i < 40 && !on_last_page; ++i, Sleep(50))
                on_last_page = last > 0 && SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == last;
            HWND page = sheet::show_page(sheet, IDC_SETUP_STOCK);
            list_buttons_off = page && IsWindowEnabled(GetDlgItem(page, IDC_SETUP_EDIT));
            for (int id : {IDC_SETUP_NEW, IDC_SETUP_DELETE, IDC_SETUP_IMPORT, IDC_SETUP_EXPORT})
                list_buttons_off &= !IsWindowEnabled(GetDlgItem(page, id));
            type(page, IDC_SETUP_COPIES, L"5000");
            copies = text_of(page, IDC_SETUP_COPIES);
            click(page, IDC_SETUP_ORIENT0 + 2);
            click(page, IDC_SETUP_MIRROR);
            click(page, IDC_SETUP_INVERSE);
            painted = sheet::shoot(sheet, L"paper-document");
            picture = shown_picture(GetDlgItem(page, IDC_SETUP_PREVIEW));
            HWND options = sheet::show_page(sheet, IDC_OPT_SWITCH);
            click(options, IDC_OPT_SWITCH);
            type(options, IDC_OPT_VALUE, L"0");
        },
        PSBTN_OK);
    Bytes out = doc.prompt();
    ASSERT_TRUE(script.done()) << "no sheet";
    EXPECT_TRUE(on_last_page);
    EXPECT_TRUE(painted);
    EXPECT_TRUE(list_buttons_off) << "a document's settings do not edit the stock list";
    EXPECT_EQ(copies, L"999");
    EXPECT_EQ(picture, 222);
    EXPECT_EQ(as_dm(out)->dmCopies, 999);
    EXPECT_EQ(as_dm(out)->dmOrientation, DMORIENT_PORTRAIT);
    ASSERT_TRUE(cfg_of(out));
    EXPECT_EQ(cfg_of(out)->image_flags, prtconfig::kRotate180 | prtconfig::kMirror | prtconfig::kNegative);
    EXPECT_EQ(cfg_of(out)->option_flags & prtconfig::kOptionOn, prtconfig::kOptionOn);
    EXPECT_EQ(cfg_of(out)->option_value, 1);
}

// The printer's default settings: New, edit, OK appends a stock clamped to the
// model; reserved, too long and taken names are refused and change nothing;
// Export, Delete and Import round-trip the stock; a damaged file is refused
// with its reason; OK stores the list, and another printer sees the new stock.
TEST_F(PaperSheet, StockListInTheDefaultSettings) {
    const LONG stored_before = machine_form_count();
    const std::wstring exported = temp_path("paper export.sfm"), damaged = temp_path("damaged.sfm");
    ASSERT_TRUE(write_file(damaged, std::string("SFM1\xC8\0\0\0", 8) + std::string(200, 'x')));

    struct {
        std::wstring clamped, refusals, reset_name, new_item, damaged_message, imported_item;
        LONG count = 0, after_refusals = 0, after_delete = 0, after_damaged = 0, after_import = 0;
        bool delete_on = false, painted = false;
    } seen;
    sheet::Script script(
        [&](HWND sheet) {
            HWND page = sheet::show_page(sheet, IDC_SETUP_STOCK);
            seen.count = combo_count(page);
            press(page, IDC_SETUP_NEW);
            HWND stock = sheet::wait_window(L"Label Stock");
            // A name the printer keeps for itself is refused and reset.
            type(stock, IDC_STOCK_NAME, L"user", false);
            press(stock, IDOK);
            seen.refusals = sheet::answer_message(L"Label Stock Name", IDOK);
            seen.reset_name = text_of(stock, IDC_STOCK_NAME);
            // Wider than the model takes: the width is clamped.
            type(stock, IDC_STOCK_NAME, L"Wide test stock", false);
            type(stock, IDC_STOCK_LEFT_GAP, L"2 mm");
            type(stock, IDC_STOCK_RIGHT_GAP, L"2 mm");
            type(stock, IDC_STOCK_WIDTH, L"200 mm");
            seen.clamped = text_of(stock, IDC_STOCK_WIDTH);
            sheet::shoot(stock, L"paper-stock-editor");
            press(stock, IDOK);
            sheet::wait_closed(stock);
            seen.new_item = combo_text(page);
            seen.delete_on = IsWindowEnabled(GetDlgItem(page, IDC_SETUP_DELETE));
            seen.painted = sheet::shoot(sheet, L"paper-defaults");

            // A name too long or taken, then Cancel: the list stays as it was.
            press(page, IDC_SETUP_NEW);
            stock = sheet::wait_window(L"Label Stock");
            for (const std::wstring &name : {std::wstring(64, L'L'), std::wstring(L"Wide test stock")}) {
                type(stock, IDC_STOCK_NAME, name.c_str(), false);
                press(stock, IDOK);
                seen.refusals += L"|" + sheet::answer_message(L"Label Stock Name", IDOK);
            }
            press(stock, IDCANCEL);
            sheet::wait_closed(stock);
            seen.after_refusals = combo_count(page);

            press(page, IDC_SETUP_EXPORT);
            choose_file(L"Save Form List", exported);
            press(page, IDC_SETUP_DELETE);
            sheet::answer_message(seen.new_item.c_str(), IDYES);
            seen.after_delete = combo_count(page);
            press(page, IDC_SETUP_IMPORT);
            choose_file(L"Open Form List", damaged);
            seen.damaged_message = sheet::answer_message(L"Form List", IDOK);
            seen.after_damaged = combo_count(page);
            press(page, IDC_SETUP_IMPORT);
            choose_file(L"Open Form List", exported);
            seen.after_import = combo_count(page);
            for (LONG i = 0; i < seen.after_import && seen.imported_item.empty(); ++i) {
                sheet::choose(page, IDC_SETUP_STOCK, 0, i);
                if (combo_text(page).rfind(L"Wide test stock", 0) == 0)
                    seen.imported_item = combo_text(page);
            }
        },
        PSBTN_OK);
    Bytes out = doc.prompt(DM_UPDATE);
    ASSERT_TRUE(script.done()) << "no sheet";
    EXPECT_TRUE(seen.painted);
    for (const wchar_t *why : {L"\"user\" is reserved", L"at most 63 characters", L"\"Wide test stock\" is already in the list"})
        EXPECT_NE(seen.refusals.find(why), std::wstring::npos) << seen.refusals;
    EXPECT_EQ(seen.reset_name, L"New Stock");
    EXPECT_EQ(seen.clamped, L"4.49 in") << "118 mm paper less two 2 mm gaps";
    EXPECT_EQ(seen.new_item, L"Wide test stock (4.49 in x 6.00 in)");
    EXPECT_TRUE(seen.delete_on);
    EXPECT_EQ(seen.after_refusals, seen.count + 1);
    EXPECT_EQ(seen.after_delete, seen.count);
    EXPECT_NE(seen.damaged_message.find(L"record size outside 60 to 92 bytes"), std::wstring::npos)
        << seen.damaged_message;
    EXPECT_EQ(seen.after_damaged, seen.count) << "a refused file changes nothing";
    EXPECT_EQ(seen.after_import, seen.count + 1);
    EXPECT_EQ(seen.imported_item, seen.new_item);

    // What OK stored: the device mode names the stock, the list holds it.
    EXPECT_EQ(std::wstring(as_dm(out)->dmFormName), L"Wide test stock");
    EXPECT_EQ(machine_form_count(), stored_before + 1);
    TestPrinter other(L"mrl paper other", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(other.ok());
    const LONG n = DeviceCapabilitiesW(other.wname(), L"LPT1:", DC_PAPERNAMES, nullptr, nullptr);
    ASSERT_GT(n, 0);
    std::vector<wchar_t> names(size_t(n) * 64);
    DeviceCapabilitiesW(other.wname(), L"LPT1:", DC_PAPERNAMES, names.data(), nullptr);
    bool seen_elsewhere = false;
    for (size_t i = 0; i < names.size(); i += 64)
        seen_elsewhere |= std::wstring(&names[i]) == L"Wide test stock";
    EXPECT_TRUE(seen_elsewhere);

    // The stock leaves the machine-wide list again.
    DWORD count = DWORD(stored_before);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, GLOBAL_KEY, "Form Count", REG_BINARY, &count, 4);
}

// Cancel of the advanced dialog undoes everything it did to the device mode,
// a loaded settings file included; files of another family or block version
// are refused.
TEST_F(PaperSheet, AdvancedDialogCancelRestoresTheDeviceModeByteForByte) {
    Bytes settings = doc.in;
    as_dm(settings)->dmCopies = 7;
    prtconfig *cfg = cfg_of(settings);
    endconfig *tail = prtconfig::get_tail(as_dm(settings));
    cfg->set_user("from file", 0);
    const std::wstring mine = temp_path("mine.sdm"), version = temp_path("version.sdm"), family = temp_path("family.sdm");
    ASSERT_TRUE(write_file(mine, sdm::Save(as_dm(settings))));
    cfg->version += 1;
    ASSERT_TRUE(write_file(version, sdm::Save(as_dm(settings))));
    cfg->version -= 1;
    std::memcpy(tail->prefix, "xyz", 3);
    ASSERT_TRUE(write_file(family, sdm::Save(as_dm(settings))));

    std::wstring refused, loaded;
    bool painted = false;
    sheet::Script script(
        [&](HWND sheet) {
            HWND page = sheet::show_page(sheet, IDC_SETUP_STOCK);
            press(page, IDC_SETUP_ADVANCED);
            HWND dlg = sheet::wait_window(L"Advanced Media Settings");
            type(dlg, IDC_ADV_TEXT, L"typed", false);
            click(dlg, IDC_ADV_DISTANCE_ON);
            type(dlg, IDC_ADV_DISTANCE, L"1 in");
            for (const std::wstring *file : {&family, &version, &mine}) {
                press(dlg, IDC_ADV_LOAD);
                choose_file(L"Open Device Settings", *file);
                if (file != &mine)
                    refused += L"|" + sheet::answer_message(L"Device Settings", IDOK);
            }
            loaded = text_of(dlg, IDC_ADV_TEXT);
            painted = sheet::shoot(dlg, L"paper-advanced");
            press(dlg, IDCANCEL);
            sheet::wait_closed(dlg);
        },
        PSBTN_OK);
    Bytes out = doc.prompt();
    ASSERT_TRUE(script.done()) << "no sheet";
    EXPECT_TRUE(painted);
    EXPECT_NE(refused.find(L"another printer family"), std::wstring::npos) << refused;
    EXPECT_NE(refused.find(L"another driver version"), std::wstring::npos) << refused;
    EXPECT_EQ(loaded, L"from file");
    EXPECT_EQ(out, doc.in) << "Cancel must restore the device mode byte for byte";
}

} // namespace
