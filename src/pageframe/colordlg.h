// The colour chooser with the sixteen custom colours and the last colour
// chosen remembered machine-wide: what the user mixed on one printer's colour
// page is offered again on every other printer of the driver.
#pragma once

#include <windows.h>

#include <commdlg.h>

class prtreg;

class ColorDlg {
public:
    static constexpr int kCustomColors = 16;

    // store: where the colours are remembered (null: nowhere). Custom colours
    // start white, the selected colour black.
    explicit ColorDlg(prtreg *store);
    ColorDlg(const ColorDlg &) = delete;
    ColorDlg &operator=(const ColorDlg &) = delete;

    // Offers the remembered colours; true when the user chose one, which is
    // then selected and remembered with the custom colours. A cancel changes
    // nothing.
    bool ChooseColorW(HWND owner);
    COLORREF GetSelectedColor() const { return selected_; }
    // Selects and remembers the colour at once.
    void SetSelectedColor(COLORREF color);
    const COLORREF *GetCustomColors() const { return custom_; }

private:
    void load();
    void save_selected();
    void save_custom();

    CHOOSECOLORW cc_;
    COLORREF custom_[kCustomColors];
    COLORREF selected_;
    prtreg *store_;
};
