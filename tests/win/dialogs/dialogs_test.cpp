// The file and colour dialogs with the common dialogs replaced: what each is
// given (filter, folder, name, title, colours) and what is remembered
// machine-wide afterwards; a cancel or a refused answer stores nothing.
#include "driver_env.h"
#include "english_locale.h"
#include "temp_files.h"

#include "pageframe/colordlg.h"
#include "pageframe/filedlg.h"
#include "store/prtreg.h"

#include <string>
#include <vector>

MRL_DRIVER_ENVIRONMENT();

namespace {

const char *const kValues[] = {"Last .prn Path", "Last .prn Name", "Last .sfm Path", "Last .sfm Name",
                               "ColorDlg Custom Colors", "ColorDlg Selected Color"};

// A machine-wide value as stored (a text without its NUL), "-" when missing.
std::string stored(const char *name) {
    char buf[512];
    DWORD n = sizeof buf, type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, GLOBAL_KEY, name, RRF_RT_ANY | RRF_NOEXPAND, &type, buf, &n))
        return "-";
    return std::string(buf, type == REG_SZ && n && buf[n - 1] == 0 ? n - 1 : n);
}

std::string bytes(std::vector<COLORREF> colours) {
    return std::string(reinterpret_cast<const char *>(colours.data()), colours.size() * 4);
}

// What the replaced file dialog was given; it answers with `chosen`.
struct FileCall {
    DWORD size, flags;
    std::wstring filter, dir, file, title, extension;
};
std::vector<FileCall> calls;
BOOL answer = TRUE;
std::wstring chosen;

BOOL WINAPI fake_file_dialog(LPOPENFILENAMEW ofn) {
    std::wstring filter;
    for (const WCHAR *f = ofn->lpstrFilter; f && *f; f += wcslen(f) + 1)
        filter += std::wstring(f) + L"|";
    calls.push_back({ofn->lStructSize, ofn->Flags, filter, ofn->lpstrInitialDir, ofn->lpstrFile,
                     ofn->lpstrTitle ? ofn->lpstrTitle : L"(none)", ofn->lpstrDefExt ? ofn->lpstrDefExt : L""});
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
        for (const char *v : kValues)
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, GLOBAL_KEY, v);
    }
    static std::wstring text(void (filedlg::*get)(OString &) const, const filedlg &dlg) {
        OString s;
        (dlg.*get)(s);
        return s.wstring();
    }
    prtreg store;
};

TEST_F(Dialogs, PrintFileFolderAndNameRemembered) {
    EnglishLocale locale;
    ASSERT_TRUE(locale.loaded());
    const std::wstring dir = temp_dir(), path = temp_path("batch.prn");
    ASSERT_TRUE(write_file(path, std::string("^XA^XZ")));
    chosen = path;
    filedlg first(filedlg::kPrintFile, &store, &locale);
    ASSERT_TRUE(first.GetOpenFileNameW(nullptr));
    EXPECT_EQ(text(&filedlg::GetPath, first), dir);
    EXPECT_EQ(text(&filedlg::GetFileName, first), L"batch.prn");
    EXPECT_EQ(text(&filedlg::GetFullFileName, first), path);
    EXPECT_EQ(stored("Last .prn Path"), std::string(dir.begin(), dir.end()));
    EXPECT_EQ(stored("Last .prn Name"), "batch.prn");

    // The next print-file dialog, of any printer, opens there with the name
    // filled in; a form-list dialog still starts in C:\.
    prtreg other;
    other.init(nullptr, L"Another Printer");
    filedlg second(filedlg::kPrintFile, &other, &locale);
    EXPECT_TRUE(second.GetSaveFileNameW(nullptr));
    filedlg forms(filedlg::kForms, &store, &locale);
    answer = FALSE;
    EXPECT_FALSE(forms.GetOpenFileNameW(nullptr));

    // Size, flags (0x1806 to open, 0x8806 to save), filter, folder, name, title and
    // default extension of each call.
    std::vector<std::wstring> given;
    for (const FileCall &c : calls)
        given.push_back(std::to_wstring(c.size) + L" " + std::to_wstring(c.flags) + L" " + c.filter + L" " + c.dir +
                        L" " + c.file + L" " + c.title + L" " + c.extension);
    const std::wstring prn = L"Print File (*.prn)|*.prn|All Files (*.*)|*.*| ";
    const std::wstring size = std::to_wstring(OPENFILENAME_SIZE_VERSION_400W) + L" ";
    EXPECT_EQ(given, (std::vector<std::wstring>{size + L"6150 " + prn + L"C:\\  Open Print File prn",
                                                size + L"34822 " + prn + dir + L" batch.prn Save Print File prn",
                                                size + L"6150 Form List (*.sfm)|*.sfm| C:\\  Open Form List sfm"}));
}

