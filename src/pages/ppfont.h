// The font page of the device sheet (the fonts sent to the printer: add,
// delete, send all again) and the font download dialog it opens: the system's
// font chooser with the driver's template and a hook that adds the download
// type and the character set.
#pragma once

#include "../foundation/olist.h"
#include "../pageframe/prtpage.h"
#include "../store/dttf.h"

class prtlocale;

// What a model family may preset in the download dialog.
struct CFontSettings {
    LONG type = 1; // 1 TrueType, 2 bitmap
    LONG mode = 0; // 0: type and characters only
    LONG id_low = 101;
    LONG id_high = 999;
    bool name_enabled = false;
    LONG name_limit = 32;
    bool check_earlier = true;
    OList printer_fonts;
};

// One character-set choice: its string and the characters sent.
struct CharMap {
    LONG string_id;
    uint32_t chars[8];
};
extern const CharMap CharMasks[];

// The font's line in the page's list: full name, kind (with the point size of
// a bitmap font) and status, separated by tabs.
void FontListLine(const DTTFInfo &info, prtlocale &locale, OString &out);

class ppFont : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppFont>(hwnd, msg, wParam, lParam);
    }

    void Init() override;
    bool SetActive() override;
    void Refresh(bool first) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    // Bit 0 TrueType, bit 1 bitmap: the download types the model offers.
    long GetFontModes();
    bool GetFontFromUser(DTTFInfo *info);

private:
    prtdttf_node *selected();
    void AddFont();
    void DeleteFont();
    void SendAll();
    void Report(long id);

    prtdttf_list *list = nullptr;
    bool listChanged = true;
    bool detailsChanged = true;
};

class cf_FDown {
public:
    explicit cf_FDown(prtui *ui);
    bool GetFontInfo(HWND owner, DTTFInfo *info);
    static UINT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void SetMode(LONG type);
    void ChangeMode(LONG type);
    void Refresh(bool first);
    // 1 when the dialog changed and must be refreshed.
    LONG Command(WORD id, WORD notifyCode);
    void WriteReturnSettings();
    UINT_PTR DlgProc(UINT msg, WPARAM wParam, LPARAM lParam);
    const WCHAR *GetString(LONG id);
    void AddString(HWND combo, LONG id, LONG_PTR data);
    bool SetCurData(HWND combo, LONG_PTR data);
    void ShowCtlPair(int id, int label, bool show);
    void EnableCtlPair(int id, int label, bool enable);

    prtui *ui;
    LONG types = 0; // bit 0 TrueType, bit 1 bitmap
    bool open = false;
    HWND dlg = nullptr;
    DTTFInfo *target = nullptr;
    HWND list = nullptr, id = nullptr, name = nullptr, size = nullptr, type = nullptr, charset = nullptr;
    CFontSettings settings;
};
