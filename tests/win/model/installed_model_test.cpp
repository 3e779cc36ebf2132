// Model records built from real printer handles as the driver module does
// inside the spooler: driver paths, folders and failing spooler answers. Every
// sample model's records are checked where printers are set up (win_printers).
#include <gtest/gtest.h>

#include "driver_env.h"
#include "model/model.h"
#include "model/prtfile.h"
#include "foundation/memory.h"
#include "platform/seam.h"
#include "store/prtform.h"
#include "test_printer.h"

#include <cstring>

MRL_DRIVER_ENVIRONMENT();

namespace {

// The installed driver's folder, where its data files lie.
std::wstring driver_folder(HANDLE printer) {
    if (!prtfile::UseDriverDirectoryOf(printer))
        return L"";
    WCHAR dir[520];
    prtfile::GetDriverDirectory(dir, 520);
    return dir;
}

class InstalledModel : public ::testing::Test {
protected:
    void TearDown() override {
        prtfile::SetDriverDirectory(nullptr);
        platform::reset();
    }
};

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