TEST_F(Dialogs, RefusedAnswersRememberNothing) {
    const std::wstring missing = temp_dir() + L"missing.sfm";
    filedlg dlg(filedlg::kForms, &store, nullptr);
    // Cancelled; a pattern typed as the name; a file to open that does not exist.
    answer = FALSE;
    chosen = missing;
    EXPECT_FALSE(dlg.GetOpenFileNameW(nullptr));
    answer = TRUE;
    chosen = temp_dir() + L"*.sfm";
    EXPECT_FALSE(dlg.GetSaveFileNameW(nullptr));
    chosen = missing;
    EXPECT_FALSE(dlg.GetOpenFileNameW(nullptr));
    EXPECT_EQ(stored("Last .sfm Path") + stored("Last .sfm Name"), "--");
    EXPECT_EQ(calls[0].title, L"(none)") << "a title without a locale";
    // Saving needs no existing file.
    EXPECT_TRUE(dlg.GetSaveFileNameW(nullptr));
    EXPECT_EQ(stored("Last .sfm Name"), "missing.sfm");

    // Without a store nothing is loaded or remembered.
    filedlg bare(filedlg::kPrintFile, nullptr, nullptr);
    chosen = temp_dir() + L"out.prn";
    EXPECT_TRUE(bare.GetSaveFileNameW(nullptr));
    EXPECT_EQ(calls.back().dir, L"");
    EXPECT_EQ(stored("Last .prn Path"), "-");
}

LPITEMIDLIST folder_answer = nullptr;
LPITEMIDLIST WINAPI fake_browse(LPBROWSEINFOW bi) {
    return bi->ulFlags == (BIF_RETURNONLYFSDIRS | BIF_EDITBOX) ? folder_answer : nullptr;
}

TEST_F(Dialogs, FolderChooser) {
    platform::dialogs().SHBrowseForFolderW = fake_browse;
    std::wstring dir = temp_dir();
    dir.pop_back();
    filedlg dlg(filedlg::kDirectory, &store, nullptr);
    EXPECT_FALSE(dlg.GetSaveDirectory(nullptr));
    EXPECT_EQ(text(&filedlg::GetDirectoryName, dlg), L"C:\\");
    folder_answer = ILCreateFromPathW(dir.c_str());  // the dialog's caller frees it
    EXPECT_TRUE(dlg.GetSaveDirectory(nullptr));
    EXPECT_EQ(text(&filedlg::GetDirectoryName, dlg), dir);
    EXPECT_EQ(stored("Last .dir Path"), "-") << "a chosen folder is not remembered";
}

// What the replaced colour chooser was given. Like the real one, it changes a
// custom colour in place, even before a cancel.
std::vector<CHOOSECOLORW> color_calls;
std::vector<std::vector<COLORREF>> offered;
COLORREF pick = 0;
BOOL WINAPI fake_color(LPCHOOSECOLORW cc) {
    color_calls.push_back(*cc);
    offered.emplace_back(cc->lpCustColors, cc->lpCustColors + 16);
    cc->lpCustColors[color_calls.size()] = RGB(1, 2, color_calls.size());
    cc->rgbResult = pick;
    return answer;
}

TEST_F(Dialogs, ColoursRememberedForEveryPrinter) {
    platform::dialogs().ChooseColorW = fake_color;
    std::vector<COLORREF> customs(16, RGB(255, 255, 255));
    ColorDlg first(&store);
    pick = RGB(10, 20, 30);
    ASSERT_TRUE(first.ChooseColorW(nullptr));
    EXPECT_EQ(first.GetSelectedColor(), pick);
    EXPECT_EQ(offered[0], customs);
    customs[1] = RGB(1, 2, 1);
    EXPECT_EQ(stored("ColorDlg Custom Colors"), bytes(customs));
    EXPECT_EQ(stored("ColorDlg Selected Color"), bytes({pick}));

    // Another printer's page is offered the same colours; its cancel changes
    // neither the object nor the store.
    prtreg other;
    other.init(nullptr, L"Another Printer");
    ColorDlg second(&other);
    answer = FALSE;
    pick = RGB(99, 99, 99);
    EXPECT_FALSE(second.ChooseColorW(nullptr));
    ASSERT_EQ(color_calls.size(), 2u);
    EXPECT_EQ(color_calls[0].lStructSize, DWORD(sizeof(CHOOSECOLORW)));
    EXPECT_EQ(color_calls[0].Flags, DWORD(CC_RGBINIT | CC_ANYCOLOR));
    EXPECT_EQ(color_calls[0].rgbResult, RGB(0, 0, 0));
    EXPECT_EQ(color_calls[1].rgbResult, RGB(10, 20, 30));
    EXPECT_EQ(offered[1], customs);
    EXPECT_EQ(std::vector<COLORREF>(second.GetCustomColors(), second.GetCustomColors() + 16), customs);
    EXPECT_EQ(second.GetSelectedColor(), RGB(10, 20, 30));
    EXPECT_EQ(stored("ColorDlg Custom Colors"), bytes(customs));
    // Setting the colour remembers it at once.
    second.SetSelectedColor(RGB(7, 8, 9));
    EXPECT_EQ(stored("ColorDlg Selected Color"), bytes({RGB(7, 8, 9)}));
}

} // namespace
