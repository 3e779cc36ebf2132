// 10 MB through the driver's printer stream (one job, raw-data escapes taken by
// the package's stand-in renderer) against WritePrinter of the same bytes in
// one raw job, both to the virtual label printer, in the same run. Each send
// is timed until the printer has kept the whole job.
#include "virtual_printer.h"

#include "model/prtfile.h"
#include "pageframe/prtui.h"
#include "platform/ddiui.h"
#include "test_printer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

double now_s() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Waits until job number n of the printer holds size bytes.
bool kept(const std::wstring &dir, int n, size_t size) {
    wchar_t name[32];
    swprintf(name, 32, L"\\job-%04d.prn", n);
    for (int i = 0; i < 6000; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA a;
        if (GetFileAttributesExW((dir + name).c_str(), GetFileExInfoStandard, &a) && a.nFileSizeLow == size)
            return true;
        Sleep(5);
    }
    return false;
}

} // namespace

int wmain() {
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring dos = std::wstring(tmp) + L"vprinter-bench-" + std::to_wstring(GetCurrentProcessId());
    std::wstring port = vprinter::pipe_port(dos, MRL_VPRINTER);
    auto printer = std::make_unique<TestPrinter>(L"mrl output bench", L"Heron HC43-203dpi", port);
    if (port.empty() || !printer->ok()) {
        fprintf(stderr, "output bench: no virtual printer (%lu)\n", printer->error());
        return 1;
    }
    std::wstring dir = vprinter::directory(printer->handle());
    prtfile::UseDriverDirectoryOf(printer->handle());
    std::unique_ptr<prtui> ui(prtui::NewExtUI());
    ui->init(printer->handle(), nullptr, 0);
    extstream &st = *ui->stream();

    const size_t size = 10u << 20;
    std::vector<char> data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = char('a' + i % 26); // no command: the printer keeps it without drawing
    std::vector<double> stream_s, raw_s;
    int job = 0;
    for (int round = 0; round < 3; ++round) {
        double t0 = now_s();
        st.StartJob(L"bench");
        for (size_t at = 0; at < size; at += prtstream::kPacket)
            st.write_direct(data.data() + at, long(std::min<size_t>(prtstream::kPacket, size - at)));
        bool ok = st.EndJob() && kept(dir, ++job, size);
        stream_s.push_back(now_s() - t0);

        t0 = now_s();
        DOC_INFO_1W doc = {const_cast<LPWSTR>(L"bench raw"), nullptr, const_cast<LPWSTR>(L"RAW")};
        DWORD written = 0;
        ok &= StartDocPrinterW(printer->handle(), 1, reinterpret_cast<LPBYTE>(&doc)) &&
              WritePrinter(printer->handle(), data.data(), DWORD(size), &written) && written == size;
        EndDocPrinter(printer->handle());
        ok &= kept(dir, ++job, size);
        raw_s.push_back(now_s() - t0);
        if (!ok) {
            fprintf(stderr, "output bench: a job did not reach the virtual printer whole\n");
            return 1;
        }
    }
    std::sort(stream_s.begin(), stream_s.end());
    std::sort(raw_s.begin(), raw_s.end());
    double s = stream_s[1], r = raw_s[1];
    printf("10 MB through prtstream: %.3f s; WritePrinter in one raw job: %.3f s; ratio %.2f (target at most 1.2)\n",
           s, r, s / r);
    ui.reset();
    printer.reset();
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
    return 0;
}
