// Printer creation under the real spooler: every sample model finds its model
// records and gets its OEM's predefined stocks and the directory values, and applications see the same
// stocks through the system's DeviceCapabilitiesW as the form list holds.
#include "model/model.h"
#include "model/prtfile.h"
#include "store/prtform.h"
#include "store/prtreg.h"
#include "driver_env.h"
#include "installed_driver.h"
#include "stored_values.h"
#include "test_printer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

MRL_DRIVER_ENVIRONMENT();

namespace {

struct Sample {
    const wchar_t *model;
    const char *oem;
};
const Sample kSamples[] = {
    {L"Kestrel KD42-203dpi", "omr"},    {L"Kestrel KT41-300dpi", "omr"},  {L"Kestrel KT61-600dpi", "omr"},
    {L"Kestrel KD88-203dpi", "omr"},    {L"Heron HC43-203dpi", "oin"}, {L"Heron HM43-300dpi", "oin"},
    {L"Heron HX6-300dpi", "oin"},  {L"Osprey OX4-203dpi", "ott"},  {L"Osprey OX4S-305dpi Spot", "ott"},
    {L"Osprey OX8-305dpi CMYK", "ott"}};

std::wstring config_folder(HANDLE printer) {
    std::wstring path = driver_config_file(printer);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

TEST(PrinterSetup, StoresTheDirectoriesMachineWide) {
    TestPrinter printer(L"mrl setup dirs", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok()) << printer.error();
    DWORD type = 0;
    std::string drv = machine_value(GLOBAL_KEY, "DriverDirectory", &type), sys = machine_value(GLOBAL_KEY, "SystemDirectory");
    ASSERT_EQ(type, DWORD(REG_BINARY));
    ASSERT_EQ(drv.size(), 520u);
    ASSERT_EQ(sys.size(), 520u);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(drv.data())), config_folder(printer.handle()));
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(sys.data())), system);
    // Zero-padded: nothing of the module's file name after the folder's terminator.
    for (const std::string &value : {drv, sys}) {
        size_t end = (wcslen(reinterpret_cast<const wchar_t *>(value.data())) + 1) * 2;
        EXPECT_EQ(value.substr(end), std::string(520 - end, '\0'));
    }
}

TEST(PrinterSetup, EveryModelOffersItsStocksThroughDeviceCapabilities) {
    for (const Sample &s : kSamples) {
        SCOPED_TRACE(testing::Message() << "model " << std::string(s.model, s.model + wcslen(s.model)));
        std::wstring name = std::wstring(L"mrl setup ") + s.model;
        TestPrinter printer(name, s.model);
        ASSERT_TRUE(printer.ok()) << printer.error();

        // The list as the driver holds it for this printer.
        ASSERT_TRUE(prtfile::UseDriverDirectoryOf(printer.handle()));
        _MODEL model(printer.handle());
        ASSERT_TRUE(model.is_valid());
        EXPECT_STREQ(model.GetOEM(), s.oem);
        EXPECT_TRUE(model.GetEXTPDT() && GetSymbologyData(model.GetVXM(), 29));
        prtformlist forms(&model);
        prtreg store(printer.handle());
        forms.Load(store);
        prtfile::SetDriverDirectory(nullptr);

        int predefined = 0, global = 0;
        for (prtform *f = forms.get_first(); f; f = f->get_next()) {
            predefined += f->is_predefined();
            global += f->is_predefined() && f->is_global();
        }
        EXPECT_GT(predefined, 0) << "no predefined stocks installed";
        // The driver maker's own package installs them machine-wide as well.
        if (std::string(s.oem) == "omr")
            EXPECT_EQ(global, predefined);
        else
            EXPECT_EQ(global, 0);

        LONG n = forms.enum_paper_id(nullptr);
        std::vector<unsigned short> ids(n);
        std::vector<POINT> sizes(n);
        std::vector<WCHAR> names(64 * n);
        forms.enum_paper_id(ids.data());
        forms.enum_paper_size(sizes.data());
        forms.enum_paper_name(names.data());

        // The same through winspool, which loads the driver and calls it without a handle.
        LPCWSTR port = L"LPT1:";
        ASSERT_EQ(DeviceCapabilitiesW(printer.wname(), port, DC_PAPERS, nullptr, nullptr), n);
        std::vector<WORD> w_ids(n);
        std::vector<POINT> w_sizes(n);
        std::vector<WCHAR> w_names(64 * n);
        EXPECT_EQ(DeviceCapabilitiesW(printer.wname(), port, DC_PAPERS, reinterpret_cast<LPWSTR>(w_ids.data()), nullptr), n);
        EXPECT_EQ(DeviceCapabilitiesW(printer.wname(), port, DC_PAPERSIZE, reinterpret_cast<LPWSTR>(w_sizes.data()), nullptr), n);
        EXPECT_EQ(DeviceCapabilitiesW(printer.wname(), port, DC_PAPERNAMES, w_names.data(), nullptr), n);
        EXPECT_EQ(std::vector<WORD>(ids.begin(), ids.end()), w_ids);
        EXPECT_EQ(std::memcmp(sizes.data(), w_sizes.data(), n * sizeof(POINT)), 0);
        EXPECT_EQ(names, w_names);
        EXPECT_EQ(DeviceCapabilitiesW(printer.wname(), port, 22, nullptr, nullptr), -1);
    }
}

} // namespace
