// The regional page: the language of the user interface and the measurement
// system, stored in the printer's data. Units change on every page at once;
// a language takes effect when the next sheet loads its modules.
#pragma once

#include "../pageframe/prtpage.h"

class ppRegional : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppRegional>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Apply() override;
    bool CheckChanged() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;

private:
    bool languageDirty = false;
    bool unitsChanging = false;
    LONG savedUnits = 0;
    char savedLanguage[4] = {};
};
