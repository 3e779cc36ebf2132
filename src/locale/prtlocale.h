// The user's language and region for one UI object: the three language
// modules and the lookups in them (strings and dialog templates cached, since
// pages ask again at every refresh), the region's number conventions, the
// chosen measurement system, and the conversions between microns and the texts
// the user reads and types.
#pragma once

#include "../foundation/compat.h"
#include "../foundation/olist.h"
#include "../foundation/ostring.h"
#include "../model/prtres.h"

#ifdef _WIN32
#include <commdlg.h>
#endif

class _MODEL;
class prtreg;

#ifdef _WIN32
// One dialog template copied out of a language module into a moveable global
// block, kept locked while the node lives.
class dlgtemp_node : public ONode {
public:
    dlgtemp_node(const WCHAR *name, DWORD size);
    ~dlgtemp_node() override;

    OString name;
    DWORD size;
    HGLOBAL block;
    unsigned char *data;
};
#endif

class prtlocale {
public:
    // Measurement systems, as stored in "Measurement System".
    enum : LONG { kFollowSystem = 0, kInches = 1, kMillimetres = 2, kCentimetres = 3 };
    // Resource modules: common ("mrl"), model (prefix), OEM.
    enum { kCommon = 0, kModel = 1, kOem = 2 };

    // The language table, row by row, ending with an empty row: code, string id
    // of the language's name, ANSI code page.
    static const char *const t_lang[];
    static const LONG t_id[];
    static const LONG t_cp[];

    prtlocale();
    ~prtlocale();
    prtlocale(const prtlocale &) = delete;
    prtlocale &operator=(const prtlocale &) = delete;

    // Region from the system, language and measurement from the store (positioned
    // at the printer), file names from the model; loads the three modules. True
    // when all three loaded; lookups in a missing module simply find nothing.
    bool Load(prtreg &reg, const _MODEL *model);
    // Stores "Language" and "Measurement System"; always true.
    bool Save(prtreg &reg);
    // Unit name for the current system and the second label.
    void init();

    // Whether the language may be offered: its common module is listed among the
    // driver's dependent files (or, when that list cannot be read, is in the
    // driver folder), and a language that needs a system locale has it installed.
    static bool LanguageExists(prtreg &reg, const char *lang);
    // The language field, or the system's language when the field is "sys".
    const char *GetCurrentLanguage() const;
    LONG GetCurrentCP() const;
    // The language code for the system's abbreviated language name held in the
    // language field ("eng" when none matches).
    const char *ConvertSystemLanguage() const;
    // Takes effect when a UI object next loads; languages that need a system
    // locale are confirmed by the user first.
    void SetNewLanguage(HWND owner, const char *lang);
    void SetNewUnits(LONG units);

    // NAME32LANG.dll, DIR PREFIX32LANG.hlp and DIR OEMxxLANG.lic; with fallback,
    // a file that does not exist in lang is named in "eng" instead. Always true.
    static bool GenerateResourceName(OString &out, const char *name, const char *lang, bool fallback);
    static bool GenerateHelpNameV2(OString &out, const char *prefix, const char *lang, bool fallback);
    static bool GenerateLicenseName(OString &out, const char *oem, const char *lang, bool fallback);

    // Text of a string id (at most 511 characters) from the common, model, then
    // OEM module; empty when none has it. Valid for the life of this object.
    const WCHAR *GetString(LONG id);
#ifdef _WIN32
    // Cached copy of a dialog template (common, model, OEM module), valid for the
    // life of this object; null when no module has it. With detach the caller
    // gets the global block itself (cast to the result type) and owns it.
    unsigned char *GetDialog(const WCHAR *name, bool detach, DWORD *size);
    // A packed bitmap resource (common, OEM, model module) or null; *size
    // (when given) gets the resource's size, which bounds every read of it.
    BITMAPINFO *LockBitmap(LONG id, DWORD *size = nullptr);
    static void FreeBitmap(BITMAPINFO *) {}

