// The printer's own configuration, read and changed over a serial line (the
// debug page opens it for printers on a COM port): the firmware text and seven
// settings come from the printer's answers; OK sends them back in one job.
#pragma once

#include "../pageframe/prtpage.h"
#include "../store/printerconfig.h"

class pp_cfg : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<pp_cfg>(hwnd, msg, wParam, lParam);
    }
    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    void Apply() override;

private:
    void Fill();

    PrinterSettings settings;
    bool answered = false; // the printer's settings came: only then does OK send them
};
