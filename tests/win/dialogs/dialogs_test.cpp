// The file and colour dialogs with the common dialogs replaced: what each
// dialog is given (filter, folder, name, title, colours) and what is
// remembered machine-wide afterwards; a cancel or a refused answer changes
// nothing that is stored.
#include "driver_env.h"
#include "module_path.h"
#include "temp_files.h"

#include "locale/prtlocale.h"
#include "pageframe/colordlg.h"
#include "pageframe/filedlg.h"
#include "store/prtreg.h"

#include <string>
#include <vector>

MRL_DRIVER_ENVIRONMENT();

namespace {

const char *const kValues[] = {"Last .prn Path", "Last .prn Name", "Last .sfm Path", "Last .sfm Name",
                               "ColorDlg Custom Colors", "ColorDlg Selected Color"};

// A machine-wide value as stored, "<missing>" when there is none.
std::string stored(const char *name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, GLOBAL_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char buf[512];
    DWORD type = 0, n = sizeof buf;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buf), &n);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return "<missing>";
    if (type == REG_SZ)
        return std::string(buf, n && buf[n - 1] == 0 ? n - 1 : n);
    return std::string(buf, n);
}

std::string narrow(const std::wstring &w) { return std::string(w.begin(), w.end()); }

// Titles from the English common module, as a UI object's locale has them.
class EnglishLocale : public prtlocale {
public:
    EnglishLocale() {
        modules_[kCommon] = LoadLibraryExW(built_module_path(L"resources\\mrl32eng.dll").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    }
    bool loaded() const { return modules_[kCommon] != nullptr; }
};

// What the replaced file dialog was given, and what it answers.
struct FileDialogCall {
    DWORD size = 0, flags = 0;
    std::wstring filter, initial_dir, file, title, extension;
    bool titled = false;
};
std::vector<FileDialogCall> calls;
BOOL answer = TRUE;
std::wstring chosen;  // folder and name; the name starts after the last backslash

BOOL WINAPI fake_file_dialog(LPOPENFILENAMEW ofn) {
    FileDialogCall c;
    c.size = ofn->lStructSize;
    c.flags = ofn->Flags;
    for (const WCHAR *f = ofn->lpstrFilter; f && *f; f += wcslen(f) + 1)
        c.filter += std::wstring(f) + L"|";
    c.initial_dir = ofn->lpstrInitialDir;
    c.file = ofn->lpstrFile;
    c.titled = ofn->lpstrTitle != nullptr;
    c.title = ofn->lpstrTitle ? ofn->lpstrTitle : L"";
    c.extension = ofn->lpstrDefExt ? ofn->lpstrDefExt : L"";
    calls.push_back(c);
    if (answer) {
        wcsncpy(ofn->lpstrFile, chosen.c_str(), ofn->nMaxFile);
        ofn->nFileOffset = WORD(chosen.find_last_of(L'\\') + 1);
    }
    return answer;
}

class Dialogs : public SeamTest {
protected:
    void SetUp() override {
        clear();
        calls.clear();
        answer = TRUE;
        platform::dialogs().GetOpenFileNameW = fake_file_dialog;
        platform::dialogs().GetSaveFileNameW = fake_file_dialog;
    }
    void TearDown() override {
        clear();
        SeamTest::TearDown();
    }
    static void clear() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, GLOBAL_KEY, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            for (const char *v : kValues)
                RegDeleteValueA(key, v);
            RegCloseKey(key);
        }
    }
    prtreg store;
};

