// The UI object behind one property sheet: it owns the printer's model, the
// working device mode every page edits and the language resources, decides
// which pages a sheet shows and writes the result back on OK. Declared here
// because every page reaches it; the page sets (which name page classes) are
// the driver's (driver/pageset.cpp).
#pragma once

#include "../foundation/memory.h"
#include "../foundation/ostring.h"
#include "../locale/prtlocale.h"
#include "../model/model.h"
#include "../output/prtstream.h"
#include "../platform/ddiui.h"
#include "../store/dttf.h"
#include "../store/prtreg.h"
#include "sheetfn.h"

class barfont;
class barfontlist;
struct CFontSettings;

class prtui {
public:
    // Page groups of AddPages. kRegionalPage adds the regional page alone, for
    // document sheets (users choose units where they edit lengths).
    enum : unsigned long { kDevicePages = 1, kGraphicsPages = 2, kSetupPages = 4, kAboutOnly = 8, kRegionalPage = 0x10 };
    // Changed bits (SetChanged): the regional page's and the bar font page's.
    enum : DWORD { kChangedRegional = 1, kChangedBarFonts = 2 };

    static prtui *NewExtUI();

    prtui();
    virtual ~prtui();
    prtui(const prtui &) = delete;
    prtui &operator=(const prtui &) = delete;

    void init(HANDLE hPrinter, DEVMODEW *pdmIn, DWORD flags);
    virtual void InitEx();
    // Values of this module's version resource; out is left as it is when the
    // module has none.
    virtual void GetVersionInfo(OString &out);
    virtual void GetDrvName(OString &out);
    virtual void GetCopyRight(OString &out);
    virtual void GetBuild(OString &out);
    // Adds the pages of the groups in flags; the number added.
    virtual long AddPages(unsigned long flags);
    // Every sheet ends with the about page; a sheet limited to it shows it alone.
    bool AddAboutPage();

    LONG InitDevSheets(PPROPSHEETUI_INFO info, LPARAM lParam, DEVICEPROPERTYHEADER *header);
    LONG InitDocSheets(PPROPSHEETUI_INFO info, LPARAM lParam, DOCUMENTPROPERTYHEADER *header);
    LONG ReasonGetInfoHeader(PPROPSHEETUI_INFO info, LPARAM lParam, LPWSTR printer_name);
    LONG ReasonSetResult(PPROPSHEETUI_INFO info, LPARAM lParam, DOCUMENTPROPERTYHEADER *header);

    // A capability query answered for this printer, model and working device
    // mode (the driver's own answer; defined with the page sets).
    DWORD DeviceCapabilitiesW(WORD index, void *out);

    bool AddPage(const char *templateName, DLGPROC proc);
    bool AddPropertyPage(const char *templateName, DLGPROC proc);
    // Asks the sheet to report OK; a sheet that cannot (Wine) gets the result
    // written here at once, as the SET_RESULT reason would.
    bool Apply();
    bool SaveUiDataToSystem();
    bool LoadFileVersionInfo();
    // Tools that link the driver in read the installed module's version
    // resource instead of their own (null: this module's again).
    static void SetVersionFile(const WCHAR *path);

    prtlocale &locale() { return locale_; }
    _MODEL *model() const { return model_; }
    DEVMODEW *devmode() const { return devmode_.get(); }
    HANDLE printer() const { return printer_; }
    const OString &printer_name() const { return printer_name_; }
    const OString &port_name() const { return port_name_; }
    // The printer as the output streams and jobs need it.
    PrinterTarget target();
    // The stream the pages talk to the printer through (the model family's).
    virtual extstream *stream() { return nullptr; }
    // The fonts this printer holds (the font page loads and saves them).
    prtdttf_list &fonts() { return fonts_; }
    // Where a model family takes part in font downloads; nothing here.
    virtual void ChooseFontSettings(CFontSettings *) {}
    virtual void AdjustFontInfo(DTTFInfo *) {}
    virtual bool VerifyFonts(prtstream &) { return false; }
    virtual bool EnableVerifyFonts(prtstream &) { return false; }
    bool no_permission() const { return no_permission_; }
    DWORD mode_flags() const { return mode_flags_; }
    DWORD changed() const { return changed_; }
    void set_changed(DWORD mask, bool on) { changed_ = on ? (changed_ | mask) : (changed_ & ~mask); }
    sheetfn &sheet() { return sheet_; }
    bool start_on_last_page() const { return start_on_last_page_; }
    void *exchange = nullptr; // handed from a page to the modal dialog it opens
    // The bar font list page hands the editor its font and list; the editor
    // points the font at its working copy for the options panel.
    barfont *current_barfont = nullptr;
    barfontlist *current_barfonts = nullptr;

protected:
    bool ConvertDevmodeOut(const DEVMODEW *uiDm, const DEVMODEW *pdmIn, DEVMODEW *pdmOut);
    // Page count and handles as the sheet (or the adapter) reports them.
    void take_pages();

    prtlocale locale_;
    OString printer_name_;
    OString driver_name_;
    OString port_name_;
    _MODEL *model_ = nullptr;
    MemBlock<DEVMODEW> devmode_;
    DWORD changed_ = 0;
    prtdttf_list fonts_;
    bool no_permission_ = false;
    DWORD mode_flags_ = 0;
    HANDLE printer_ = nullptr;
    HANDLE *pages_ = nullptr; // owned by sheet_
    LONG page_count_ = 0;
    sheetfn sheet_;
    bool pages_enabled_ = true;
    bool start_on_last_page_ = false;
    // The document sheet's header: where a sheet without SET_RESULT gets its result.
    DOCUMENTPROPERTYHEADER *doc_header_ = nullptr;
    MemBlock<BYTE> version_info_;

private:
    // One value of the version resource's language-neutral Unicode block.
    bool version_value(const WCHAR *key, OString &out);
};

// The model family's UI object: it owns the printer stream its pages use and
// adds the option and debug pages.
class extui : public prtui {
public:
    void InitEx() override;
    extstream *stream() override { return &stream_; }
    long AddPages(unsigned long flags) override;

private:
    extstream stream_;
};
