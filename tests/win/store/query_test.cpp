// Printer queries and raw documents through the spooler. The port software is
// a stand-in behind the seam that answers like a label printer; raw documents
// go through Wine's spooler to a port that is a Unix file.
#include "driver_env.h"
#include "store_env.h"

#include "foundation/memory.h"
#include "foundation/util.h"
#include "store/printerquery.h"

#include <cstring>
#include <map>

MRL_DRIVER_ENVIRONMENT();

namespace {

using store_env::boxes;

// Three status lines, each framed by STX .. ETX CR LF, as a printer answers ~HS.
const std::string kHostStatus = "\x02"
                                "030,0,0,1245,000,0,0,0,000,0,0,0\x03\r\n"
                                "\x02"
                                "000,0,0,0,0,2,4,0,00000000,1,000\x03\r\n"
                                "\x02"
                                "1234,0\x03\r\n";

// What the stand-in port saw and how it answers.
struct Port {
    std::map<std::string, std::string> answers{{"~HS", kHostStatus}};
    DWORD status_override = 0;
    std::string last_cmd;
    QueryRequest last = {};
    DWORD last_size = 0;
    int calls = 0;
} port;

DWORD WINAPI label_printer(HANDLE, LPWSTR name, LPDWORD, LPBYTE buf, DWORD size, LPDWORD needed) {
    ++port.calls;
    port.last_size = size;
    uint16_t len_unit = name[kQueryValueNameUnits + 1];
    LONG avail = kQueryHeaderBytes + (len_unit == kQueryNoLength ? 0 : len_unit);
    if (!ParseQueryRequest(name, avail, &port.last))
        return ERROR_INVALID_PARAMETER;
    port.last_cmd.assign(reinterpret_cast<const char *>(port.last.cmd), port.last.cmd_len);
    if (port.status_override)
        return port.status_override;
    auto it = port.answers.find(port.last_cmd);
    if (it == port.answers.end())
        return ERROR_FILE_NOT_FOUND; // the printer did not answer in time
    *needed = static_cast<DWORD>(it->second.size());
    if (size < it->second.size())
        return ERROR_MORE_DATA;
    std::memcpy(buf, it->second.data(), it->second.size());
    return 0;
}

// The one message box shown, by string ids; type 0 is not checked.
void expect_box(const std::wstring &text, const wchar_t *caption, UINT type = 0) {
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text);
    EXPECT_EQ(boxes()[0].caption, caption);
    if (type) {
        EXPECT_EQ(boxes()[0].type, type);
    }
    boxes().clear();
}

class Query : public store_env::BoxTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(store_env::ensure_driver()); }
    void SetUp() override {
        BoxTest::SetUp();
        port = Port{};
        platform::spooler().GetPrinterDataW = label_printer;
        ASSERT_TRUE(printer.ok()) << printer.error();
    }
    // The reply buffer is prefilled with 0xEE; len is left as it was on failure.
    int ask(TestPrinter &p, const char *cmd, unsigned reply_size, unsigned min_reply, unsigned short *len = nullptr,
            std::string *reply = nullptr) {
        std::string buf(reply_size ? reply_size : 1, '\xEE');
        unsigned short n = 77;
        int ok = VXGetPrinterData(nullptr, p.handle(), nullptr, cmd, static_cast<unsigned>(std::strlen(cmd)), &buf[0],
                                  reply_size, min_reply, len ? len : &n);
        if (reply)
            *reply = buf;
        return ok;
    }
    store_env::UnixPort file{L"query"};
    TestPrinter printer{L"MRL Query Printer", store_env::kDriver, file.port};
};

TEST_F(Query, StatusLinesByteForByte) {
    unsigned short len = 0;
    std::string reply;
    EXPECT_EQ(ask(printer, "~HS", 256, 82, &len, &reply), 1);
    ASSERT_EQ(len, kHostStatus.size());
    EXPECT_EQ(reply.substr(0, len), kHostStatus);
    EXPECT_EQ(reply[len], '\xEE'); // nothing written past the answer
    EXPECT_EQ(port.last_cmd, "~HS");
    EXPECT_EQ(port.last.min_reply, 82u);
    EXPECT_EQ(port.last_size, 256u);

    // More than the buffer holds counts as success, clamped to the buffer.
    EXPECT_EQ(ask(printer, "~HS", 20, 82, &len, &reply), 1);
    EXPECT_EQ(len, 20);
    EXPECT_EQ(reply.substr(0, 4), std::string(4, '\0')); // cleared before the call
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Query, ShortAnswerOrSilenceIsReported) {
    port.answers["~HI"] = "\x02ZD\x03";
    unsigned short len = 77;
    EXPECT_EQ(ask(printer, "~HI", 100, 10, &len), 0);
    EXPECT_EQ(len, 77); // untouched on failure
    expect_box(L"#1229", L"#476", MB_ICONWARNING);

    port.status_override = ERROR_BUSY;
    EXPECT_EQ(ask(printer, "~HS", 100, 0), 0);
    expect_box(L"#1236", L"#476");

    // An empty command counts as answered whatever the port says; no reply wanted is sent as such.
    EXPECT_EQ(ask(printer, "", 0, 0, &len), 1);
    EXPECT_FALSE(port.last.wants_reply);
    EXPECT_EQ(port.last_size, 1u);
    EXPECT_EQ(len, 0);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Query, ParallelPortNeverAnswers) {
    TestPrinter lpt(L"MRL Query LPT", store_env::kDriver, L"LPT1:");
    ASSERT_TRUE(lpt.ok()) << lpt.error();
    EXPECT_EQ(ask(lpt, "~HS", 256, 82), 0);
    EXPECT_EQ(port.calls, 1); // asked, but the answer does not count
    expect_box(L"#1239", L"#476");
}

