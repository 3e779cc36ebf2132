#include "printer.h"

#include "model/prtfile.h"
#include "platform/ddiui.h"

namespace mrlprint {

void report_unusable(const std::wstring &printer, const _MODEL &model) {
    err(L"\"%ls\": the driver has no usable record of model \"%ls\" (its driver data file is missing, does not "
        L"list the model, or its tables make no sense; see ddtc check)\n",
        shown(printer).c_str(), shown(model.GetModelName().wstring()).c_str());
}

PrinterModel::PrinterModel(const std::wstring &name, PRINTER_DEFAULTSW *defaults) {
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    handle_ = open_printer(name, defaults);
    if (!handle_)
        return;
    prtfile::UseDriverDirectoryOf(handle_);
    model_ = new _MODEL(handle_);
    if (!model_->is_valid())
        report_unusable(name, *model_);
}

PrinterModel::~PrinterModel() {
    delete model_;
    if (handle_)
        ClosePrinter(handle_);
    prtfile::SetDriverDirectory(nullptr);
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
}

} // namespace mrlprint
