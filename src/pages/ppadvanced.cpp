#include "ppadvanced.h"

#include "resource_ids.h"
#include "../devmode/sdm.h"
#include "../foundation/ostring.h"
#include "../foundation/util.h"
#include "../model/model.h"
#include "../model/prtfile.h"
#include "../pageframe/filedlg.h"
#include "../pageframe/prtui.h"

#include <vector>

namespace {

constexpr long kAdvancedHelp = 190;
constexpr long kOptionHelp = 130;
constexpr LONG kSlots = 4;
constexpr LONG kUserChars = 255;
// Far more than any device mode: a larger file is not a settings file.
constexpr LONG kMaxSdmBytes = 0x10000;

} // namespace

void ppAdvanced::Init() {
    prtpage::Init();
    SetHelp(kAdvancedHelp, false);
    _MODEL *model = get_model();
    pdt = model ? model->GetPDT() : nullptr;
    exchange = static_cast<AdvancedExchange *>(ui->exchange);
    if (!exchange)
        WM_EnableAll(false, 0, 0);
}

LONG ppAdvanced::slot() {
    LONG sel = LB_GetCurSel(IDC_ADV_SLOTS);
    return sel >= 0 && sel < kSlots ? sel : 0;
}

void ppAdvanced::Refresh(bool full) {
    if (!exchange)
        return;
    // Writing a box raises EN_UPDATE: the values shown are not read back.
    filling = true;
    if (full) {
        LB_ResetContent(IDC_ADV_SLOTS);
        for (LONG i = 0; i < kSlots; ++i)
            LB_AddString(IDC_ADV_SLOTS, GetString(IDS_USER_STRING + i), i);
        LB_SetCurSel(IDC_ADV_SLOTS, 0);
        EM_LimitText(IDC_ADV_TEXT, kUserChars);
        bool width = is_default_dm() && pdt && pdt->paper_loading != 2;
        for (long id = IDC_ADV_WIDTH_GROUP; id <= IDC_ADV_WIDTH; ++id)
            WM_Enable(id, width);
        BM_SetCheck(IDC_ADV_ALWAYS, BST_CHECKED);
        WM_Enable(IDC_ADV_ALWAYS, false);
    }
    if (full || userStringDirty) {
        OString text(config->get_user(slot()));
        EM_SetText(IDC_ADV_TEXT, text.wstring());
        userStringDirty = false;
    }
    if (full || distanceFlagDirty) {
        bool on = (config->image_flags & prtconfig::kDistance) != 0;
        BM_SetCheck(IDC_ADV_DISTANCE_ON, on ? BST_CHECKED : BST_UNCHECKED);
        WM_Enable(IDC_ADV_DISTANCE_LABEL, on);
        WM_Enable(IDC_ADV_DISTANCE, on);
        distanceFlagDirty = false;
    }
    if (full || distanceDirty) {
        EM_SetMicrons(IDC_ADV_DISTANCE, config->distance);
        distanceDirty = false;
    }
    if (full || widthDirty) {
        EM_SetMicrons(IDC_ADV_WIDTH, exchange->unprintableWidth);
        widthDirty = false;
    }
    filling = false;
}

bool ppAdvanced::Command(WORD id, WORD code, LONG) {
    if (!exchange)
        return true;
    switch (id) {
    case IDC_ADV_SLOTS:
        if (code != LBN_SELCHANGE)
            return true;
        userStringDirty = true;
        return false;
    case IDC_ADV_TEXT:
        if (code == EN_UPDATE && !filling) {
            OString text;
            WM_GetText(IDC_ADV_TEXT, text);
            config->set_user(text.nstring(), slot());
        }
        return true;
    case IDC_ADV_DISTANCE_ON:
        if (code != 0)
            return true;
        if (BM_GetCheck(IDC_ADV_DISTANCE_ON))
            config->image_flags |= prtconfig::kDistance;
        else
            config->image_flags &= ~prtconfig::kDistance;
        distanceFlagDirty = true;
        return false;
    case IDC_ADV_DISTANCE:
        if (code == EN_UPDATE && !filling) {
            LONG v = EM_GetMicrons(IDC_ADV_DISTANCE);
            config->distance = v < 0 ? 0 : v;
            return true;
        }
        if (code == EN_KILLFOCUS) {
            distanceDirty = true;
            return false;
        }
        return true;
    case IDC_ADV_WIDTH:
        if (code == EN_UPDATE && !filling) {
            exchange->unprintableWidth = mrl::fitrange(EM_GetMicrons(IDC_ADV_WIDTH), 0, pdt ? pdt->printable_width : 0);
            exchange->widthChanged = true;
            return true;
        }
        if (code == EN_KILLFOCUS) {
            widthDirty = true;
            return false;
        }
        return true;
    case IDC_ADV_LOAD:
        if (code != 0)
            return true;
        LoadSettings();
        return false;
    case IDC_ADV_SAVE:
        if (code != 0)
            return true;
        SaveSettings();
        return false;
    default:
        return true;
    }
}