TEST_F(Dialogs, PrintFileFolderAndNameRemembered) {
    EnglishLocale locale;
    ASSERT_TRUE(locale.loaded());
    const std::wstring dir = temp_dir();
    const std::wstring path = temp_path("batch.prn");
    ASSERT_TRUE(write_file(path, std::string("^XA^XZ")));
    chosen = path;

    filedlg first(filedlg::kPrintFile, &store, &locale);
    ASSERT_TRUE(first.GetOpenFileNameW(nullptr));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].size, DWORD(OPENFILENAME_SIZE_VERSION_400W));
    EXPECT_EQ(calls[0].flags, DWORD(0x1806));
    EXPECT_EQ(calls[0].filter, L"Print File (*.prn)|*.prn|All Files (*.*)|*.*|");
    EXPECT_EQ(calls[0].extension, L"prn");
    EXPECT_EQ(calls[0].title, L"Open Print File");
    EXPECT_EQ(calls[0].initial_dir, L"C:\\") << "a fresh system starts in C:\\";
    EXPECT_EQ(calls[0].file, L"");

    EXPECT_EQ(stored("Last .prn Path"), narrow(dir));
    EXPECT_EQ(stored("Last .prn Name"), "batch.prn");
    OString s;
    first.GetPath(s);
    EXPECT_EQ(std::wstring(s.wstring()), dir);
    first.GetFileName(s);
    EXPECT_EQ(std::wstring(s.wstring()), L"batch.prn");
    first.GetFullFileName(s);
    EXPECT_EQ(std::wstring(s.wstring()), path);

    // The next print-file dialog, on any printer, opens there with the name filled in;
    // a form-list dialog still starts in C:\.
    prtreg other;
    other.init(nullptr, L"Another Printer");
    filedlg second(filedlg::kPrintFile, &other, &locale);
    ASSERT_TRUE(second.GetSaveFileNameW(nullptr));
    filedlg forms(filedlg::kForms, &store, &locale);
    answer = FALSE;
    EXPECT_FALSE(forms.GetOpenFileNameW(nullptr));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].initial_dir, dir);
    EXPECT_EQ(calls[1].file, L"batch.prn");
    EXPECT_EQ(calls[1].flags, DWORD(0x8806));
    EXPECT_EQ(calls[1].title, L"Save Print File");
    EXPECT_EQ(calls[2].initial_dir, L"C:\\");
    EXPECT_EQ(calls[2].filter, L"Form List (*.sfm)|*.sfm|");
    EXPECT_EQ(calls[2].title, L"Open Form List");
}

TEST_F(Dialogs, RefusedAnswersRememberNothing) {
    const std::wstring missing = temp_dir() + L"missing.sfm";
    filedlg dlg(filedlg::kForms, &store, nullptr);
    // Cancelled; a pattern typed as the name; a file that does not exist.
    answer = FALSE;
    chosen = missing;
    EXPECT_FALSE(dlg.GetOpenFileNameW(nullptr));
    answer = TRUE;
    chosen = temp_dir() + L"*.sfm";
    EXPECT_FALSE(dlg.GetSaveFileNameW(nullptr));
    chosen = missing;
    EXPECT_FALSE(dlg.GetOpenFileNameW(nullptr));
    EXPECT_EQ(stored("Last .sfm Path"), "<missing>");
    EXPECT_EQ(stored("Last .sfm Name"), "<missing>");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_FALSE(calls[0].titled) << "a title without a locale";
    // Saving needs no existing file.
    EXPECT_TRUE(dlg.GetSaveFileNameW(nullptr));
    EXPECT_EQ(stored("Last .sfm Name"), "missing.sfm");

    // Without a store nothing is loaded or remembered.
    filedlg bare(filedlg::kPrintFile, nullptr, nullptr);
    chosen = temp_dir() + L"out.prn";
    EXPECT_TRUE(bare.GetSaveFileNameW(nullptr));
    EXPECT_EQ(calls.back().initial_dir, L"");
    EXPECT_EQ(stored("Last .prn Path"), "<missing>");
}

LPITEMIDLIST folder_answer = nullptr;
UINT browse_flags = 0;
LPITEMIDLIST WINAPI fake_browse(LPBROWSEINFOW bi) {
    browse_flags = bi->ulFlags;
    return folder_answer;
}

