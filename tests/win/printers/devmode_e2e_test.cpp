// Device-mode rules end to end: real printer queues of the sample packages,
// the installed driver module, and Wine's winspool as a client of it.
#include "devmode/layout.h"
#include "installed_driver.h"
#include "test_printer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

DEVMODEW *as_dm(Bytes &b) { return reinterpret_cast<DEVMODEW *>(b.data()); }

Bytes stored_default(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    Bytes buf(needed ? needed : 1);
    if (!GetPrinterW(printer, 2, buf.data(), needed, &needed))
        return {};
    auto *info = reinterpret_cast<PRINTER_INFO_2W *>(buf.data());
    if (!info->pDevMode)
        return {};
    auto *p = reinterpret_cast<BYTE *>(info->pDevMode);
    return Bytes(p, p + info->pDevMode->dmSize + info->pDevMode->dmDriverExtra);
}

bool store_default(HANDLE printer, DEVMODEW *dm) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    Bytes buf(needed ? needed : 1);
    if (!GetPrinterW(printer, 2, buf.data(), needed, &needed))
        return false;
    auto *info = reinterpret_cast<PRINTER_INFO_2W *>(buf.data());
    info->pDevMode = dm;
    info->pSecurityDescriptor = nullptr;
    return SetPrinterW(printer, 2, buf.data(), 0);
}

// A printer of one sample model with its installed driver module loaded.
struct Queue {
    Queue(const wchar_t *name, const wchar_t *model) : printer(name, model) {
        if (printer.ok())
            driver = std::make_unique<InstalledDriver>(printer.handle());
    }
    bool ok() const { return printer.ok() && driver && driver->ok(); }

    // CDM_DRIVER_DEFAULT, optionally merged with an input device mode.
    Bytes driver_default(DEVMODEW *in = nullptr) {
        Bytes out(1460, 0xEE);
        LONG needed = 1460;
        if (!driver->convert(printer.wname(), in, as_dm(out), &needed, CDM_DRIVER_DEFAULT))
            return {};
        return out;
    }
    TestPrinter printer;
    std::unique_ptr<InstalledDriver> driver;
};

#define ASSERT_QUEUE(q) ASSERT_TRUE((q).ok()) << "printer error " << (q).printer.error()

Bytes public_only(SHORT copies) {
    Bytes b(220, 0);
    DEVMODEW *dm = as_dm(b);
    dm->dmSpecVersion = 0x0401;
    dm->dmDriverVersion = 0x0400;
    dm->dmSize = 220;
    dm->dmFields = DM_COPIES;
    dm->dmCopies = copies;
    return b;
}

// Hostile and foreign inputs and layout conversions are the core's merge and
// convert tests, the export's size answers win_exports; here each sample
// model's limits reach the merge through the installed module.
TEST(DriverDefault, EachModelsDefaultsAndCopyLimit) {
    struct Case {
        const wchar_t *printer, *model;
        SHORT copies, quality;
    } cases[] = {{L"mrl e2e copies 999", L"Kestrel KD42-203dpi", 999, 203},
                 {L"mrl e2e copies 0", L"Kestrel KT41-300dpi", 999, 300},
                 {L"mrl e2e copies 100000", L"Kestrel KT61-600dpi", 5000, 600}};
    for (auto &c : cases) {
        Queue q(c.printer, c.model);
        ASSERT_QUEUE(q);
        Bytes out = q.driver_default();
        ASSERT_EQ(out.size(), 1460u) << c.printer;
        EXPECT_EQ(std::wstring(as_dm(out)->dmDeviceName), c.printer);
        EXPECT_EQ(as_dm(out)->dmPrintQuality, c.quality);
        const endconfig *tail = prtconfig::get_tail(as_dm(out));
        ASSERT_NE(tail, nullptr);
        EXPECT_EQ(std::string(tail->prefix, 3), "zpl");
        for (SHORT asked : {SHORT(5000), SHORT(0)}) {
            Bytes in = public_only(asked), merged = q.driver_default(as_dm(in));
            ASSERT_FALSE(merged.empty());
            EXPECT_EQ(as_dm(merged)->dmCopies, asked ? c.copies : 1) << c.printer;
        }
    }
}

TEST(Setup, CreatedPrinterStoresThisDriversDefault) {
    Queue q(L"mrl e2e added", L"Osprey OX4-203dpi");
    ASSERT_QUEUE(q);
    Bytes stored = stored_default(q.printer.handle());
    ASSERT_EQ(stored.size(), 1460u);
    Bytes expected = q.driver_default();
    EXPECT_EQ(as_dm(stored)->dmPrintQuality, 203);
    EXPECT_EQ(as_dm(stored)->dmPaperWidth, as_dm(expected)->dmPaperWidth);
    EXPECT_EQ(as_dm(stored)->dmPaperLength, as_dm(expected)->dmPaperLength);
    EXPECT_NE(as_dm(stored)->dmPaperWidth, 0);
    const endconfig *tail = prtconfig::get_tail(as_dm(stored));
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(std::string(tail->prefix, 3), "tec");
    EXPECT_EQ(std::memcmp(stored.data() + 220, expected.data() + 220, 1240), 0);
}

