// The graphics page in Wine's document sheet: its preview follows every
// dither method and the colour choice, and the colour buttons follow the
// head rules. One screenshot per method goes to BUILD/screenshots/.
#include "sheet_ui.h"
#include "test_printer.h"

#include "resource_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The pixels of a window as they are on the screen.
std::vector<BYTE> grab(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(100);
    RECT r = {};
    return window && GetWindowRect(window, &r) ? capture(r) : std::vector<BYTE>();
}

bool coloured(const std::vector<BYTE> &px) {
    for (size_t i = 0; i + 2 < px.size(); i += 3)
        if (px[i] != px[i + 1] || px[i + 1] != px[i + 2])
            return true;
    return false;
}

// Clicks a page button that opens a modal dialog, runs look on the dialog
// (found by one of its controls) and cancels it.
template <class Look> void in_dialog(HWND page, int button, int control, Look look) {
    PostMessageW(GetDlgItem(page, button), BM_CLICK, 0, 0);
    HWND found = wait_for_dialog(control);
    if (!found)
        return;
    look(found);
    PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
    sheet::wait_closed(found);
}

std::wstring selected_text(HWND combo) {
    wchar_t text[128] = {};
    LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel >= 0 && SendMessageW(combo, CB_GETLBTEXTLEN, sel, 0) < 128)
        SendMessageW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
    return text;
}

struct Seen {
    std::wstring sequence;     // the algebraic setup's selection
    std::wstring halftone;     // the halftone stand-in's brightness

    bool ran = false;
    std::set<std::vector<BYTE>> previews; // one per method
    bool mono_buttons = true, colour_registration = false, colour_spot = false, colour_preview = false;
    bool shots = true;
    int colour_dialogs = 0; // the spot and registration dialogs the buttons opened
};

// Opens the document sheet (DM_UPDATE in extra: the default settings), walks
// the graphics page and cancels.
Seen walk(TestPrinter &printer, DWORD extra, bool shots) {
    Seen seen;
    sheet::Document doc{printer.handle(), printer.wname()};
    if (!doc.fetch())
        return seen;
    sheet::Script script([&](HWND found) {
        HWND page = sheet::show_page(found, IDC_GFX_PREVIEW);
        HWND preview = GetDlgItem(page, IDC_GFX_PREVIEW);
        seen.ran = preview && GetDlgItem(page, IDC_GFX_METHOD0);
        HWND colour = GetDlgItem(page, IDC_GFX_COLOUR);
        auto choose_colour = [&](int index) {
            SendMessageW(colour, CB_SETCURSEL, index, 0);
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_GFX_COLOUR, CBN_SELCHANGE), reinterpret_cast<LPARAM>(colour));
        };
        choose_colour(0);
        seen.mono_buttons = IsWindowEnabled(GetDlgItem(page, IDC_GFX_REGISTRATION)) ||
                            IsWindowEnabled(GetDlgItem(page, IDC_GFX_SPOT));
        const wchar_t *names[5] = {L"graphics-threshold", L"graphics-clustered", L"graphics-bayer",
                                   L"graphics-algebraic", L"graphics-diffusion"};
        for (int i = 0; i < 5 && shots; ++i) {
            SendMessageW(GetDlgItem(page, IDC_GFX_METHOD0 + i), BM_CLICK, 0, 0);
            seen.previews.insert(grab(preview));
            seen.shots = shoot(found, names[i]) && seen.shots;
        }
        if (shots) {
            SendMessageW(GetDlgItem(page, IDC_GFX_METHOD0 + 3), BM_CLICK, 0, 0);
            in_dialog(page, IDC_GFX_SETUP, IDC_DITHER_CHOICE,
                      [&](HWND dlg) { seen.sequence = selected_text(GetDlgItem(dlg, IDC_DITHER_CHOICE)); });
            SendMessageW(GetDlgItem(page, IDC_GFX_METHOD0 + 1), BM_CLICK, 0, 0);
            in_dialog(page, IDC_GFX_ADJUST, 101, [&](HWND dlg) {
                wchar_t text[32] = {};
                GetDlgItemTextW(dlg, 101, text, 32);
                seen.halftone = text;
                shoot(dlg, L"graphics-halftone-stand-in");
            });
        }
        choose_colour(1);
        seen.colour_registration = IsWindowEnabled(GetDlgItem(page, IDC_GFX_REGISTRATION));
        seen.colour_spot = IsWindowEnabled(GetDlgItem(page, IDC_GFX_SPOT));
        seen.colour_preview = coloured(grab(preview));
        if (shots) {
            shoot(found, L"graphics-colour");
            in_dialog(page, IDC_GFX_SPOT, IDC_SPOT_MODE, [&](HWND) { ++seen.colour_dialogs; });
            in_dialog(page, IDC_GFX_REGISTRATION, IDC_REG_ALIGN_ALL, [&](HWND) { ++seen.colour_dialogs; });
        }
    }, PSBTN_CANCEL);
    doc.prompt(extra);
    script.done();
    return seen;
}

TEST(GraphicsPage, PreviewFollowsEveryMethodAndColourButtonsFollowTheHeads) {
    // Two heads in spot colour: registration and spot setup, in default settings only.
    TestPrinter spot(L"mrl graphics", L"Osprey OX4S-305dpi Spot");
    ASSERT_TRUE(spot.ok()) << "printer error " << spot.error();
    Seen defaults = walk(spot, DM_UPDATE, true);
    ASSERT_TRUE(defaults.ran) << "the graphics page did not run";
    EXPECT_TRUE(defaults.shots);
    EXPECT_EQ(defaults.previews.size(), 5u) << "every method must change the preview";
    EXPECT_FALSE(defaults.mono_buttons);
    EXPECT_TRUE(defaults.colour_registration);
    EXPECT_TRUE(defaults.colour_spot);
    EXPECT_TRUE(defaults.colour_preview);
    EXPECT_EQ(defaults.colour_dialogs, 2);
    EXPECT_EQ(defaults.sequence, L"A = 872, B = 1278, C = 1873"); // index 18 of the reset settings
    EXPECT_EQ(defaults.halftone, L"0") << "the clustered-dot method's colour adjustment opens htui.dll";

    Seen document = walk(spot, 0, false);
    ASSERT_TRUE(document.ran);
    EXPECT_FALSE(document.colour_registration);
    EXPECT_FALSE(document.colour_spot);
}

} // namespace