TEST_F(Dialogs, FolderChooser) {
    platform::dialogs().SHBrowseForFolderW = fake_browse;
    std::wstring dir = temp_dir();
    dir.pop_back();
    filedlg dlg(filedlg::kDirectory, &store, nullptr);
    OString s;
    folder_answer = nullptr;
    EXPECT_FALSE(dlg.GetSaveDirectory(nullptr));
    dlg.GetDirectoryName(s);
    const std::wstring before = s.wstring();
    folder_answer = ILCreateFromPathW(dir.c_str());  // freed by the dialog's caller
    ASSERT_NE(folder_answer, nullptr);
    EXPECT_TRUE(dlg.GetSaveDirectory(nullptr));
    EXPECT_EQ(browse_flags, UINT(BIF_RETURNONLYFSDIRS | BIF_EDITBOX));
    dlg.GetDirectoryName(s);
    EXPECT_EQ(std::wstring(s.wstring()), dir);
    EXPECT_NE(before, dir);
    EXPECT_EQ(stored("Last .dir Path"), "<missing>") << "a chosen folder is not remembered";
}

// What the replaced colour chooser was given; it adds a custom colour in place
// (as the real one does, even before a cancel) and answers.
struct ColorCall {
    DWORD size, flags;
    COLORREF initial, custom[16];
};
std::vector<ColorCall> color_calls;
COLORREF pick = 0;
BOOL WINAPI fake_color(LPCHOOSECOLORW cc) {
    ColorCall c{cc->lStructSize, cc->Flags, cc->rgbResult, {}};
    std::copy(cc->lpCustColors, cc->lpCustColors + 16, c.custom);
    color_calls.push_back(c);
    cc->lpCustColors[color_calls.size()] = RGB(1, 2, color_calls.size());
    cc->rgbResult = pick;
    return answer;
}

std::string colour_bytes(std::vector<COLORREF> colours) {
    return std::string(reinterpret_cast<const char *>(colours.data()), colours.size() * 4);
}

TEST_F(Dialogs, ColoursRememberedForEveryPrinter) {
    platform::dialogs().ChooseColorW = fake_color;
    color_calls.clear();
    const COLORREF white = RGB(255, 255, 255);
    std::vector<COLORREF> customs(16, white);

    ColorDlg first(&store);
    pick = RGB(10, 20, 30);
    ASSERT_TRUE(first.ChooseColorW(nullptr));
    EXPECT_EQ(first.GetSelectedColor(), pick);
    customs[1] = RGB(1, 2, 1);
    EXPECT_EQ(stored("ColorDlg Custom Colors"), colour_bytes(customs));
    EXPECT_EQ(stored("ColorDlg Selected Color"), colour_bytes({pick}));

    // Another printer's page is offered the same colours; its cancel (after
    // adding a custom colour) changes neither the object nor the store.
    prtreg other;
    other.init(nullptr, L"Another Printer");
    ColorDlg second(&other);
    answer = FALSE;
    pick = RGB(99, 99, 99);
    EXPECT_FALSE(second.ChooseColorW(nullptr));
    ASSERT_EQ(color_calls.size(), 2u);
    EXPECT_EQ(color_calls[0].size, DWORD(sizeof(CHOOSECOLORW)));
    EXPECT_EQ(color_calls[0].flags, DWORD(CC_RGBINIT | CC_ANYCOLOR));
    EXPECT_EQ(color_calls[0].initial, RGB(0, 0, 0));
    EXPECT_EQ(std::vector<COLORREF>(color_calls[0].custom, color_calls[0].custom + 16), std::vector<COLORREF>(16, white));
    EXPECT_EQ(color_calls[1].initial, RGB(10, 20, 30));
    EXPECT_EQ(std::vector<COLORREF>(color_calls[1].custom, color_calls[1].custom + 16), customs);
    EXPECT_EQ(std::vector<COLORREF>(second.GetCustomColors(), second.GetCustomColors() + 16), customs);
    EXPECT_EQ(second.GetSelectedColor(), RGB(10, 20, 30));
    EXPECT_EQ(stored("ColorDlg Custom Colors"), colour_bytes(customs));
    EXPECT_EQ(stored("ColorDlg Selected Color"), colour_bytes({RGB(10, 20, 30)}));

    // Setting the colour remembers it at once.
    second.SetSelectedColor(RGB(7, 8, 9));
    EXPECT_EQ(stored("ColorDlg Selected Color"), colour_bytes({RGB(7, 8, 9)}));
}

} // namespace
