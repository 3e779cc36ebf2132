// The paper page: the label stock of the document, copies, orientation,
// mirror and negative printing with a picture of the result, and the stock
// list itself (new, edit, delete, import, export), which is stored only when
// the page edits the printer's default settings.
#pragma once

#include "../devmode/views.h"
#include "../pageframe/prtpage.h"
#include "../store/prtform.h"

class OString;

class ppPaper : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppPaper>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    void Apply() override;
    bool PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void GetPaperName(OString &name, const prtform *form);
    LONG max_copies() const;
    // Runs the stock editor on stock; true on OK, with the width clamped to the model.
    bool EditStock(prtform &stock, const prtform *original);
    // Validates the list and selects the stock of that name, or the user-defined one.
    void Reselect(const char *name);
    void Import();
    void Export();
    void Advanced();

    prtformlist forms;
    prtform *current = nullptr;
    cfgpage view;
    PDT *pdt = nullptr;
    bool formsDirty = false;
    bool selectionDirty = false;
    bool copiesDirty = false;
    bool previewDirty = false;
    bool firstShow = true;
};

// The stock editor: name, label size and the gaps beside the label of one
// stock, edited in place on the caller's copy (StockExchange in ui->exchange).
class ppPaperStock : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppPaperStock>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    bool VerifyOkay() override;

private:
    LONG max_width() const;
    // Tells why the name cannot be taken and puts the default name back; false.
    bool refuse(long text, const WCHAR *arg);

    prtform *stock = nullptr;
    const prtformlist *list = nullptr;
    const prtform *original = nullptr;
    PDT *pdt = nullptr;
    LONG minWidth = 6350;
    LONG minHeight = 6350;
    LONG maxWidth = 0;
    LONG maxHeight = 0;
    bool sizeDirty = false;
    bool gapsDirty = false;
    bool filling = false; // Refresh is writing the boxes
};

// What the paper page hands to the stock editor.
struct StockExchange {
    prtform *stock;             // the copy being edited
    const prtformlist *list;    // for names already taken
    const prtform *original;    // the listed stock being edited (null for a new one)
};
