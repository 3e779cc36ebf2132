// The open, save and choose-folder dialogs for the driver's file types: each
// type has its filter, default extension and title, and the folder and name
// last chosen for it are remembered machine-wide, so that the next dialog of
// that type opens there on any printer of the driver.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "../foundation/ostring.h"

class prtlocale;
class prtreg;

class filedlg {
public:
    // File types; a number beyond these counts as kAllFiles.
    enum : DWORD { kAllFiles, kBarFonts, kText, kDeviceSettings, kForms, kPrintFile, kDirectory };
    static constexpr DWORD kChars = 260;

    // store: where the folder and name are remembered (null: nothing is);
    // locale: the titles' texts (null: no title). Both must outlive the dialog.
    filedlg(DWORD type, prtreg *store, prtlocale *locale);
    filedlg(const filedlg &) = delete;
    filedlg &operator=(const filedlg &) = delete;

    // Takes the type's filter and extension and loads its remembered folder
    // (C:\ when none) and name.
    void SetType(DWORD type, prtreg *store, prtlocale *locale);

    // True when the user chose a file: for opening, one that exists. Only then
    // are the folder and name remembered.
    bool GetOpenFileNameW(HWND owner);
    bool GetSaveFileNameW(HWND owner);
    // A folder, into the directory buffer (not remembered).
    bool GetSaveDirectory(HWND owner);

    void GetFullFileName(OString &out) const;   // the chosen file with its folder
    void GetFileName(OString &out) const;       // name and extension only
    void GetPath(OString &out) const;           // the folder with its trailing backslash
    void GetDirectoryName(OString &out) const;  // the directory buffer

private:
    void Init();
    void LoadDefaults();
    void SaveDefaults();
    bool run(HWND owner, bool save);
    // "Last .EXT Path" or "Last .EXT Name" of the current type.
    void value_name(char *out, size_t n, const char *what) const;
    // Where the name starts in the file buffer, never past its end.
    size_t name_offset() const;

    DWORD type_;
    WCHAR directory_[kChars];
    WCHAR file_[kChars];
    OPENFILENAMEW ofn_;
    prtreg *store_;
    prtlocale *locale_;
    OString title_;
};
