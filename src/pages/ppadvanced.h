// The advanced media dialog (opened from the paper page): the four user
// strings, the label distance, the stock list's unprintable width, and
// device-settings files; and the option page's batch switch and its value.
#pragma once

#include "../pageframe/prtpage.h"

// What the paper page and the advanced dialog exchange (ui->exchange).
struct AdvancedExchange {
    bool widthChanged;      // the dialog edited the unprintable width
    bool refreshAll;        // a settings file was loaded: every page refreshes
    LONG unprintableWidth;  // µm, in and out
};

class ppAdvanced : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppAdvanced>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;

private:
    void LoadSettings();
    void SaveSettings();
    LONG slot();
    // Tells the user why a file was refused or not written.
    void Refuse(long text, const WCHAR *file, const char *reason);

    bool userStringDirty = false;
    bool distanceFlagDirty = false;
    bool distanceDirty = false;
    bool widthDirty = false;
    bool filling = false; // Refresh is writing the boxes
    PDT *pdt = nullptr;
    AdvancedExchange *exchange = nullptr;
};

class pp_option : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<pp_option>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;

private:
    bool enableDirty = false;
};
