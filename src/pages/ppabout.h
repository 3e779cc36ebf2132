// The about page that ends every sheet, and the two dialogs it opens: the
// licence agreement (read-only text) and the version report, shown section
// by section and saved as one text file.
#pragma once

#include "../diagnostics/report.h"
#include "../foundation/ostring.h"
#include "../pageframe/prtpage.h"

class ppAbout : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppAbout>(hwnd, msg, wParam, lParam);
    }
    static LONG_PTR InsertPage(prtui *ui, void *parent, BYTE flags);

    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    bool PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    OString copyright;
    bool pictures = false;
};

class ppLicense : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppLicense>(hwnd, msg, wParam, lParam);
    }

    void Refresh(bool first) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;

private:
    bool loaded = false;
    // Off while the text is set or a change is undone.
    bool guarding = false;
    bool frozen = false;
    bool shownTop = false;
};

class ppVersion : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppVersion>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Refresh(bool first) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    void GenerateInfo(int section, bool redraw);

private:
    void Save();

    report::Cache cache;
    bool filled = false;
    bool flagged = false;
};