TEST_F(Query, EnquiryWithoutAnswer) {
    EXPECT_EQ(ask(printer, "<ENQ>", 16, 1), 0);
    expect_box(L"#1263 " + file.port, L"#1264", MB_ICONINFORMATION);
    // "<ENQ>" must be the whole command.
    ask(printer, "<ENQ>x", 16, 1);
    expect_box(L"#1229", L"#476");
}

// On a serial port, silence is blamed on a port setting Windows cannot use.
TEST_F(Query, EnquiryOnASerialPort) {
    TestPrinter com(L"MRL Query COM", store_env::kDriver, L"COM2:");
    ASSERT_TRUE(com.ok()) << com.error();
    HKEY ports;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, PORTS_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &ports, nullptr),
              0);
    auto set = [&](const wchar_t *setting) {
        RegSetValueExW(ports, L"COM2:", 0, REG_SZ, reinterpret_cast<const BYTE *>(setting),
                       static_cast<DWORD>((wcslen(setting) + 1) * 2));
    };
    set(L"baud=fast");
    EXPECT_EQ(ask(com, "<ENQ>", 16, 1), 0);
    expect_box(L"#1233", L"#474", MB_ICONWARNING);
    set(L"9600,n,8,1");
    EXPECT_EQ(ask(com, "<ENQ>", 16, 1), 0);
    EXPECT_TRUE(boxes().empty());

    WCHAR *setting = GetCurrentPortSettingFromRegistry(L"COM2:");
    ASSERT_NE(setting, nullptr);
    EXPECT_EQ(std::wstring(setting), L"9600,n,8,1");
    MEMFREE(setting);
    EXPECT_EQ(GetCurrentPortSettingFromRegistry(L"NOPORT:"), nullptr);
    RegDeleteValueW(ports, L"COM2:");
    RegCloseKey(ports);
}

TEST_F(Query, CleansUpTheQueryValue) {
    // Port software may leave the request's value behind in the printer's data.
    DWORD value = 1, type, needed;
    for (const wchar_t *name : {L"MRLGetPrinterData", L"Keep"})
        ASSERT_EQ(SetPrinterDataW(printer.handle(), const_cast<LPWSTR>(name), REG_DWORD,
                                  reinterpret_cast<BYTE *>(&value), 4),
                  0u);
    ask(printer, "~HS", 256, 82);
    auto get = [&](const wchar_t *name) {
        return GetPrinterDataW(printer.handle(), const_cast<LPWSTR>(name), &type, reinterpret_cast<BYTE *>(&value),
                               4, &needed);
    };
    EXPECT_EQ(get(L"MRLGetPrinterData"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(get(L"Keep"), 0u);
}

TEST(RegistrySearch, DeletesTheValueInEveryMatchingSubkey) {
    HKEY root;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\MrlSearchTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &root, nullptr),
              0);
    DWORD one = 1;
    auto put = [&](const wchar_t *path, const wchar_t *value) {
        HKEY k;
        RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
        RegSetValueExW(k, value, 0, REG_DWORD, reinterpret_cast<BYTE *>(&one), 4);
        RegCloseKey(k);
    };
    auto has = [&](const wchar_t *path, const wchar_t *value) {
        HKEY k;
        if (RegOpenKeyExW(root, path, 0, KEY_READ, &k) != 0)
            return false;
        bool found = RegQueryValueExW(k, value, nullptr, nullptr, nullptr, nullptr) == 0;
        RegCloseKey(k);
        return found;
    };
    for (const wchar_t *value : {L"Target", L"Other", L"Zeta"})
        put(L"A\\PrinterDriverData", value);
    put(L"B\\Deep\\printerdriverdata", L"TARGET");
    put(L"B\\Target", L"Target"); // not below a matching key: stays
    put(L"C", L"Target");

    VXFindAndDeleteRegValue(root, L"PrinterDriverData", L"Target");
    EXPECT_FALSE(has(L"A\\PrinterDriverData", L"Target") || has(L"B\\Deep\\printerdriverdata", L"TARGET"));
    EXPECT_TRUE(has(L"A\\PrinterDriverData", L"Other") && has(L"A\\PrinterDriverData", L"Zeta"));
    EXPECT_TRUE(has(L"B\\Target", L"Target") && has(L"C", L"Target"));
    RegCloseKey(root);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\MrlSearchTest");
}

class RawJob : public store_env::BoxTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(store_env::ensure_driver()); }
    store_env::UnixPort file{L"raw"};
    TestPrinter printer{L"MRL Raw Printer", store_env::kDriver, file.port};
};

TEST_F(RawJob, BytesArriveAtThePort) {
    ASSERT_TRUE(printer.ok()) << printer.error();
    std::string label = "^XA^FO50,50^A0N,40,40^FDLabel\x01\x00\xFF^FS^XZ";
    label.push_back('\0');
    EXPECT_EQ(VXWritePrinterData(nullptr, printer.handle(), label.data(), static_cast<unsigned>(label.size()), nullptr),
              1);
    EXPECT_EQ(file.contents(), label);
    EXPECT_TRUE(boxes().empty());

    // An empty document is still a document.
    EXPECT_EQ(VXWritePrinterData(nullptr, printer.handle(), nullptr, 0, nullptr), 1);
    EXPECT_EQ(file.contents(), "");
}

TEST_F(RawJob, FailureShowsTheSendCaption) {
    HANDLE closed = nullptr;
    ASSERT_TRUE(OpenPrinterW(printer.wname(), &closed, nullptr));
    ClosePrinter(closed);
    EXPECT_EQ(VXWritePrinterData(nullptr, closed, "x", 1, nullptr), 0);
    expect_box(L"#1240", L"#477"); // invalid handle
}

} // namespace
