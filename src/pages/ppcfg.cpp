#include "ppcfg.h"

#include "../pageframe/prtui.h"
#include "resource_ids.h"

namespace {

constexpr long kHelp = 1410;
constexpr LONG kCharsets = 13;
// The code page the printer's value2 selects.
const WCHAR *const kCodePages[] = {WSTR("437"), WSTR("850"), WSTR("852"), WSTR("857"), WSTR("860"),
                                   WSTR("861"), WSTR("863"), WSTR("858"), WSTR("862")};

} // namespace

void pp_cfg::Init() {
    prtpage::Init();
    SetHelp(kHelp, false);
}

void pp_cfg::Refresh(bool full) {
    extstream *st = ui->stream();
    if (!full || !st)
        return;
    // The printer answers slowly over a serial line: the wait window stays up
    // until both answers are in.
    ShowWaitDialog(true);
    PrinterConfigReply reply;
    ReadPrinterConfig(*st, reply);
    if (reply.firmware.len())
        WM_SetText(IDC_CFG_IDENTITY, reply.firmware.wstring());
    if (reply.settings_read) {
        settings = reply.settings;
        answered = true;
        Fill();
    }
    ShowWaitDialog(false);
}

void pp_cfg::Fill() {
    SBM_LinkText(IDC_CFG_DARKNESS, IDC_CFG_DARKNESS_TEXT);
    SBM_SetRange(IDC_CFG_DARKNESS, -95, 95, 5);
    SBM_SetPos(IDC_CFG_DARKNESS, settings.valueC);

    CB_ResetContent(IDC_CFG_MEDIA);
    for (LONG i = 0; i < 2; ++i)
        CB_AddString(IDC_CFG_MEDIA, GetString(IDS_CFG_MEDIA + i), i);
    CB_SetCurSel(IDC_CFG_MEDIA, settings.valueF);

    if (settings.value2 >= 0 && settings.value2 < LONG(sizeof kCodePages / sizeof *kCodePages))
        WM_SetText(IDC_CFG_CODEPAGE, kCodePages[settings.value2]);

    CB_ResetContent(IDC_CFG_CHARSET);
    for (LONG i = 0; i < kCharsets; ++i)
        CB_AddString(IDC_CFG_CHARSET, GetString(IDS_CFG_CHARSET + i), i);
    CB_SetCurSel(IDC_CFG_CHARSET, settings.value8);

    CB_ResetContent(IDC_CFG_LPI);
    for (LONG lines = 6; lines <= 8; lines += 2) {
        OString text;
        text += lines;
        text += GetString(IDS_CFG_LPI);
        CB_AddString(IDC_CFG_LPI, text.wstring(), lines);
    }
    CB_SetCurSel(IDC_CFG_LPI, settings.value4);

    BM_SetCheck(IDC_CFG_OPTION1, (settings.value7 & 1) ? BST_CHECKED : BST_UNCHECKED);
    BM_SetCheck(IDC_CFG_OPTION2, (settings.value7 & 2) ? BST_CHECKED : BST_UNCHECKED);
}

bool pp_cfg::Command(WORD id, WORD code, LONG lParam) {
    switch (id) {
    case IDC_CFG_MEDIA:
    case IDC_CFG_CHARSET:
    case IDC_CFG_LPI: {
        if (code != CBN_SELCHANGE)
            return true;
        int &slot = id == IDC_CFG_MEDIA ? settings.valueF : id == IDC_CFG_CHARSET ? settings.value8 : settings.value4;
        slot = CB_GetCurSel(id);
        return false;
    }
    case IDC_CFG_DARKNESS:
        settings.valueC = lParam;
        return false;
    case IDC_CFG_OPTION1:
    case IDC_CFG_OPTION2: {
        if (code != BN_CLICKED)
            return true;
        int bit = id == IDC_CFG_OPTION1 ? 1 : 2;
        settings.value7 = BM_GetCheck(id) ? (settings.value7 | bit) : (settings.value7 & ~bit);
        return false;
    }
    default:
        return prtpage::Command(id, code, lParam);
    }
}

void pp_cfg::Apply() {
    // Without the printer's own values, OK would overwrite them with zeros.
    extstream *st = ui->stream();
    if (answered && st)
        SendPrinterConfig(*st, settings);
}
