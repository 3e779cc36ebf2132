// Exports called from many threads at once give the single-threaded answers:
// the model lock and the printer-data lock keep shared state consistent.
#include "installed_driver.h"
#include "test_printer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

struct Answers {
    Bytes driver_default; // DrvConvertDevMode CDM_DRIVER_DEFAULT
    Bytes merged;         // DrvDocumentPropertySheets without sheet info
    DWORD copies = 0;     // DrvDeviceCapabilities DC_COPIES
    DWORD extent = 0;     // DC_MAXEXTENT
};

Answers ask(InstalledDriver &d, TestPrinter &p, int which) {
    Answers a;
    switch (which) {
    case 0: {
        a.driver_default.assign(1460, 0);
        LONG needed = 1460;
        if (!d.convert(p.wname(), nullptr, reinterpret_cast<DEVMODEW *>(a.driver_default.data()), &needed,
                       CDM_DRIVER_DEFAULT))
            a.driver_default.clear();
        break;
    }
    case 1: {
        a.merged.assign(1460, 0);
        DOCUMENTPROPERTYHEADER h = {};
        h.cbSize = sizeof h;
        h.hPrinter = p.handle();
        h.pszPrinterName = p.wname();
        h.pdmOut = reinterpret_cast<DEVMODEW *>(a.merged.data());
        h.fMode = DM_OUT_BUFFER;
        if (d.document(nullptr, reinterpret_cast<LPARAM>(&h)) != 1)
            a.merged.clear();
        break;
    }
    default:
        a.copies = d.caps(p.handle(), p.wname(), DC_COPIES, nullptr, nullptr);
        a.extent = d.caps(p.handle(), p.wname(), DC_MAXEXTENT, nullptr, nullptr);
        break;
    }
    return a;
}

bool same(const Answers &x, const Answers &y) {
    return x.driver_default == y.driver_default && x.merged == y.merged && x.copies == y.copies &&
           x.extent == y.extent;
}

TEST(Stress, EightThreadsGiveTheSingleThreadedAnswers) {
    TestPrinter first(L"mrl stress KD42", L"Kestrel KD42-203dpi");
    TestPrinter second(L"mrl stress HM43", L"Heron HM43-300dpi");
    ASSERT_TRUE(first.ok() && second.ok());
    InstalledDriver d1(first.handle()), d2(second.handle());
    ASSERT_TRUE(d1.ok() && d2.ok());
    TestPrinter *printers[2] = {&first, &second};
    InstalledDriver *drivers[2] = {&d1, &d2};

    Answers expected[2][3];
    for (int p = 0; p < 2; ++p)
        for (int w = 0; w < 3; ++w) {
            expected[p][w] = ask(*drivers[p], *printers[p], w);
            ASSERT_TRUE(expected[p][w].copies || !expected[p][w].driver_default.empty() ||
                        !expected[p][w].merged.empty());
        }
    ASSERT_NE(expected[0][0].driver_default, expected[1][0].driver_default);

    constexpr int kThreads = 8, kCalls = 2000;
    std::atomic<int> mismatches{0}, calls{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCalls; ++i) {
                int p = (t + i) % 2, w = (t * 7 + i) % 3;
                if (!same(ask(*drivers[p], *printers[p], w), expected[p][w]))
                    ++mismatches;
                ++calls;
            }
        });
    for (auto &th : threads)
        th.join();
    EXPECT_EQ(calls.load(), kThreads * kCalls);
    EXPECT_EQ(mismatches.load(), 0);
}

} // namespace
