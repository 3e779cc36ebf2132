// Model records of the installed sample packages, built from real printer
// handles as the driver module does inside the spooler.
#include <gtest/gtest.h>

#include "driver_env.h"
#include "model/model.h"
#include "model/prtfile.h"
#include "model/prtres.h"
#include "foundation/memory.h"
#include "platform/seam.h"
#include "store/prtform.h"
#include "test_printer.h"

#include <cstring>

MRL_DRIVER_ENVIRONMENT();

namespace {

struct Sample {
    const wchar_t *model;
    const char *prefix, *oem;
    LONG directory, pdt, caps;
    const char *manufacturer;
};

const Sample kSamples[] = {
    {L"Kestrel KD42-203dpi", "zpl", "omr", 510, 1000, 2000, "Kestrel"},
    {L"Kestrel KT41-300dpi", "zpl", "omr", 510, 1001, 2001, "Kestrel"},
    {L"Kestrel KT61-600dpi", "zpl", "omr", 510, 1002, 2002, "Kestrel"},
    // Listed only in the second directory of its file.
    {L"Kestrel KD88-203dpi", "zpl", "omr", 511, 1003, 2003, "Kestrel Label Systems"},
    {L"Heron HC43-203dpi", "ipl", "oin", 510, 100, 200, "Heron"},
    {L"Heron HM43-300dpi", "ipl", "oin", 510, 101, 200, "Heron"},
    {L"Heron HX6-300dpi", "ipl", "oin", 510, 102, 201, "Heron"},
    {L"Osprey OX4-203dpi", "tec", "ott", 510, 300, 400, "Osprey"},
    {L"Osprey OX4S-305dpi Spot", "tec", "ott", 510, 301, 400, "Osprey"},
    {L"Osprey OX8-305dpi CMYK", "tec", "ott", 510, 302, 401, "Osprey"},
};

// The installed driver's folder, where its data files lie.
std::wstring driver_folder(HANDLE printer) {
    if (!prtfile::UseDriverDirectoryOf(printer))
        return L"";
    WCHAR dir[520];
    prtfile::GetDriverDirectory(dir, 520);
    return dir;
}

bool same_bytes(const void *record, const res_node *expected) {
    return record && expected && std::memcmp(record, expected->GetData(), expected->GetSize()) == 0;
}

class InstalledModel : public ::testing::Test {
protected:
    void TearDown() override {
        prtfile::SetDriverDirectory(nullptr);
        platform::reset();
    }
};

TEST_F(InstalledModel, EverySampleFindsItsOwnRecords) {
    for (const Sample &s : kSamples) {
        SCOPED_TRACE(testing::Message() << s.prefix << " " << static_cast<const void *>(s.model));
        TestPrinter printer(std::wstring(L"mrl model ") + s.model, s.model);
        ASSERT_TRUE(printer.ok()) << "AddPrinterW error " << printer.error()
                                  << " (are the sample packages installed?)";
        std::wstring folder = driver_folder(printer.handle());
        ASSERT_FALSE(folder.empty());

        _MODEL model(printer.handle());
        ASSERT_TRUE(model.is_valid());
        EXPECT_STREQ(model.GetPrefix(), s.prefix);
        EXPECT_STREQ(model.GetOEM(), s.oem);
        EXPECT_EQ(std::wstring(model.GetModelName().wstring()), s.model);

        // The records are those of the expected resources in the package's file.
        prtres file;
        ASSERT_TRUE(file.LoadPath((folder + std::wstring(s.prefix, s.prefix + 3) + L".ddt").c_str()));
        EXPECT_TRUE(same_bytes(model.GetMDT(), file.Find(s.directory)));
        EXPECT_TRUE(same_bytes(model.GetPDT(), file.Find(s.pdt)));
        EXPECT_TRUE(same_bytes(model.GetVXM(), file.Find(s.caps)));
        EXPECT_NE(GetSymbologyData(model.GetVXM(), 29), nullptr);
        EXPECT_NE(model.GetEXTPDT(), nullptr);
        EXPECT_STREQ(model.GetManufacturerName(), s.manufacturer);
    }
}

// Driver information served by the seam: paths the spooler would not accept.
DRIVER_INFO_2W g_info;
BOOL WINAPI fake_driver(HANDLE, LPWSTR, DWORD level, LPBYTE buf, DWORD size, LPDWORD needed) {
    const DWORD want = sizeof(DRIVER_INFO_2W);
    *needed = want;
    if (level != 2 || size < want) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buf, &g_info, want);
    return TRUE;
}

