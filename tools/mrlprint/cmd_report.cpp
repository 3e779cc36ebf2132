// mrlprint report PRINTER [FILE]: the version report of the printer's about
// page, all eight sections as its Save writes them, without a window (support
// staff ask users for it). Without FILE the text goes to stdout.
#include "command.h"
#include "printer.h"

#include "diagnostics/report.h"
#include "foundation/memory.h"
#include "pageframe/prtui.h"
#include "platform/globals.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>

namespace {

int run(const mrlprint::Args &args) {
    mrlprint::PrinterModel printer(args[0]);
    if (!printer.ok())
        return 1;
    std::unique_ptr<prtui> ui(prtui::NewExtUI());
    if (ui)
        ui->init(printer.handle(), nullptr, 0);
    if (!ui || !ui->model()) {
        mrlprint::err(L"%ls: the driver cannot show this printer's settings\n", mrlprint::shown(args[0]).c_str());
        return 1;
    }
    // The version is the installed driver module's, as its about page shows it.
    MemBlock<DRIVER_INFO_2W> driver{static_cast<DRIVER_INFO_2W *>(MyGetPrinterDriver(printer.handle(), 2))};
    prtui::SetVersionFile(driver ? driver->pConfigFile : nullptr);
    report::Cache cache;
    std::string text = report::Saved(*ui, cache);
    prtui::SetVersionFile(nullptr);
    if (args.size() < 2) {
        // The file's bytes: no second CR before each LF.
        fflush(stdout);
        _setmode(_fileno(stdout), _O_BINARY);
        fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (!mrlprint::write_file(args[1], std::vector<unsigned char>(text.begin(), text.end()))) {
        mrlprint::err(L"%ls: cannot write the report (%ls)\n", mrlprint::shown(args[1]).c_str(),
                      mrlprint::error_text(GetLastError()).c_str());
        return 1;
    }
    mrlprint::out(L"report of %ls written to %ls\n", mrlprint::shown(args[0]).c_str(),
                  mrlprint::shown(args[1]).c_str());
    return 0;
}

} // namespace

MRLPRINT_COMMAND(L"report", L"PRINTER [FILE]  write the printer's version report (eight sections) to FILE or stdout",
                 run);
