// A printer opened by name together with its model as the driver reads it,
// for the commands that act like the driver module: the module state the
// spooler would have made, and the data file read from the folder of the
// printer's driver (this program is not that module).
#pragma once

#include "command.h"
#include "model/model.h"

namespace mrlprint {

class PrinterModel {
public:
    // Reports a missing printer or an unusable model on stderr.
    explicit PrinterModel(const std::wstring &name, PRINTER_DEFAULTSW *defaults = nullptr);
    ~PrinterModel();
    PrinterModel(const PrinterModel &) = delete;
    PrinterModel &operator=(const PrinterModel &) = delete;

    // The printer is open and its model usable.
    bool ok() const { return model_ && model_->is_valid(); }
    HANDLE handle() const { return handle_; }
    _MODEL &model() const { return *model_; }

private:
    HANDLE handle_ = nullptr;
    _MODEL *model_ = nullptr;
};

// Every field of a device mode of this driver, decoded (as `devmode` prints it).
void print_devmode(const DEVMODEW *dm);

// "PRINTER: the driver has no usable record of model ..." on stderr.
void report_unusable(const std::wstring &printer, const _MODEL &model);

} // namespace mrlprint
