// The bar font pages: the list page of the device sheet, the modal editor it
// opens, and the symbology options panel the editor places inside itself and
// rebuilds whenever the symbology changes.
#pragma once

#include "../pageframe/prtpage.h"
#include "../store/barfont.h"

class ppBarFont : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppBarFont>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Apply() override;
    bool CheckChanged() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;

private:
    barfontnode *selected();
    void select(barfontnode *node);
    void New();
    void Edit();
    void Delete();
    INT_PTR RunEditor(barfontnode *node);

    barfontlist list;
    bool listStale = true;
    bool detailsStale = true;
    bool filter = true;
    bool savedFilter = true;
    bool listChanged = false;
};

class ppBarFontEdit : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppBarFontEdit>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    bool VerifyOkay() override;
    void Destroy() override;

private:
    void RefreshSymbology();
    void RefreshRatios();

    barfont *node = nullptr;
    barfontlist *list = nullptr;
    barfont work;
    bool symbologyChanged = true;
    bool ratiosStale = true;
    bool nameStale = true;
    bool checksStale = true;
    HWND panel = nullptr;
};

class ppBarFontSymbology : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppBarFontSymbology>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;

private:
    void RefreshLinear(LONG id, uint32_t options);
    void RefreshPdf(LONG id, uint32_t options);
    void RefreshDataMatrix(uint32_t options);
    void RefreshQr(uint32_t options);
    // Fills a combo with (string, data) items and selects value, or the
    // first item (written back through set) when value is not offered.
    void Offer(long id, const LONG *strings, const LONG *data, const bool *offered, int n, size_t field);
    void Check(long id, bool on, bool enabled);

    barfont *font = nullptr;
    bool refreshing = false;
};
