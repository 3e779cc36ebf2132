#include "colordlg.h"

#include "../foundation/lebytes.h"
#include "../platform/seam.h"
#include "../store/prtreg.h"

#ifndef _WIN64
static_assert(sizeof(CHOOSECOLORW) == 36, "CHOOSECOLORW as NT 4 knows it");
#endif

namespace {
constexpr char kCustomValue[] = "ColorDlg Custom Colors";
constexpr char kSelectedValue[] = "ColorDlg Selected Color";
constexpr LONG kCustomBytes = ColorDlg::kCustomColors * 4;
} // namespace

ColorDlg::ColorDlg(prtreg *store) : cc_(), selected_(0), store_(store) {
    for (COLORREF &c : custom_)
        c = RGB(255, 255, 255);
}

void ColorDlg::load() {
    if (!store_)
        return;
    // A value that is missing leaves what the object holds.
    unsigned char bytes[kCustomBytes];
    if (store_->LoadRaw(kCustomValue, bytes, kCustomBytes, true))
        for (int i = 0; i < kCustomColors; ++i)
            custom_[i] = le::u32(bytes + 4 * i);
    if (store_->LoadRaw(kSelectedValue, bytes, 4, true))
        selected_ = le::u32(bytes);
}

void ColorDlg::save_selected() {
    if (!store_)
        return;
    unsigned char bytes[4];
    le::put32(bytes, selected_);
    store_->SaveRaw(kSelectedValue, bytes, 4, true);
}

void ColorDlg::save_custom() {
    if (!store_)
        return;
    unsigned char bytes[kCustomBytes];
    for (int i = 0; i < kCustomColors; ++i)
        le::put32(bytes + 4 * i, custom_[i]);
    store_->SaveRaw(kCustomValue, bytes, kCustomBytes, true);
}

bool ColorDlg::ChooseColorW(HWND owner) {
    load();
    cc_ = {};
    cc_.lStructSize = sizeof cc_;
    cc_.hwndOwner = owner;
    cc_.rgbResult = selected_;
    cc_.Flags = CC_RGBINIT | CC_ANYCOLOR;
    // The dialog edits the custom colours in place, even when cancelled: it
    // gets a copy, taken over only with a chosen colour.
    COLORREF offered[kCustomColors];
    for (int i = 0; i < kCustomColors; ++i)
        offered[i] = custom_[i];
    cc_.lpCustColors = offered;
    if (!platform::dialogs().ChooseColorW(&cc_))
        return false;
    for (int i = 0; i < kCustomColors; ++i)
        custom_[i] = offered[i];
    selected_ = cc_.rgbResult;
    save_custom();
    save_selected();
    return true;
}

void ColorDlg::SetSelectedColor(COLORREF color) {
    selected_ = color;
    save_selected();
}