    static int GetLocaleInfoW(LCID lcid, LCTYPE type, WCHAR *buf, LONG size);
    static bool GetComputerNameW(WCHAR *buf, DWORD *size);
    static bool GetUserNameW(WCHAR *buf, DWORD *size);
    static bool GetFileName(OPENFILENAMEW *ofn, bool save);
    // Language modules stay mapped between sheets; this unmaps those no
    // locale uses (when the driver module is unloaded).
    static void UnmapLanguageModules();
#endif
    // Whether the system has the locale installed.
    static bool IsValidLocale(LCID lcid);

    // Effective system: the measurement field, or the system's when it is 0.
    LONG effective_system() const;
    bool is_metric() const { return is_mm() || is_cm(); }
    bool is_mm() const { return effective_system() == kMillimetres; }
    bool is_cm() const { return effective_system() == kCentimetres; }

    // The length with its unit, in a slot of the text ring: valid until 121
    // further calls, so callers copy it at once.
    WCHAR *microns_to_string(LONG microns);
    // A length typed by the user; anything that is not a number reads as 0,
    // values beyond 1000 inches' worth are clamped.
    LONG string_to_microns(const WCHAR *text) const;
    // Append to out: a bar width (mm with two decimals, or mils with one), a
    // resolution, or two joined by " x ".
    void xdimension_to_string(LONG dots, LONG dpi, OString &out);
    void dpi_to_string(OString &out, LONG dpi);
    void dpi_to_string(OString &out, LONG dpi_x, LONG dpi_y);
    // Lengths against dots at a resolution, for the pages: products in 32 bits,
    // as the stored values were always computed (they wrap near 990 mm at 2400 dpi).
    static LONG microns_to_dots(LONG microns, LONG dpi);
    static LONG dots_to_microns(LONG dots, LONG dpi);

    // A loaded language module (kCommon, kModel, kOem) or null.
    HINSTANCE module(int which) const { return modules_[which]; }
    const char *GetLanguage() const { return language_; }
    LONG GetMeasurement() const { return measurement_; }
    bool GetLeadingZero() const { return leading_zero_; }
    const OString &GetUnitName() const { return unit_name_; }
    const OString &GetHelpFile() const { return help_file_; }
    const OString &GetLicenseFile() const { return license_file_; }

    // The one-character decimal separator as a wide character.
    WCHAR decimal_wide() const;

    static constexpr LONG kRingChars = 4096;
    static constexpr LONG kSlotBytes = 64;
    static constexpr LONG kMaxStringChars = 512;

protected:
    // Region settings the system is asked for.
    enum Region { kRegionMeasure, kRegionLeadingZero, kRegionLanguage, kRegionDecimal, kRegionThousand };
    // The platform's answer as narrow text into buf (n bytes); false when it has none.
    static bool read_region(Region what, char *buf, LONG n);
    // Loads DIR + name; null when that fails.
    HINSTANCE LoadLanguage(const char *name);
    static void free_module(HINSTANCE module);
    // String id from one module into buf (n characters); its length, 0 when absent.
    static LONG module_string(HINSTANCE module, LONG id, WCHAR *buf, LONG n);
    // Asks the user to confirm; true for OK.
    static bool confirm(HWND owner, const WCHAR *text, const WCHAR *caption);
    void release_modules();

    HINSTANCE modules_[3];
    char language_[4];
    char system_language_[4];
    LONG measurement_;
    LONG system_measurement_;
    bool leading_zero_;
    char decimal_[2];
    char thousand_[2];
    prtres strings_;
    OString unit_name_;
    OString second_label_;
    OString help_file_;
    OString license_file_;
    OString oem_module_;
    OString model_module_;
    OString common_module_;
    OList templates_;
    WCHAR ring_[kRingChars];
    LONG ring_pos_;
};
