// The paper page, the stock editor, the advanced media dialog and the option
// page in the sheets Wine's DocumentPropertiesW shows: a helper thread types,
// clicks and answers the dialogs (the real file dialogs and message boxes
// included) while the test reads back the device mode, the stored stock list
// and the files.
#include "sheet_driver.h"
#include "temp_files.h"
#include "test_printer.h"

#include "devmode/layout.h"
#include "devmode/sdm.h"
#include "resource_ids.h"
#include "store/prtform.h"
#include "store/prtreg.h"

#include <gtest/gtest.h>

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

// A 32-bit top-down DIB of w x h pixels.
BITMAPINFO top_down(LONG w, LONG h) {
    BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    return bi;
}

// Which of the orientation pictures the preview shows: the one whose pixels
// agree most with the screen (a picture's background takes the page's colour).
int shown_picture(HWND control) {
    const std::wstring module = built_module_path(L"resources\\mrl32eng.dll");
    HMODULE lang = LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    RECT r;
    GetClientRect(control, &r);
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    const int w = r.right, h = r.bottom;
    BITMAPINFO bi = top_down(w, h);
    std::vector<DWORD> screen(size_t(w) * h);
    HDC sdc = GetDC(nullptr), mem = CreateCompatibleDC(sdc);
    HBITMAP shot = CreateCompatibleBitmap(sdc, w, h);
    HGDIOBJ old = SelectObject(mem, shot);
    BitBlt(mem, 0, 0, w, h, sdc, origin.x, origin.y, SRCCOPY);
    SelectObject(mem, old);
    GetDIBits(mem, shot, 0, h, screen.data(), &bi, DIB_RGB_COLORS);
    int best = -1;
    long best_score = -1;
    for (int id = IDB_ORIENTATION; id < IDB_ORIENTATION + 16; ++id) {
        auto bm = static_cast<HBITMAP>(LoadImageW(lang, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        BITMAP info = {};
        GetObjectW(bm, sizeof info, &info);
        BITMAPINFO pi = top_down(info.bmWidth, info.bmHeight);
        std::vector<DWORD> px(size_t(info.bmWidth) * info.bmHeight);
        GetDIBits(mem, bm, 0, info.bmHeight, px.data(), &pi, DIB_RGB_COLORS);
        const int x0 = (w - info.bmWidth) / 2, y0 = (h - info.bmHeight) / 2;
        long score = 0;
        for (int y = 0; y < info.bmHeight; ++y)
            for (int x = 0; x < info.bmWidth; ++x)
                if (x0 + x >= 0 && x0 + x < w && y0 + y >= 0 && y0 + y < h)
                    score += (px[size_t(y) * info.bmWidth + x] & 0xFFFFFF) == (screen[size_t(y0 + y) * w + x0 + x] & 0xFFFFFF);
        if (score > best_score)
            best_score = score, best = id;
        DeleteObject(bm);
    }
    DeleteObject(shot);
    DeleteDC(mem);
    ReleaseDC(nullptr, sdc);
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
LONG machine_form_count() {
    DWORD v = 0, n = sizeof v;
    return RegGetValueA(HKEY_LOCAL_MACHINE, GLOBAL_KEY, "Form Count", RRF_RT_ANY, nullptr, &v, &n) ? 0 : LONG(v);
}

// Document settings: copies clamped, the picture of orientation 2 with mirror
// and negative, the option switch and value, and the list buttons off.
TEST(PaperPage, EditsCopiesOrientationAndImageInADocument) {
    TestPrinter printer(L"mrl paper doc", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
    sheet::Document doc{printer.handle(), printer.wname()};
    ASSERT_TRUE(doc.fetch());
    bool list_buttons_off = false, painted = false;
    std::wstring copies;
    int picture = 0;
    sheet::Script script(
        [&](HWND sheet) {
            HWND page = sheet::show_page(sheet, IDC_SETUP_STOCK);
            list_buttons_off = page && !IsWindowEnabled(GetDlgItem(page, IDC_SETUP_NEW)) &&
                               !IsWindowEnabled(GetDlgItem(page, IDC_SETUP_DELETE)) &&
                               !IsWindowEnabled(GetDlgItem(page, IDC_SETUP_IMPORT)) &&
                               !IsWindowEnabled(GetDlgItem(page, IDC_SETUP_EXPORT)) &&
                               IsWindowEnabled(GetDlgItem(page, IDC_SETUP_EDIT));
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
// model; a refused name resets; Export, Delete and Import round-trip it; a
// damaged file is refused with its reason; OK stores the list, and another
// printer sees the new stock.
TEST(PaperPage, StockListInTheDefaultSettings) {
    TestPrinter printer(L"mrl paper defaults", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
    sheet::Document doc{printer.handle(), printer.wname()};
    ASSERT_TRUE(doc.fetch());
    const LONG stored_before = machine_form_count();
    const std::wstring exported = temp_path("paper export.sfm"), damaged = temp_path("damaged.sfm");
    ASSERT_TRUE(write_file(damaged, std::string("SFM1\xC8\0\0\0", 8) + std::string(200, 'x')));

    struct {
        std::wstring clamped, reserved_message, reset_name, new_item, damaged_message, imported_item;
        LONG count = 0, after_delete = 0, after_damaged = 0, after_import = 0;
        bool delete_on = false, painted = false;
    } seen;
    sheet::Script script(
        [&](HWND sheet) {
            HWND page = sheet::show_page(sheet, IDC_SETUP_STOCK);
            seen.count = combo_count(page);
            // A name the printer keeps for itself is refused and reset.
            press(page, IDC_SETUP_NEW);
            HWND stock = sheet::wait_window(L"Label Stock");
            type(stock, IDC_STOCK_NAME, L"user", false);
            press(stock, IDOK);
            seen.reserved_message = sheet::answer_message(L"Label Stock Name", IDOK);
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
            sheet::choose(page, IDC_SETUP_STOCK, 0, 0);
            for (LONG i = 0; i < seen.after_import; ++i) {
                sheet::choose(page, IDC_SETUP_STOCK, 0, i);
                if (combo_text(page).rfind(L"Wide test stock", 0) == 0) {
                    seen.imported_item = combo_text(page);
                    break;
                }
            }
        },
        PSBTN_OK);
    Bytes out = doc.prompt(DM_UPDATE);
    ASSERT_TRUE(script.done()) << "no sheet";
    EXPECT_TRUE(seen.painted);
    EXPECT_NE(seen.reserved_message.find(L"\"user\" is reserved"), std::wstring::npos) << seen.reserved_message;
    EXPECT_EQ(seen.reset_name, L"New Stock");
    EXPECT_EQ(seen.clamped, L"4.49 in") << "118 mm paper less two 2 mm gaps";
    EXPECT_EQ(seen.new_item, L"Wide test stock (4.49 in x 6.00 in)");
    EXPECT_TRUE(seen.delete_on);
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
    LONG n = DeviceCapabilitiesW(other.wname(), L"LPT1:", DC_PAPERNAMES, nullptr, nullptr);
    ASSERT_GT(n, 0);
    std::vector<wchar_t> names(size_t(n) * 64);
    DeviceCapabilitiesW(other.wname(), L"LPT1:", DC_PAPERNAMES, names.data(), nullptr);
    bool seen_elsewhere = false;
    for (LONG i = 0; i < n; ++i)
        seen_elsewhere |= std::wstring(&names[size_t(i) * 64]) == L"Wide test stock";
    EXPECT_TRUE(seen_elsewhere);

    // The stock leaves the machine-wide list again.
    DWORD count = DWORD(stored_before);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, GLOBAL_KEY, "Form Count", REG_BINARY, &count, 4);
}

// Cancel of the advanced dialog undoes everything it did to the device mode,
// a loaded settings file included; a file of another family is refused.
TEST(AdvancedDialog, CancelRestoresTheDeviceModeByteForByte) {
    TestPrinter printer(L"mrl paper advanced", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
    sheet::Document doc{printer.handle(), printer.wname()};
    ASSERT_TRUE(doc.fetch());
    Bytes settings = doc.in;
    as_dm(settings)->dmCopies = 7;
    cfg_of(settings)->set_user("from file", 0);
    const std::wstring mine = temp_path("mine.sdm"), foreign = temp_path("foreign.sdm");
    ASSERT_TRUE(write_file(mine, sdm::Save(as_dm(settings))));
    std::memcpy(prtconfig::get_tail(as_dm(settings))->prefix, "xyz", 3);
    ASSERT_TRUE(write_file(foreign, sdm::Save(as_dm(settings))));

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
            press(dlg, IDC_ADV_LOAD);
            choose_file(L"Open Device Settings", foreign);
            refused = sheet::answer_message(L"Device Settings", IDOK);
            press(dlg, IDC_ADV_LOAD);
            choose_file(L"Open Device Settings", mine);
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
    EXPECT_EQ(loaded, L"from file");
    EXPECT_EQ(out, doc.in) << "Cancel must restore the device mode byte for byte";
}

} // namespace
