// The language modules as the locale loads them from the driver folder: the
// stored choice and its fallback to English, the module each lookup is
// answered from, the caches, and the question before a far-eastern language.
#include "driver_env.h"
#include "locale/prtlocale.h"
#include "store/prtreg.h"
#include "temp_files.h"
#include "test_model.h"

#include <string>
#include <vector>

MRL_DRIVER_ENVIRONMENT();

namespace {

constexpr char kKey[] = "Software\\MrlLocaleTest";
constexpr wchar_t kPrinterName[] = L"MRL Locale Test";

class Model : public TestModel {
public:
    Model() : TestModel("omr") { prefix_[0] = 't', prefix_[1] = 's', prefix_[2] = 't'; }
};

class Locale : public prtlocale {
public:
    std::wstring str(LONG id) { return GetString(id); }
    std::string common() const { return common_module_.nstring(); }
    std::string model() const { return model_module_.nstring(); }
    LONG bitmap_width(LONG id) {
        BITMAPINFO *b = LockBitmap(id);
        return b ? b->bmiHeader.biWidth : 0;
    }
};

std::vector<std::wstring> asked;
int answer = IDOK;
int WINAPI ask(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
    asked.push_back(std::wstring(caption) + L": " + text);
    return answer;
}

INT_PTR CALLBACK no_messages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class LocaleModules : public SeamTest {
protected:
    static void SetUpTestSuite() {
        // The test modules sit beside this executable; the locale finds them
        // under their language-module names in a driver folder of their own.
        std::wstring here = beside_test();
        const char *copies[][2] = {{"loc_common_eng.dll", "mrl32eng.dll"}, {"loc_common_ger.dll", "mrl32ger.dll"},
                                   {"loc_model.dll", "tst32eng.dll"},      {"loc_oem.dll", "omr32eng.dll"}};
        for (auto &c : copies)
            ASSERT_TRUE(CopyFileW((here + widen(c[0])).c_str(), temp_path(c[1]).c_str(), FALSE)) << c[0];
    }
    void SetUp() override {
        prtfile::SetDriverDirectory(temp_dir().c_str());
        reg.init(nullptr, kPrinterName);
        reg.SetPath(kKey);
        asked.clear();
        platform::windows().MessageBoxW = ask;
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, dependent_key().c_str());
        prtfile::SetDriverDirectory(nullptr);
        SeamTest::TearDown();
    }
    // The folder of this executable, where the test modules are built.
    static std::wstring beside_test() {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring here(self);
        here.resize(here.find_last_of(L'\\') + 1);
        return here;
    }
    static std::string dependent_key() { return std::string(DRIVER_FILES_KEY) + "MRL Locale Test"; }
    // German chosen in `units`, `listed` as the driver's one language module
    // among its dependent files (as the spooler lists them), then loaded.
    void load_german(prtlocale &loc, const char *listed, LONG units) {
        std::string list = std::string("tst.ddt") + '\0' + listed + '\0';
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, dependent_key().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Dependent Files", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE *>(list.c_str()),
                       static_cast<DWORD>(list.size() + 1));
        RegCloseKey(key);
        const unsigned char m[4] = {static_cast<unsigned char>(units), 0, 0, 0};
        ASSERT_TRUE(reg.SaveRaw("Language", reinterpret_cast<const unsigned char *>("ger"), 4, false));
        ASSERT_TRUE(reg.SaveRaw("Measurement System", m, 4, false));
        ASSERT_TRUE(loc.Load(reg, &model));
    }

    prtreg reg;
    Model model;
};