void ppAdvanced::Refuse(long text, const WCHAR *file, const char *reason) {
    WCHAR message[1025] = {}; // wsprintfW writes at most 1024 characters
    OString why(reason);
    wsprintfW(message, GetString(text), file, why.wstring());
    Message(message, GetString(IDS_FILE_TYPE + filedlg::kDeviceSettings), MB_OK | MB_ICONEXCLAMATION);
}

void ppAdvanced::LoadSettings() {
    filedlg dialog(filedlg::kDeviceSettings, &reg, &ui->locale());
    if (!dialog.GetOpenFileNameW(hwnd))
        return;
    OString path;
    dialog.GetFullFileName(path);
    std::vector<unsigned char> file;
    const char *problem = "the file cannot be read or is too large";
    if (prtfile::ReadAll(path.wstring(), file, kMaxSdmBytes))
        problem = sdm::Problem(file.data(), file.size(), get_model()->GetPrefix(), config->version);
    // Settings of another model or version would be taken only in part: none are.
    if (problem) {
        Refuse(IDS_SETTINGS_REFUSED, path.wstring(), problem);
        return;
    }
    sdm::Load(file.data(), file.size(), ui->devmode(), get_model()->GetPrefix());
    static_cast<extconfig *>(config)->Validate(get_model());
    exchange->refreshAll = true;
    Refresh(true);
}

void ppAdvanced::SaveSettings() {
    filedlg dialog(filedlg::kDeviceSettings, &reg, &ui->locale());
    if (!dialog.GetSaveFileNameW(hwnd))
        return;
    OString path;
    dialog.GetFullFileName(path);
    std::vector<unsigned char> bytes = sdm::Save(ui->devmode());
    prtfile file(path.wstring(), prtfile::kCreate | prtfile::kWrite);
    LONG n = static_cast<LONG>(bytes.size());
    bool written = file.is_open() && file.Write(bytes.data(), n) == n;
    if (!file.Close() || !written)
        Refuse(IDS_FILE_NOT_WRITTEN, path.wstring(), "");
}

void pp_option::Init() {
    prtpage::Init();
    SetHelp(kOptionHelp, false);
}

void pp_option::Refresh(bool full) {
    auto *ext = static_cast<extconfig *>(config);
    ext->Validate(get_model());
    bool on = (ext->option_flags & prtconfig::kOptionOn) != 0;
    if (full) {
        BM_SetCheck(IDC_OPT_SWITCH, on ? BST_CHECKED : BST_UNCHECKED);
        EM_SetInt(IDC_OPT_VALUE, ext->option_value);
    }
    if (full || enableDirty) {
        WM_Enable(IDC_OPT_VALUE, on);
        WM_Enable(IDC_OPT_VALUE_LABEL, on);
        enableDirty = false;
    }
}

bool pp_option::Command(WORD id, WORD code, LONG) {
    if (id == IDC_OPT_SWITCH && code == 0) {
        if (BM_GetCheck(IDC_OPT_SWITCH))
            config->option_flags |= prtconfig::kOptionOn;
        else
            config->option_flags &= ~prtconfig::kOptionOn;
        enableDirty = true;
        return false;
    }
    if (id == IDC_OPT_VALUE && code == EN_UPDATE) {
        // The box is not rewritten while the user types.
        config->option_value = static_cast<SHORT>(mrl::fitrange(EM_GetInt(IDC_OPT_VALUE), 1, 32767));
        return false;
    }
    return true;
}
