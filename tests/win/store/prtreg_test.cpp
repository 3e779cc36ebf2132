// The printer data store against Wine's spooler and registry: what each route
// really writes, read back with the plain Win32 calls.
#include "driver_env.h"
#include "store_env.h"
#include "stored_values.h"

#include "foundation/util.h"

#include <cstring>

MRL_DRIVER_ENVIRONMENT();

namespace {

class PrinterStore : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(store_env::ensure_driver()); }
    void SetUp() override {
        ASSERT_TRUE(printer.ok()) << "AddPrinterW failed: " << printer.error();
        store.init(printer.handle(), printer.wname());
        store_env::clear_global_key();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\MrlStoreTest");
    }
    void TearDown() override {
        platform::reset();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\MrlStoreTest");
    }

    TestPrinter printer{L"MRL Store Printer", store_env::kDriver};
    prtreg store;
};

TEST_F(PrinterStore, ThreeRoutes) {
    const unsigned char a[] = {0xA1, 0, 0, 0x80};
    const unsigned char b[] = {0xB2, 1};
    const unsigned char c[] = {0xC3};
    ASSERT_TRUE(store.SaveRaw("Route", a, 4, false));
    store.SetPath("Software\\MrlStoreTest\\X");
    ASSERT_TRUE(store.SaveRaw("Route", b, 2, false));
    ASSERT_TRUE(store.SaveRaw("Route", c, 1, true));
    store.SetPath(nullptr);

    DWORD type = 0;
    EXPECT_EQ(printer_value(printer.handle(), "Route", &type), std::string("\xA1\0\0\x80", 4));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(machine_value("Software\\MrlStoreTest\\X", "Route"), std::string("\xB2\x01", 2));
    EXPECT_EQ(machine_value("System\\CurrentControlSet\\Control\\Print\\Marlin", "Route", &type), "\xC3");
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    // And back through the store, each from its own place.
    unsigned char buf[4] = {};
    ASSERT_TRUE(store.LoadRaw("Route", buf, 4, false));
    EXPECT_EQ(std::memcmp(buf, a, 4), 0);
    ASSERT_TRUE(store.LoadRaw("Route", buf, 1, true));
    EXPECT_EQ(buf[0], 0xC3);
    store.SetPath("Software\\MrlStoreTest\\X");
    std::memset(buf, 0xEE, sizeof buf);
    ASSERT_TRUE(store.LoadRaw("Route", buf, 3, false));
    EXPECT_EQ(std::string(reinterpret_cast<char *>(buf), 4), std::string("\xB2\x01\0\xEE", 4));
}

// Keys stay open between reads; a key deleted and made again meanwhile is read afresh,
// and a new path never reads through the old one's key.
TEST_F(PrinterStore, KeptKeysFollowDeletionAndPathChanges) {
    const unsigned char one[] = {1}, two[] = {2};
    ASSERT_TRUE(store.SaveRaw("Kept", one, 1, true));
    unsigned char buf[1] = {};
    ASSERT_TRUE(store.LoadRaw("Kept", buf, 1, true));
    store_env::clear_global_key();
    EXPECT_FALSE(store.LoadRaw("Kept", buf, 1, true));
    ASSERT_TRUE(store.SaveRaw("Kept", two, 1, true));
    ASSERT_TRUE(store.LoadRaw("Kept", buf, 1, true));
    EXPECT_EQ(buf[0], 2);

    store.SetPath("Software\\MrlStoreTest\\A");
    ASSERT_TRUE(store.SaveRaw("Kept", one, 1, false));
    ASSERT_TRUE(store.LoadRaw("Kept", buf, 1, false));
    store.SetPath("Software\\MrlStoreTest\\B");
    EXPECT_FALSE(store.LoadRaw("Kept", buf, 1, false));
}

// The spooler's answers to a value longer than asked for, or not there at all.
TEST_F(PrinterStore, SizeRulesAgainstTheSpooler) {
    const unsigned char six[] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(store.SaveRaw("Six", six, 6, false));
    unsigned char buf[8];
    std::memset(buf, 0xEE, sizeof buf);
    EXPECT_FALSE(store.LoadRaw("Six", buf, 5, false));
    EXPECT_FALSE(store.LoadRaw("Nothing", buf, 8, false));
    EXPECT_FALSE(store.LoadRaw("Nothing", buf, 8, true)); // the machine-wide key does not exist yet
    EXPECT_EQ(buf[0], 0xEE);
    ASSERT_TRUE(store.LoadRaw("Six", buf, 7, false));
    EXPECT_EQ(std::string(reinterpret_cast<char *>(buf), 8), std::string("\1\2\3\4\5\6\0\xEE", 8));
}

// Nobody checks the type of a stored value: a string where a binary value is
// expected, or a number where a string is, reads as its bytes, and a string
// read stays terminated.
TEST_F(PrinterStore, ValuesOfAnotherTypeReadAsTheirBytes) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, GLOBAL_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    const DWORD number = 0x41424344; // "DCBA"
    RegSetValueExA(key, "Form Count", 0, REG_SZ, reinterpret_cast<const BYTE *>("7"), 2);
    RegSetValueExA(key, "Folder", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), 4);
    RegCloseKey(key);
    unsigned char buf[8];
    std::memset(buf, 0xEE, sizeof buf);
    ASSERT_TRUE(store.LoadRaw("Form Count", buf, 4, true));
    EXPECT_EQ(std::string(reinterpret_cast<char *>(buf), 5), std::string("7\0\0\0\xEE", 5));
    std::memset(buf, 0xEE, sizeof buf);
    ASSERT_TRUE(store.LoadStr("Folder", buf, 8, true));
    EXPECT_STREQ(reinterpret_cast<char *>(buf), "DCBA");
    EXPECT_FALSE(store.LoadStr("Folder", buf, 3, true)); // longer than asked for
}

TEST_F(PrinterStore, Strings) {
    const unsigned char dir[] = "C:\\labels";
    ASSERT_TRUE(store.SaveStr("Log Directory", dir, sizeof dir, false));
    DWORD type = 0;
    EXPECT_EQ(printer_value(printer.handle(), "Log Directory", &type), std::string("C:\\labels", sizeof dir));
    EXPECT_EQ(type, DWORD(REG_SZ));
    unsigned char buf[260];
    ASSERT_TRUE(store.LoadStr("Log Directory", buf, 260, false));
    EXPECT_STREQ(reinterpret_cast<char *>(buf), "C:\\labels");

    ASSERT_TRUE(store.SaveStr("Folder", dir, sizeof dir, true));
    EXPECT_EQ(machine_value("System\\CurrentControlSet\\Control\\Print\\Marlin", "Folder", &type),
              std::string("C:\\labels", sizeof dir));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(PrinterStore, DriverPathAndBareHandle) {
    store.SetDriverPath();
    const unsigned char files[] = "mrl32ui.dll";
    ASSERT_TRUE(store.SaveRaw("Dependent Files", files, sizeof files, false));
    std::string key = "System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-2\\"
                      "MRL Store Printer";
    EXPECT_EQ(machine_value(key.c_str(), "Dependent Files"), std::string("mrl32ui.dll", sizeof files));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());

    // A store made from the handle alone reads the same printer data.
    const unsigned char v[] = {7};
    prtreg(printer.handle()).SaveRaw("Bare", v, 1, false);
    EXPECT_EQ(printer_value(printer.handle(), "Bare"), "\x07");
}

} // namespace