TEST(Setup, UpgradeRewritesAnOldStoredDefault) {
    Queue q(L"mrl e2e upgrade", L"Kestrel KT41-300dpi");
    ASSERT_QUEUE(q);
    // An older, smaller device mode of another driver, with settings the rules accept.
    Bytes old(188 + 40, 0x33);
    DEVMODEW *o = as_dm(old);
    std::memset(o, 0, 188);
    wcscpy(o->dmDeviceName, L"mrl e2e upgrade");
    o->dmSpecVersion = 0x0320;
    o->dmDriverVersion = 0x0100;
    o->dmSize = 188;
    o->dmDriverExtra = 40;
    o->dmFields = DM_ORIENTATION | DM_COPIES;
    o->dmOrientation = 2;
    o->dmCopies = 12;
    ASSERT_TRUE(store_default(q.printer.handle(), o));
    ASSERT_NE(stored_default(q.printer.handle()).size(), 1460u);

    DRIVER_UPGRADE_INFO_1W info = {q.printer.wname(), nullptr};
    ASSERT_TRUE(q.driver->upgrade(1, reinterpret_cast<LPBYTE>(&info)));
    Bytes now = stored_default(q.printer.handle());
    ASSERT_EQ(now.size(), 1460u);
    EXPECT_EQ(as_dm(now)->dmOrientation, 2);
    EXPECT_EQ(as_dm(now)->dmCopies, 12);
    EXPECT_EQ(as_dm(now)->dmPrintQuality, 300);
    EXPECT_NE(prtconfig::get_tail(as_dm(now)), nullptr);

    // The printer-created event runs the same rewrite.
    ASSERT_TRUE(store_default(q.printer.handle(), o));
    EXPECT_TRUE(q.driver->event(q.printer.wname(), PRINTER_EVENT_INITIALIZE, 0, 0));
    EXPECT_EQ(stored_default(q.printer.handle()).size(), 1460u);
}

TEST(DocumentProperties, MergesStoredDefaultAndInputLikeWinspool) {
    Queue q(L"mrl e2e docprops", L"Kestrel KD42-203dpi");
    ASSERT_QUEUE(q);
    // A stored default with 3 copies, then a caller's input with landscape.
    Bytes stored = q.driver_default();
    as_dm(stored)->dmCopies = 3;
    ASSERT_TRUE(store_default(q.printer.handle(), as_dm(stored)));
    Bytes in = public_only(1);
    as_dm(in)->dmFields = DM_ORIENTATION;
    as_dm(in)->dmOrientation = 2;

    Bytes direct(1460, 0);
    DOCUMENTPROPERTYHEADER header = {};
    header.cbSize = sizeof header;
    header.hPrinter = q.printer.handle();
    header.pszPrinterName = q.printer.wname();
    header.pdmIn = as_dm(in);
    header.pdmOut = as_dm(direct);
    header.fMode = DM_IN_BUFFER | DM_OUT_BUFFER;
    ASSERT_EQ(q.driver->document(nullptr, reinterpret_cast<LPARAM>(&header)), 1);
    EXPECT_EQ(as_dm(direct)->dmCopies, 3);
    EXPECT_EQ(as_dm(direct)->dmOrientation, 2);

    // Wine's DocumentPropertiesW reaches the same export through the printer's config file.
    LONG size = DocumentPropertiesW(nullptr, q.printer.handle(), q.printer.wname(), nullptr, nullptr, 0);
    EXPECT_EQ(size, 1460);
    Bytes via_winspool(1460, 0);
    LONG r = DocumentPropertiesW(nullptr, q.printer.handle(), q.printer.wname(), as_dm(via_winspool), as_dm(in),
                                 DM_IN_BUFFER | DM_OUT_BUFFER);
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(via_winspool, direct);
}

TEST(Capabilities, AnswersFromTheMergedDeviceModeAndTheModel) {
    Queue q(L"mrl e2e caps", L"Heron HX6-300dpi");
    ASSERT_QUEUE(q);
    HANDLE h = q.printer.handle();
    auto caps = q.driver->caps;
    // What comes from the model and the merged device mode; fixed answers are constants in devcaps.cpp.
    EXPECT_EQ(caps(h, q.printer.wname(), DC_EXTRA, nullptr, nullptr), 1240u);
    EXPECT_EQ(caps(h, q.printer.wname(), DC_COPIES, nullptr, nullptr), 9999u);
    EXPECT_EQ(caps(h, q.printer.wname(), DC_ORIENTATION, nullptr, nullptr), 90u);
    for (WORD unknown : {WORD(0), WORD(22), WORD(DC_EMF_COMPLIANT)})
        EXPECT_EQ(caps(h, q.printer.wname(), unknown, nullptr, nullptr), static_cast<DWORD>(-1)) << unknown;

    WORD ext[2] = {};
    DWORD packed = caps(h, q.printer.wname(), DC_MAXEXTENT, ext, nullptr);
    EXPECT_EQ(ext[0], 1778);
    EXPECT_EQ(LOWORD(packed), 1778);
    EXPECT_EQ(HIWORD(packed), ext[1]);

    LONG res[2] = {};
    EXPECT_EQ(caps(h, q.printer.wname(), DC_ENUMRESOLUTIONS, res, nullptr), 1u);
    EXPECT_EQ(res[0], 300);
    EXPECT_EQ(res[1], 300);

    // A device mode asking for colour on a monochrome model: the merged fields say monochrome.
    Bytes in = public_only(1);
    as_dm(in)->dmFields = DM_COLOR;
    as_dm(in)->dmColor = 2;
    EXPECT_EQ(caps(h, q.printer.wname(), DC_FIELDS, nullptr, as_dm(in)), 0x6F0Fu);

    // Through Wine's own DeviceCapabilitiesW, which calls the export without a handle.
    EXPECT_EQ(DeviceCapabilitiesW(q.printer.wname(), L"LPT1:", DC_COPIES, nullptr, nullptr), 9999);
    EXPECT_EQ(DeviceCapabilitiesW(q.printer.wname(), L"LPT1:", DC_SIZE, nullptr, nullptr), 220);
}

} // namespace
