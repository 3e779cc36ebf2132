// The graphics page: resolution, monochrome or colour output, the dither
// method and a live preview of the sample picture as the printer will print
// it; and the two dialogs holding the fine settings of the driver's methods.
#pragma once

#include "../devmode/views.h"
#include "../pageframe/prtpage.h"

class ppGraphics : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppGraphics>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    bool PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // 1 when the settings changed, 2 when the dialog was left, 0 when it could not run.
    INT_PTR ColorAdjustment();
    INT_PTR DitherSetup();
    void BuildPreview();

    cfggfx gfx;
    bool previewDirty = false;
    bool methodDirty = false;
    bool colourDirty = false;
};

// Brightness, contrast, channel offsets, mirror, flip and negative.
class ppDitherColor : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppDitherColor>(hwnd, msg, wParam, lParam);
    }
    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
};

// The matrix size, sequence or kernel of the chosen method.
class ppDitherSetup : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppDitherSetup>(hwnd, msg, wParam, lParam);
    }
    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
};
