// The debug page: printer utilities on the UI object's printer stream (line
// feed, form feed, test page, send a file, logging options, the printer's
// own configuration over a serial line).
#pragma once

#include "../pageframe/prtpage.h"

class pp_debug : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<pp_debug>(hwnd, msg, wParam, lParam);
    }
    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
};
