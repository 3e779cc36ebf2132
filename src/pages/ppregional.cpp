#include "ppregional.h"

#include "resource_ids.h"
#include "../foundation/util.h"
#include "../pageframe/prtui.h"

namespace {

constexpr long kHelpContext = 170;

// A language code's four bytes as item data, little-endian ("sys" is 0x00737973).
LONG_PTR code_data(const char *code) {
    const auto *b = reinterpret_cast<const unsigned char *>(code);
    return static_cast<LONG_PTR>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
}

void data_code(LONG_PTR data, char code[4]) {
    for (int i = 0; i < 4; ++i)
        code[i] = static_cast<char>((data >> (8 * i)) & 0xFF);
    code[3] = 0;
}

} // namespace

void ppRegional::Init() {
    prtpage::Init();
    SetHelp(kHelpContext, false);
    mrl::__memcpy(savedLanguage, ui->locale().GetLanguage(), 4);
    savedUnits = ui->locale().GetMeasurement();
    unitsChanging = false;
}

void ppRegional::Apply() {
    ui->locale().Save(reg);
    mrl::__memcpy(savedLanguage, ui->locale().GetLanguage(), 4);
    savedUnits = ui->locale().GetMeasurement();
    prtpage::Apply();
}

bool ppRegional::CheckChanged() {
    bool changed = mrl::__memcmp(ui->locale().GetLanguage(), savedLanguage, 4) != 0 ||
                   ui->locale().GetMeasurement() != savedUnits;
    SetChanged(prtui::kChangedRegional, changed);
    return changed;
}

void ppRegional::Refresh(bool full) {
    if (unitsChanging)
        return;
    prtlocale &locale = ui->locale();
    if (full) {
        CB_ResetContent(IDC_RGN_LANGUAGE);
        CB_AddString(IDC_RGN_LANGUAGE, GetString(IDS_MEASURE_SYSTEM), code_data("sys"));
        for (int i = 0; prtlocale::t_lang[i][0]; ++i)
            if (prtlocale::LanguageExists(reg, prtlocale::t_lang[i]))
                CB_AddString(IDC_RGN_LANGUAGE, GetString(prtlocale::t_id[i]), code_data(prtlocale::t_lang[i]));
    }
    if (full || languageDirty) {
        if (!CB_SetCurSelData(IDC_RGN_LANGUAGE, code_data(locale.GetLanguage())))
            CB_SetCurSel(IDC_RGN_LANGUAGE, -1);
        languageDirty = false;
    }
    if (full) {
        CB_ResetContent(IDC_RGN_UNITS);
        for (LONG id = IDS_MEASURE_SYSTEM; id <= IDS_MEASURE_CM; ++id)
            CB_AddString(IDC_RGN_UNITS, GetString(id), id - IDS_MEASURE_SYSTEM);
        CB_SetCurSel(IDC_RGN_UNITS, locale.GetMeasurement());
    }
}

bool ppRegional::Command(WORD id, WORD notifyCode, LONG) {
    if (notifyCode != CBN_SELCHANGE)
        return true;
    if (id == IDC_RGN_LANGUAGE) {
        char code[4];
        data_code(CB_GetCurSelData(IDC_RGN_LANGUAGE), code);
        ui->locale().SetNewLanguage(hwnd, code);
        languageDirty = true;
        return false;
    }
    if (id == IDC_RGN_UNITS) {
        LONG units = CB_GetCurSel(IDC_RGN_UNITS);
        if (units < prtlocale::kFollowSystem || units > prtlocale::kCentimetres)
            return false;
        ui->locale().SetNewUnits(units);
        unitsChanging = true;
        WM_QuerySiblings(kRefreshSiblingsFull, units);
        unitsChanging = false;
        return false;
    }
    return true;
}