TEST_F(InstalledModel, DriverPathsNameThePackageInThePrintersDriverFolder) {
    TestPrinter printer(L"mrl model paths", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok());
    ASSERT_FALSE(driver_folder(printer.handle()).empty());
    platform::spooler().GetPrinterDriverW = fake_driver;
    g_info = {};
    g_info.cVersion = 3;

    g_info.pName = const_cast<LPWSTR>(L"Heron HX6-300dpi");
    g_info.pDriverPath = const_cast<LPWSTR>(L"D:\\elsewhere\\ipl32k.dll");
    g_info.pDataFile = const_cast<LPWSTR>(L"D:\\elsewhere\\abc32eng.dll");
    {
        _MODEL m(printer.handle());
        EXPECT_TRUE(m.is_valid());
        EXPECT_STREQ(m.GetOEM(), "abc");
    }
    // No data file for the prefix in the printer's driver folder.
    g_info.pDriverPath = const_cast<LPWSTR>(L"C:\\x\\xyz32k.dll");
    _MODEL m(printer.handle());
    EXPECT_EQ(m.GetMDT(), nullptr);
}

TEST_F(InstalledModel, FoldersOutsideTheAnsiCodePage) {
    TestPrinter printer(L"mrl model non-ansi", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok());
    std::wstring installed = driver_folder(printer.handle());
    ASSERT_FALSE(installed.empty());
    // A driver folder whose name no ANSI code page holds whole (Cyrillic, CJK, a check mark).
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"mrl \u0416\u4E2D\u2713\\";
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, dir.c_str(), -1, nullptr, 0, nullptr, &lossy);
    ASSERT_TRUE(lossy) << "the folder name must not survive the ANSI code page";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring files[] = {L"zpl.ddt", L"omrxxeng.sfm", L"\u0451\u043B\u043A\u0430.sfm"};
    ASSERT_TRUE(CopyFileW((installed + files[0]).c_str(), (dir + files[0]).c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((installed + files[1]).c_str(), (dir + files[1]).c_str(), FALSE));

    // The model reads its data file there, and the set-up its predefined stocks.
    prtfile::SetDriverDirectory(dir.c_str());
    _MODEL model(printer.handle());
    EXPECT_TRUE(model.is_valid());
    prtformlist predefined(&model);
    EXPECT_TRUE(predefined.Load((dir + files[1]).c_str(), SFM_PREDEFINED));
    EXPECT_GT(predefined.Count(), 1);
    // A user's list file there is written and read back.
    EXPECT_TRUE(predefined.Save((dir + files[2]).c_str()));
    EXPECT_TRUE(prtfile::Exists((dir + files[2]).c_str()));
    prtformlist back(&model);
    EXPECT_TRUE(back.Load((dir + files[2]).c_str(), SFM_IMPORT));
    EXPECT_EQ(back.Count(), predefined.Count());

    for (const std::wstring &f : files)
        DeleteFileW((dir + f).c_str());
    RemoveDirectoryW(dir.c_str());
}

// A stdcall function, not a lambda: 32-bit x86 cannot convert a lambda to WINAPI.
BOOL WINAPI driver_info_denied(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST_F(InstalledModel, NoDriverInformationBuildsAnEmptyModel) {
    _MODEL none(nullptr);
    EXPECT_FALSE(none.is_valid());
    EXPECT_EQ(none.GetMDT(), nullptr);
    EXPECT_STREQ(none.GetPrefix(), "");

    TestPrinter printer(L"mrl model noinfo", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok());
    platform::spooler().GetPrinterDriverW = driver_info_denied;
    _MODEL denied(printer.handle());
    EXPECT_FALSE(denied.is_valid());
    platform::reset();
    // Allocation of the driver information failing is the same.
    mrl::allocation().alloc = [](size_t) -> void * { return nullptr; };
    _MODEL no_memory(printer.handle());
    platform::reset();
    EXPECT_FALSE(no_memory.is_valid());
}

} // namespace
