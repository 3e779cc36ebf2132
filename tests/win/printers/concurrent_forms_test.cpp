// Stock lists written by several processes at once keep every stock: eight
// mrlprint imports race each other and the capability queries of this process,
// which save the list too. A query after a change in another process answers
// with the change.
#include "form_list.h"
#include "installed_driver.h"
#include "model/model.h"
#include "model/prtfile.h"
#include "module_path.h"
#include "store/prtreg.h"
#include "temp_files.h"
#include "test_printer.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kProcesses = 8, kStocksEach = 3;

std::string stock_name(int process, int i) { return "conc " + std::to_string(process) + "-" + std::to_string(i); }

// mrlprint forms PRINTER --import FILE, started and not waited for.
HANDLE start_import(const std::wstring &tool, const std::wstring &printer, const WString &file) {
    std::wstring line = L"\"" + tool + L"\" forms \"" + printer + L"\" --import \"" +
                        std::wstring(file.begin(), file.end()) + L"\"";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessW(tool.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(nul);
    if (!ok)
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// The offered stocks by name, with their paper size, as applications see them.
std::vector<std::pair<std::string, POINT>> offered(InstalledDriver &d, TestPrinter &p) {
    DWORD n = d.caps(p.handle(), p.wname(), DC_PAPERNAMES, nullptr, nullptr);
    std::vector<std::pair<std::string, POINT>> out;
    if (n == static_cast<DWORD>(-1))
        return out;
    std::vector<WCHAR> names(64 * n);
    std::vector<POINT> sizes(n);
    d.caps(p.handle(), p.wname(), DC_PAPERNAMES, names.data(), nullptr);
    d.caps(p.handle(), p.wname(), DC_PAPERSIZE, sizes.data(), nullptr);
    for (DWORD i = 0; i < n; ++i)
        out.emplace_back(std::string(&names[64 * i], &names[64 * i] + wcslen(&names[64 * i])), sizes[i]);
    return out;
}

int count_ours(const std::vector<std::pair<std::string, POINT>> &list) {
    int n = 0;
    for (auto &e : list)
        n += e.first.rfind("conc ", 0) == 0;
    return n;
}

// Removes this test's stocks from the machine-wide list.
void remove_ours(HANDLE printer) {
    prtfile::UseDriverDirectoryOf(printer);
    _MODEL model(printer);
    prtformlist list(&model);
    prtreg store(printer);
    list.Load(store);
    for (prtform *f = list.get_first(); f;) {
        prtform *next = f->get_next();
        if (std::string(f->get_name()).rfind("conc ", 0) == 0)
            delete f;
        f = next;
    }
    list.Save(store);
    prtfile::SetDriverDirectory(nullptr);
}

TEST(ConcurrentForms, ImportsAndQueriesInSeveralProcessesLoseNoStock) {
    TestPrinter printer(L"mrl concurrent forms", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok()) << printer.error();
    InstalledDriver driver(printer.handle());
    ASSERT_TRUE(driver.ok());
    std::wstring tool = built_module_path(L"tools\\mrlprint\\mrlprint.exe");
    ASSERT_NE(GetFileAttributesW(tool.c_str()), INVALID_FILE_ATTRIBUTES) << "mrlprint.exe not built";
    remove_ours(printer.handle());
    size_t before = offered(driver, printer).size();
    ASSERT_GT(before, 0u);

    std::vector<WString> files;
    for (int p = 0; p < kProcesses; ++p) {
        prtformlist list;
        for (int i = 0; i < kStocksEach; ++i)
            add_form(list, stock_name(p, i).c_str(), 0, 40000 + 1000 * p, 20000 + 1000 * i);
        files.push_back(temp_path("conc" + std::to_string(p) + ".sfm"));
        ASSERT_TRUE(list.Save(files.back().c_str()));
    }
    std::vector<HANDLE> imports;
    for (const WString &f : files)
        imports.push_back(start_import(tool, printer.name(), f));
    for (HANDLE h : imports)
        ASSERT_NE(h, nullptr);
    // Queries (which load and save the list too) while the imports run.
    int queries = 0;
    while (WaitForMultipleObjects(static_cast<DWORD>(imports.size()), imports.data(), TRUE, 0) == WAIT_TIMEOUT) {
        EXPECT_NE(driver.caps(printer.handle(), printer.wname(), DC_PAPERS, nullptr, nullptr), static_cast<DWORD>(-1));
        ++queries;
    }
    for (HANDLE h : imports) {
        DWORD rc = 1;
        GetExitCodeProcess(h, &rc);
        EXPECT_EQ(rc, 0u);
        CloseHandle(h);
    }
    EXPECT_GT(queries, 0);
    auto after = offered(driver, printer);
    EXPECT_EQ(count_ours(after), kProcesses * kStocksEach);
    EXPECT_EQ(after.size(), before + kProcesses * kStocksEach);

    // Another process changes one stock: the very next query shows it.
    prtformlist changed;
    add_form(changed, stock_name(0, 0).c_str(), 0, 60000, 30000);
    WString edit = temp_path("conc_edit.sfm");
    ASSERT_TRUE(changed.Save(edit.c_str()));
    ASSERT_EQ(run_tool({L"forms", printer.name(), L"--import", std::wstring(edit.begin(), edit.end())}).rc, 0u);
    bool seen = false;
    for (auto &e : offered(driver, printer))
        if (e.first == stock_name(0, 0))
            seen = e.second.x == 600 && e.second.y == 300;
    EXPECT_TRUE(seen);

    remove_ours(printer.handle());
    EXPECT_EQ(offered(driver, printer).size(), before);
}

} // namespace