TEST_F(LocaleModules, GermanWithEnglishFallbackAndSearchOrder) {
    Locale loc;
    ASSERT_NO_FATAL_FAILURE(load_german(loc, "mrl32ger.dll", prtlocale::kInches));
    EXPECT_EQ(loc.common(), "mrl32ger.dll");
    EXPECT_EQ(loc.model(), "tst32eng.dll"); // the model has no German module
    EXPECT_EQ(loc.str(100), L"gemeinsam");
    EXPECT_EQ(std::wstring(loc.GetUnitName().wstring()), L"Zoll");
    // Strings: common, model, OEM.
    EXPECT_EQ(loc.str(200), L"model");
    EXPECT_EQ(loc.str(300), L"oem only");
    EXPECT_EQ(loc.str(999), L"");
    const WCHAR *first = loc.GetString(300);
    EXPECT_EQ(loc.GetString(300), first); // served from the cache
    // Bitmaps: common, OEM, model.
    EXPECT_EQ(loc.bitmap_width(300), 1);
    EXPECT_EQ(loc.bitmap_width(301), 3);
    EXPECT_EQ(loc.bitmap_width(302), 0);

    // Dialog templates, copied once and kept.
    DWORD size = 0;
    unsigned char *page = loc.GetDialog(L"TESTPAGE", false, &size);
    ASSERT_NE(page, nullptr);
    EXPECT_GT(size, 30u);
    EXPECT_EQ(loc.GetDialog(L"TESTPAGE", false, nullptr), page);
    EXPECT_EQ(loc.GetDialog(L"NOPAGE", false, nullptr), nullptr);
    unsigned char *numbered = loc.GetDialog(MAKEINTRESOURCEW(400), false, nullptr);
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(loc.GetDialog(L"#400", false, nullptr), numbered);
    HGLOBAL detached = reinterpret_cast<HGLOBAL>(loc.GetDialog(L"MODELPAGE", true, &size));
    ASSERT_NE(detached, nullptr);
    EXPECT_GE(GlobalSize(detached), size);
    GlobalFree(detached);
    // A real page can be made from the cached copy.
    HWND wnd = CreateDialogIndirectW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE *>(page),
                                     GetDesktopWindow(), no_messages);
    ASSERT_NE(wnd, nullptr);
    EXPECT_NE(GetDlgItem(wnd, 362), nullptr);
    DestroyWindow(wnd);
}

TEST_F(LocaleModules, UnlistedLanguageLoadsEnglish) {
    Locale loc;
    ASSERT_NO_FATAL_FAILURE(load_german(loc, "mrl32eng.dll", prtlocale::kCentimetres));
    EXPECT_STREQ(loc.GetLanguage(), "ger"); // still the user's choice
    EXPECT_EQ(loc.common(), "mrl32eng.dll");
    EXPECT_EQ(loc.str(100), L"common");
    std::wstring shown = loc.microns_to_string(5000);
    EXPECT_EQ(shown.substr(shown.size() - 3), L" cm");
    EXPECT_EQ(loc.string_to_microns(shown.c_str()), 5000);

    // Far-eastern languages are confirmed first; Cancel keeps the choice.
    answer = IDCANCEL;
    loc.SetNewLanguage(nullptr, "kor");
    EXPECT_STREQ(loc.GetLanguage(), "ger");
    answer = IDOK;
    loc.SetNewLanguage(nullptr, "kor");
    EXPECT_STREQ(loc.GetLanguage(), "kor");
    loc.SetNewLanguage(nullptr, "fre");
    EXPECT_STREQ(loc.GetLanguage(), "fre");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], L"Korean: Really use this language?");
}

TEST_F(LocaleModules, ModulesStayMappedBetweenSheetsUntilUnmapped) {
    HINSTANCE shared = nullptr;
    {
        Locale a, b;
        ASSERT_NO_FATAL_FAILURE(load_german(a, "mrl32ger.dll", prtlocale::kInches));
        reg.SetPath(kKey);
        ASSERT_TRUE(b.Load(reg, &model));
        shared = a.module(prtlocale::kCommon);
        EXPECT_EQ(b.module(prtlocale::kCommon), shared);
    }
    {
        Locale next; // the next sheet finds the modules still mapped
        reg.SetPath(kKey);
        ASSERT_TRUE(next.Load(reg, &model));
        EXPECT_EQ(next.module(prtlocale::kCommon), shared);
    }
    // Unmapped, the file can be replaced, and the replacement is what loads.
    prtlocale::UnmapLanguageModules();
    const std::wstring ger = temp_path("mrl32ger.dll");
    ASSERT_TRUE(CopyFileW((beside_test() + L"loc_common_eng.dll").c_str(), ger.c_str(), FALSE));
    {
        Locale replaced;
        reg.SetPath(kKey);
        ASSERT_TRUE(replaced.Load(reg, &model));
        EXPECT_EQ(replaced.str(100), L"common");
    }
    prtlocale::UnmapLanguageModules();
    ASSERT_TRUE(CopyFileW((beside_test() + L"loc_common_ger.dll").c_str(), ger.c_str(), FALSE));
}

TEST_F(LocaleModules, MissingModulesFindNothing) {
    prtfile::SetDriverDirectory(L"C:\\no-such-folder\\");
    Locale loc;
    EXPECT_FALSE(loc.Load(reg, &model));
    EXPECT_EQ(loc.str(100), L"");
    EXPECT_EQ(loc.GetDialog(L"TESTPAGE", false, nullptr), nullptr);
    EXPECT_EQ(loc.LockBitmap(300), nullptr);
    std::wstring shown = loc.microns_to_string(25400);
    EXPECT_EQ(shown.back(), L' '); // no unit name
}

} // namespace
