#include "prtui.h"
#include "windowhook.h"

#include "../devmode/layout.h"
#include "../devmode/model_devmode.h"
#include "../devmode/rules.h"
#include "../foundation/util.h"
#include "../platform/globals.h"
#include "../platform/seam.h"
#include "prtpage.h"

#include <cwchar>
#include <new>
#include <utility>

namespace {
constexpr LONG kSheetIcon = 64082;
constexpr LONG kStartOnLastPage = 9990;

LONG dm_size(const DEVMODEW *dm) { return static_cast<LONG>(dm->dmSize) + dm->dmDriverExtra; }
} // namespace

prtui *prtui::NewExtUI() { return new (std::nothrow) extui; }

namespace {
WCHAR version_file[MAX_PATH];
} // namespace

void prtui::SetVersionFile(const WCHAR *path) {
    version_file[0] = 0;
    if (path)
        lstrcpynW(version_file, path, MAX_PATH);
}

bool prtui::LoadFileVersionInfo() {
    if (version_info_)
        return true;
    WCHAR file[MAX_PATH + 1] = {};
    if (version_file[0])
        lstrcpynW(file, version_file, MAX_PATH);
    else
        GetModuleFileNameW(ghInstance, file, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(file, &handle);
    if (!size)
        return false;
    MemBlock<BYTE> block = MemBlock<BYTE>::alloc(size);
    if (!block || !GetFileVersionInfoW(file, 0, size, block.get()))
        return false;
    version_info_ = std::move(block);
    return true;
}

bool prtui::version_value(const WCHAR *key, OString &out) {
    if (!LoadFileVersionInfo())
        return false;
    WCHAR query[64] = L"\\StringFileInfo\\000004B0\\";
    lstrcatW(query, key);
    WCHAR *value = nullptr;
    UINT chars = 0;
    if (!VerQueryValueW(version_info_.get(), query, reinterpret_cast<void **>(&value), &chars) || !value)
        return false;
    out = value;
    return true;
}

void prtui::GetVersionInfo(OString &out) { version_value(L"ProductVersion", out); }

void prtui::GetDrvName(OString &out) { version_value(L"FileDescription", out); }

void prtui::GetBuild(OString &out) { version_value(L"PrivateBuild", out); }

void prtui::GetCopyRight(OString &out) {
    OString value;
    if (!version_value(L"LegalCopyright", value))
        return;
    const WCHAR *text = value.wstring();
    const WCHAR *mark = wcsstr(text, L"(c)");
    if (locale_.GetCurrentCP() != 1252 || !mark) {
        out = text;
        return;
    }
    // Windows-1252 has the sign itself.
    out = L"Copyright \u00A9";
    out += wcslen(mark) >= 4 ? mark + 4 : L"";
}

prtui::prtui() = default;

prtui::~prtui() {
    WindowHook_Release(this);
    delete model_;
}

void prtui::init(HANDLE hPrinter, DEVMODEW *pdmIn, DWORD flags) {
    mode_flags_ = flags;
    printer_ = hPrinter;
    model_ = new (std::nothrow) _MODEL(hPrinter);
    if (!model_)
        return;
    MemBlock<PRINTER_INFO_2W> info{MyGetPrinter(hPrinter, 2)};
    if (!info || !model_->is_valid()) {
        delete model_;
        model_ = nullptr;
        return;
    }
    printer_name_ = info->pPrinterName;
    port_name_ = info->pPortName;
    driver_name_ = info->pDriverName;
    devmode_ = NewDevmode(*model_, info->pPrinterName);
    if (devmode_) {
        MergeDevmode(*model_, devmode_.get(), info->pDevMode);
        if (flags & DM_IN_BUFFER)
            MergeDevmode(*model_, devmode_.get(), pdmIn);
    }
    info.reset();
    InitEx();
}

void prtui::InitEx() {
    prtreg reg;
    reg.init(printer_, printer_name_.wstring());
    locale_.Load(reg, model_);
}

PrinterTarget prtui::target() {
    PrinterTarget t;
    t.printer = printer_;
    t.printer_name = printer_name_.wstring();
    t.port_name = port_name_.wstring();
    t.devmode = devmode_.get();
    t.locale = &locale_;
    t.dpi = model_ && model_->GetPDT() ? model_->GetPDT()->dpi : 0;
    return t;
}

void extui::InitEx() {
    prtui::InitEx();
    stream_.init(this);
}

void prtstream::init(prtui *ui) {
    if (ui)
        init(ui, ui->target());
    else
        init();
}

void PrtTest(prtui *ui, long) {
    _MODEL *model = ui ? ui->model() : nullptr;
    if (!model || !model->is_valid())
        return;
    PrintTestPage(ui->target(), model->GetPDT()->printer_dpi, (model->GetVXM()->line_command & 1) != 0);
}

bool prtui::AddPage(const char *templateName, DLGPROC proc) {
    if (pages_enabled_)
        AddPropertyPage(templateName, proc);
    return true;
}

bool prtui::AddPropertyPage(const char *templateName, DLGPROC proc) {
    OString name;
    name = templateName;
    return prtpage::InsertPage(this, nullptr, INSPSUIPAGE_MODE_LAST_CHILD, name.wstring(), proc) != 0;
}

void prtui::take_pages() { page_count_ = sheet_.pages(&pages_); }

LONG prtui::InitDevSheets(PPROPSHEETUI_INFO info, LPARAM, DEVICEPROPERTYHEADER *header) {
    no_permission_ = (header->Flags & DPS_NOPERMISSION) != 0;
    sheet_.bind(info->pfnComPropSheet, info->hComPropSheet);
    start_on_last_page_ = locale_.GetString(kStartOnLastPage)[0] == L'Y';
    WindowHook_Install(this);

    unsigned long flags = kDevicePages;
    prtreg reg;
    reg.init(printer_, printer_name_.wstring());
    unsigned char raw[4] = {};
    if (reg.LoadRaw("LW Message", raw, 4, false) && (raw[0] | raw[1] | raw[2] | raw[3])) {
        if (raw[0] == 4 && !(raw[1] | raw[2] | raw[3])) {
            flags = kAboutOnly;
            start_on_last_page_ = false;
        }
        const unsigned char zero[4] = {};
        reg.SaveRaw("LW Message", zero, 4, false);
    }
    AddPages(flags);
    AddAboutPage();
    take_pages();
    info->UserData = reinterpret_cast<ULONG_PTR>(this);
    info->Result = 0;
    return 1;
}

LONG prtui::InitDocSheets(PPROPSHEETUI_INFO info, LPARAM, DOCUMENTPROPERTYHEADER *header) {
    no_permission_ = (header->fMode & 0x20) != 0;
    doc_header_ = header;
    sheet_.bind(info->pfnComPropSheet, info->hComPropSheet);
    AddPages(kSetupPages | kGraphicsPages | kRegionalPage);
    AddAboutPage();
    take_pages();
    // A sheet that reports Cancel as OK (Wine) leaves the caller reading its
    // output buffer: it holds the unedited device mode until a page applies.
    if (sheet_.limited() && devmode_ && (header->fMode & DM_OUT_BUFFER) && header->pdmOut)
        ConvertDevmodeOut(devmode_.get(), header->pdmIn, header->pdmOut);
    info->UserData = reinterpret_cast<ULONG_PTR>(this);
    info->Result = 0;
    return 1;
}

LONG prtui::ReasonGetInfoHeader(PPROPSHEETUI_INFO, LPARAM lParam, LPWSTR printer_name) {
    auto *header = reinterpret_cast<PROPSHEETUI_INFO_HEADER *>(lParam);
    if (!header)
        return 1;
    header->Flags = PSUIHDRF_PROPTITLE;
    header->pTitle = printer_name;
    header->hInst = locale_.module(prtlocale::kCommon);
    header->IconID = kSheetIcon;
    return 1;
}

LONG prtui::ReasonSetResult(PPROPSHEETUI_INFO info, LPARAM lParam, DOCUMENTPROPERTYHEADER *header) {
    // Windows passes a SETRESULT_INFO; the result travels in it.
    auto *set = reinterpret_cast<SETRESULT_INFO *>(lParam);
    LONG_PTR result = set ? set->Result : CPSUI_CANCEL;
    if (result == CPSUI_OK && header && devmode_) {
        if (header->fMode & (DM_UPDATE | DM_COPY))
            ConvertDevmodeOut(devmode_.get(), header->pdmIn, header->pdmOut);
        if (header->fMode & DM_UPDATE)
            SaveUiDataToSystem();
    }
    if (info)
        info->Result = result;
    return 1;
}

bool prtui::Apply() {
    HANDLE page = page_count_ > 0 ? pages_[page_count_ >= 3 ? page_count_ - 3 : 0] : nullptr;
    if (sheet_.set_result(page, CPSUI_OK))
        return true;
    // The sheet never sends SET_RESULT: apply is the moment it would.
    SETRESULT_INFO ok = {sizeof(SETRESULT_INFO), 0, nullptr, CPSUI_OK};
    ReasonSetResult(nullptr, reinterpret_cast<LPARAM>(&ok), doc_header_);
    return false;
}

bool prtui::ConvertDevmodeOut(const DEVMODEW *uiDm, const DEVMODEW *pdmIn, DEVMODEW *pdmOut) {
    if (!uiDm || !pdmOut)
        return false;
    if (!pdmIn) {
        mrl::__memcpy(pdmOut, uiDm, dm_size(uiDm));
        return true;
    }
    if (pdmIn != pdmOut) {
        pdmOut->dmSpecVersion = uiDm->dmSpecVersion;
        pdmOut->dmSize = uiDm->dmSize;
        pdmOut->dmDriverVersion = uiDm->dmDriverVersion;
        pdmOut->dmDriverExtra = uiDm->dmDriverExtra;
    } else {
        if (uiDm->dmSize < pdmOut->dmSize) {
            pdmOut->dmSpecVersion = uiDm->dmSpecVersion;
            pdmOut->dmSize = uiDm->dmSize;
        }
        if (uiDm->dmDriverExtra < pdmOut->dmDriverExtra) {
            pdmOut->dmDriverVersion = uiDm->dmDriverVersion;
            pdmOut->dmDriverExtra = uiDm->dmDriverExtra;
        }
    }
    WCHAR name[CCHDEVICENAME];
    mrl::__memcpy(name, pdmIn->dmDeviceName, sizeof name);
    bool ok = ConvertDevmode(uiDm, pdmOut) > 0;
    mrl::__memcpy(pdmOut->dmDeviceName, name, sizeof name);
    return ok;
}

bool prtui::SaveUiDataToSystem() {
    if (!devmode_)
        return false;
    LockGuard lock(gPrinterSemaphore);
    MemBlock<PRINTER_INFO_2W> info{MyGetPrinter(printer_, 2)};
    if (!info)
        return false;
    DEVMODEW *stored = info->pDevMode;
    DEVMODEW *dm = devmode_.get();
    if (!stored || dm_size(stored) != dm_size(dm) || mrl::__memcmp(stored, dm, dm_size(dm)) == 0)
        return false;
    info->pDevMode = dm;
    info->pSecurityDescriptor = nullptr;
    return platform::spooler().SetPrinterW(printer_, 2, reinterpret_cast<LPBYTE>(info.get()), 0) != FALSE;
}
