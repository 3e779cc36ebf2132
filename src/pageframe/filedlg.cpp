#include "filedlg.h"

#include "../locale/prtlocale.h"
#include "../model/prtfile.h"
#include "../platform/seam.h"
#include "../store/prtreg.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>

#ifndef _WIN64
// The NT 4 record, OPENFILENAME_SIZE_VERSION_400W: no trailing extension fields.
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == 76, "OPENFILENAMEW as NT 4 knows it");
#endif

namespace {

struct FileType {
    const WCHAR *filter;  // description and pattern pairs, ending with an empty one
    const WCHAR *extension;
    const char *value_extension;
};

// Filters end with two NULs: the literal's own and the one written out.
const FileType kTypes[] = {
    {L"All Files (*.*)\0*.*\0", nullptr, ""},
    {L"Bar Font List (*.sbf)\0*.sbf\0", L"sbf", "sbf"},
    {L"Text File (*.txt)\0*.txt\0", L"txt", "txt"},
    {L"Device Settings (*.sdm)\0*.sdm\0", L"sdm", "sdm"},
    {L"Form List (*.sfm)\0*.sfm\0", L"sfm", "sfm"},
    {L"Print File (*.prn)\0*.prn\0All Files (*.*)\0*.*\0", L"prn", "prn"},
    {nullptr, nullptr, "dir"},
};

constexpr LONG kTitleOpen = 2256;
constexpr LONG kTitleSave = 2257;
constexpr LONG kTitleType = 2258;  // + file type, for the types with a filter
constexpr DWORD kStartFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;

void copy_text(WCHAR *to, const WCHAR *from) {
    wcsncpy(to, from, filedlg::kChars - 1);
    to[filedlg::kChars - 1] = 0;
}

void copy_part(OString &out, const WCHAR *from, size_t n) {
    if (WCHAR *buf = out.wbuffer(static_cast<LONG>(n) + 1)) {
        wmemcpy(buf, from, n);
        buf[n] = 0;
        out.commit_w();
    }
}

} // namespace

filedlg::filedlg(DWORD type, prtreg *store, prtlocale *locale) {
    Init();
    SetType(type, store, locale);
}

void filedlg::Init() {
    type_ = kAllFiles;
    directory_[0] = 0;
    file_[0] = 0;
    ofn_ = {};
    ofn_.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn_.lpstrFile = file_;
    ofn_.nMaxFile = kChars;
    ofn_.lpstrInitialDir = directory_;
    ofn_.Flags = kStartFlags;
    store_ = nullptr;
    locale_ = nullptr;
}

void filedlg::SetType(DWORD type, prtreg *store, prtlocale *locale) {
    type_ = type <= kDirectory ? type : kAllFiles;
    store_ = store;
    locale_ = locale;
    ofn_.lpstrFilter = kTypes[type_].filter;
    ofn_.nFilterIndex = 1;
    ofn_.lpstrDefExt = kTypes[type_].extension;
    LoadDefaults();
}

void filedlg::value_name(char *out, size_t n, const char *what) const {
    snprintf(out, n, "Last .%s %s", kTypes[type_].value_extension, what);
}

void filedlg::LoadDefaults() {
    if (!store_)
        return;
    char name[32];
    unsigned char text[kChars] = {};
    OString wide;
    value_name(name, sizeof name, "Path");
    wide = store_->LoadStr(name, text, kChars, true) ? reinterpret_cast<const char *>(text) : "C:\\";
    copy_text(directory_, wide.wstring());
    value_name(name, sizeof name, "Name");
    text[0] = 0;
    wide = store_->LoadStr(name, text, kChars, true) ? reinterpret_cast<const char *>(text) : "";
    copy_text(file_, wide.wstring());
}

void filedlg::SaveDefaults() {
    if (!store_)
        return;
    char name[32];
    OString part;
    auto save = [&](const char *what) {
        value_name(name, sizeof name, what);
        const char *text = part.nstring();
        const size_t n = strnlen(text, kChars - 1);
        unsigned char stored[kChars];
        memcpy(stored, text, n);
        stored[n] = 0;
        store_->SaveStr(name, stored, static_cast<LONG>(n + 1), true);
    };
    GetPath(part);
    save("Path");
    GetFileName(part);
    save("Name");
}

bool filedlg::run(HWND owner, bool save) {
    ofn_.hwndOwner = owner;
    ofn_.lpstrTitle = nullptr;
    if (locale_) {
        title_ = locale_->GetString(save ? kTitleSave : kTitleOpen);
        if (kTypes[type_].filter) {
            title_ += " ";
            title_ += locale_->GetString(kTitleType + static_cast<LONG>(type_));
        }
        ofn_.lpstrTitle = title_.wstring();
    }
    bool chosen = prtlocale::GetFileName(&ofn_, save);
    file_[kChars - 1] = 0;
    // A pattern typed into the name box comes back as a name beginning with "*".
    if (!chosen || file_[0] == 0 || file_[name_offset()] == L'*')
        return false;
    if (!save && !prtfile::Exists(file_))
        return false;
    SaveDefaults();
    return true;
}

bool filedlg::GetOpenFileNameW(HWND owner) {
    ofn_.Flags = (ofn_.Flags | OFN_FILEMUSTEXIST) & ~(OFN_NOVALIDATE | OFN_NOREADONLYRETURN);
    return run(owner, false);
}

bool filedlg::GetSaveFileNameW(HWND owner) {
    ofn_.Flags = (ofn_.Flags | OFN_NOREADONLYRETURN) & ~(OFN_NOVALIDATE | OFN_FILEMUSTEXIST);
    return run(owner, true);
}

bool filedlg::GetSaveDirectory(HWND owner) {
    const HRESULT com = CoInitialize(nullptr);
    WCHAR display[MAX_PATH] = {};
    BROWSEINFOW bi = {};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
    bool chosen = false;
    if (LPITEMIDLIST folder = platform::dialogs().SHBrowseForFolderW(&bi)) {
        WCHAR path[MAX_PATH];
        if (SHGetPathFromIDListW(folder, path)) {
            path[MAX_PATH - 1] = 0;
            copy_text(directory_, path);
            chosen = true;
        }
        CoTaskMemFree(folder);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return chosen;
}

size_t filedlg::name_offset() const {
    const size_t len = wcslen(file_);
    return ofn_.nFileOffset < len ? ofn_.nFileOffset : len;
}

void filedlg::GetFullFileName(OString &out) const { out = file_; }

void filedlg::GetFileName(OString &out) const { out = file_ + name_offset(); }

void filedlg::GetPath(OString &out) const { copy_part(out, file_, name_offset()); }

void filedlg::GetDirectoryName(OString &out) const { out = directory_; }
