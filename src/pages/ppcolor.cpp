#include "ppcolor.h"

#include "resource_ids.h"
#include "../foundation/lebytes.h"
#include "../foundation/util.h"
#include "../pageframe/colordlg.h"
#include "../pageframe/prtui.h"

#include <cstring>
#include <string>

namespace {

constexpr long kHelpAlign = 1610, kHelpSetup = 1620, kHelpRegistration = 1630;
constexpr LONG kHeads = 4;
// The offset boxes take -200..200; offsets are kept in tenths of that.
constexpr LONG kShownLimit = 200, kOffsetScale = 10, kRange = kShownLimit * kOffsetScale;
// Below this width a finer pass would not show a difference: accept.
constexpr LONG kRefineWidth = 500;
constexpr long kCustomItem = -1;
constexpr long kColumns = 9;

const long kUsedBox[kHeads] = {IDC_SPOT_USED0, IDC_SPOT_USED1, IDC_SPOT_USED1 + 1, IDC_SPOT_USED1 + 2};

long head_of_used_box(WORD id) {
    for (long i = 0; i < kHeads; ++i)
        if (kUsedBox[i] == id)
            return i;
    return -1;
}

const PDT *pdt_of(prtui *ui) { return ui && ui->model() ? ui->model()->GetPDT() : nullptr; }

LONG clamp(LONG v, LONG lo, LONG hi) { return v < lo ? lo : v > hi ? hi : v; }

} // namespace

void SetRegistrationRecord(const SCOLOR &colour, LONG heads, unsigned char out[36]) {
    std::memset(out, 0, 36);
    le::put32(out, uint32_t(heads));
    for (LONG i = 0; i < heads && i < kHeads; ++i) {
        const SCOLORPLANE *plane = colour.Plane(i);
        le::put32(out + 4 + 4 * i, uint32_t(plane->x_offset));
        le::put32(out + 20 + 4 * i, uint32_t(plane->y_offset));
    }
}

void AlignmentPatternRecord(LONG head, LONG reference, const ALIGNRESULT &range, unsigned char out[20]) {
    le::put16(out, uint16_t(head));
    le::put16(out + 2, uint16_t(reference));
    le::put32(out + 4, uint32_t(range.xMin));
    le::put32(out + 8, uint32_t(range.xMax));
    le::put32(out + 12, uint32_t(range.yMin));
    le::put32(out + 16, uint32_t(range.yMax));
}

bool SendColourEscape(prtstream &stream, int code, const unsigned char *record, int size) {
    if (!stream.StartJob(code == kEscRegistrationTest ? L"Color Registration Test" : L"Color Registration"))
        return false;
    stream.Escape(code, size, record, 0, nullptr);
    return stream.EndJob();
}

// ---- Heads and their colours ---------------------------------------------------

void ppColorSetup::Init() {
    prtpage::Init();
    SetHelp(kHelpSetup, false);
    colour.Init(ui->model());
    colour.Load(reg);
}

void ppColorSetup::Refresh(bool full) {
    const PDT *pdt = pdt_of(ui);
    const WORD flags = pdt ? pdt->color_flags : 0;
    if (full) {
        CB_ResetContent(IDC_SPOT_MODE);
        if (flags & 0x8)
            CB_AddString(IDC_SPOT_MODE, GetString(IDS_COLOUR_MODE), SCOLOR::kFourColour);
        if (flags & 0x10)
            CB_AddString(IDC_SPOT_MODE, GetString(IDS_COLOUR_MODE + 1), SCOLOR::kFourColourAlt);
        if (flags & 0x1)
            CB_AddString(IDC_SPOT_MODE, GetString(IDS_COLOUR_MODE + 2), SCOLOR::kSpot);
        CB_SetCurSelData(IDC_SPOT_MODE, colour.GetMode());
        for (long i = 0; i < kHeads; ++i) {
            CB_ResetContent(IDC_SPOT_COMBO0 + i);
            DWORD preset;
            LONG text;
            for (LONG p = 0; SCOLOR::EnumColorPreset(p, &preset, &text); ++p)
                CB_AddString(IDC_SPOT_COMBO0 + i, GetString(text), LONG_PTR(preset));
            CB_AddString(IDC_SPOT_COMBO0 + i, GetString(IDS_COLOUR_CUSTOM), kCustomItem);
        }
    }
    if (full || headsDirty) {
        for (long i = 0; i < kHeads; ++i)
            BM_SetCheck(kUsedBox[i], colour.GetColorUsed(i));
        headsDirty = false;
    }
    if (full || planesDirty) {
        const bool fourColour = colour.GetMode() != SCOLOR::kSpot;
        LONG n = 4;
        if (!fourColour) {
            n = 1;
            if (flags & 0x1)
                n = 2;
            if (flags & 0x2)
                n = 3;
            if (flags & 0x4)
                n = 4;
        }
        const bool editable = !fourColour;
        for (long i = 0; i < kHeads; ++i) {
            const bool active = i < n && (colour.GetColorUsed(i) || !editable);
            const long combo = IDC_SPOT_COMBO0 + i, swatch = IDC_SPOT_SWATCH0 + i;
            if (!active)
                CB_SetCurSel(combo, -1);
            else if (!CB_SetCurSelData(combo, LONG_PTR(colour.GetColorPlane(i))))
                CB_SetCurSelData(combo, kCustomItem);
            WM_Enable(kUsedBox[i], editable && i < n);
            WM_Enable(combo, editable && active);
            WM_Enable(swatch, editable && active);
            WM_Show(swatch, active);
            if (active)
                BMM_SetColor(swatch, colour.GetColorPlane(i));
        }
        for (LONG k = 2; k <= 4; ++k) {
            if (n == k)
                BMM_SetBitmap(IDC_SPOT_PICTURE2 + k - 2, IDB_HEADS + k - 2, true);
            WM_Show(IDC_SPOT_PICTURE2 + k - 2, n == k);
        }
        planesDirty = false;
    }
}

bool ppColorSetup::Command(WORD id, WORD code, LONG) {
    if (id >= IDC_SPOT_COMBO0 && id < IDC_SPOT_COMBO0 + kHeads) {
        if (code != CBN_SELCHANGE)
            return true;
        const long head = id - IDC_SPOT_COMBO0;
        LONG_PTR data = CB_GetCurSelData(id);
        if (data == kCustomItem) {
            SelectCustomColor(head);
        } else {
            colour.SetColorPlane(head, DWORD(data));
            planesDirty = true;
        }
        return false;
    }
    if (id >= IDC_SPOT_SWATCH0 && id < IDC_SPOT_SWATCH0 + kHeads) {
        if (code != 0)
            return true;
        SelectCustomColor(id - IDC_SPOT_SWATCH0);
        return false;
    }
    if (long head = head_of_used_box(id); head >= 0) {
        if (code != 0)
            return true;
        colour.SetColorUsed(head, BM_GetCheck(id) ? 1 : 0);
        planesDirty = true;
        return false;
    }
    if (id == IDC_SPOT_MODE && code == CBN_SELCHANGE) {
        colour.SetMode(LONG(CB_GetCurSelData(IDC_SPOT_MODE)), false);
        headsDirty = planesDirty = true;
        return false;
    }
    return true;
}

void ppColorSetup::SelectCustomColor(long head) {
    ColorDlg dialog(&reg);
    dialog.SetSelectedColor(colour.GetColorPlane(head));
    if (dialog.ChooseColorW(hwnd))
        colour.SetColorPlane(head, dialog.GetSelectedColor());
    // Also after a cancel: the combo shows the custom item until refreshed.
    planesDirty = true;
}

bool ppColorSetup::VerifyOkay() {
    for (LONG i = 0; i < colour.GetHeads(); ++i)
        if (colour.GetColorUsed(i))
            return true;
    Message(GetString(IDS_NO_HEAD_USED), GetString(IDS_COLOUR_SETUP_TITLE), MB_OK);
    return false;
}

void ppColorSetup::Apply() {
    colour.Save(reg);
    prtpage::Apply();
}

// ---- Registration --------------------------------------------------------------

void ppColorRegistration::Init() {
    prtpage::Init();
    SetHelp(kHelpRegistration, false);
    stream.init(ui);
    colour.Init(ui->model());
    colour.Load(reg);
    heads = colour.GetHeads();
}

const WCHAR *ppColorRegistration::PlaneName(long head) { return GetString(colour.GetColorPlaneID(head)); }

void ppColorRegistration::Refresh(bool full) {
    if (full) {
        CB_ResetContent(IDC_REG_REFERENCE);
        LONG lowest = -1;
        for (long i = 0; i < kHeads; ++i) {
            if (!colour.GetColorUsed(i))
                continue;
            if (lowest < 0)
                lowest = i;
            OString text;
            text = std::to_wstring(i + 1).c_str();
            text += L": ";
            text += PlaneName(i);
            CB_AddString(IDC_REG_REFERENCE, text.wstring(), i);
            OString label;
            WM_GetText(IDC_REG_HEAD_LABEL + i, label);
            label += L" (";
            label += PlaneName(i);
            label += L")";
            WM_SetText(IDC_REG_HEAD_LABEL + i, label.wstring());
        }
        if (!CB_SetCurSelData(IDC_REG_REFERENCE, colour.GetLastPlane()) && lowest >= 0) {
            colour.SetLastPlane(lowest);
            CB_SetCurSelData(IDC_REG_REFERENCE, lowest);
        }
    }
    // Before enabling: the first full refresh makes the spin controls.
    if (full || offsetsDirty) {
        filling = true;
        for (long i = 0; i < kHeads; ++i) {
            const SCOLORPLANE *plane = colour.Plane(i);
            EM_SetInt(IDC_REG_H + i, plane->x_offset / kOffsetScale);
            EM_SetInt(IDC_REG_V + i, plane->y_offset / kOffsetScale);
            EM_AddUpDownInt(IDC_REG_H + i, -kShownLimit, kShownLimit);
            EM_AddUpDownInt(IDC_REG_V + i, -kShownLimit, kShownLimit);
        }
        filling = false;
        offsetsDirty = false;
    }
    if (full || referenceDirty) {
        for (long i = 0; i < kHeads; ++i) {
            const bool on = i < heads && colour.GetColorUsed(i);
            for (long id : {IDC_REG_HEAD_LABEL, IDC_REG_H_LABEL, IDC_REG_H, IDC_REG_H | 0x4000, IDC_REG_V_LABEL,
                            IDC_REG_V, IDC_REG_V | 0x4000})
                WM_Enable(id + i, on);
            WM_Enable(IDC_REG_ALIGN + i, on && i != colour.GetLastPlane());
        }
        referenceDirty = false;
    }
}

bool ppColorRegistration::Command(WORD id, WORD code, LONG) {
    const bool horizontal = id >= IDC_REG_H && id < IDC_REG_H + kHeads;
    if (horizontal || (id >= IDC_REG_V && id < IDC_REG_V + kHeads)) {
        if (code == EN_UPDATE && !filling) {
            SCOLORPLANE *plane = colour.Plane(id - (horizontal ? IDC_REG_H : IDC_REG_V));
            LONG value = clamp(EM_GetInt(id), -kShownLimit, kShownLimit) * kOffsetScale;
            (horizontal ? plane->x_offset : plane->y_offset) = value;
            return true;
        }
        if (code == EN_KILLFOCUS) {
            offsetsDirty = true;
            return false;
        }
        return true;
    }
    if (id == IDC_REG_REFERENCE) {
        if (code != CBN_SELCHANGE)
            return true;
        colour.SetLastPlane(LONG(CB_GetCurSelData(IDC_REG_REFERENCE)));
        referenceDirty = true;
        return false;
    }
    if (code != 0)
        return true;
    if (id == IDC_REG_TEST) {
        unsigned char record[4] = {};
        le::put16(record, uint16_t(heads));
        SendColourEscape(stream, kEscRegistrationTest, record, sizeof record);
        return false;
    }
    if (id >= IDC_REG_ALIGN && id < IDC_REG_ALIGN + kHeads) {
        SetRegistration();
        Align(id - IDC_REG_ALIGN);
        SetRegistration();
        return false;
    }
    if (id == IDC_REG_ALIGN_ALL) {
        SetRegistration();
        for (long i = 0; i < heads && i < kHeads; ++i)
            if (colour.GetColorUsed(i) && i != colour.GetLastPlane() && !Align(i))
                break;
        SetRegistration();
        return false;
    }
    return true;
}

void ppColorRegistration::SetRegistration() {
    unsigned char record[36];
    SetRegistrationRecord(colour, heads, record);
    SendColourEscape(stream, kEscSetRegistration, record, sizeof record);
}

bool ppColorRegistration::Align(long head) {
    const LONG reference = colour.GetLastPlane();
    result.title = L" ";
    result.title += PlaneName(head);
    result.title += L" / ";
    result.title += PlaneName(reference);
    result.xMin = result.yMin = -kRange;
    result.xMax = result.yMax = kRange;
    result.state = ALIGNRESULT::kRefine;
    for (;;) {
        if (result.state == ALIGNRESULT::kAccept) {
            SCOLORPLANE *plane = colour.Plane(head);
            plane->x_offset = result.xMin;
            plane->y_offset = result.yMin;
            offsetsDirty = true;
            return true;
        }
        result.xMin = clamp(result.xMin, -kRange, result.xMin);
        result.yMin = clamp(result.yMin, -kRange, result.yMin);
        result.xMax = clamp(result.xMax, result.xMax, kRange);
        result.yMax = clamp(result.yMax, result.yMax, kRange);
        unsigned char record[20];
        AlignmentPatternRecord(head, reference, result, record);
        SendColourEscape(stream, kEscAlignmentPattern, record, sizeof record);
        ui->exchange = &result;
        INT_PTR answer = DialogModal(L"DLG_COLOR_ALIGN", ppColorAlign::WinProc);
        ui->exchange = nullptr;
        if (answer == IDCANCEL || answer < 0)
            return false;
    }
}

void ppColorRegistration::Apply() {
    SetRegistration();
    colour.Save(reg);
    prtpage::Apply();
}

// ---- One alignment pass ----------------------------------------------------------

void ppColorAlign::Init() {
    prtpage::Init();
    SetHelp(kHelpAlign, false);
    result = static_cast<ALIGNRESULT *>(ui->exchange);
    if (!result)
        WM_EnableAll(false, 0, 0);
}

void ppColorAlign::Refresh(bool full) {
    if (!full || !result)
        return;
    BMM_SetBitmap(IDC_ALN_COLUMNS, IDB_ALIGN_COLUMNS, true);
    BMM_SetBitmap(IDC_ALN_ROWS, IDB_ALIGN_ROWS, true);
    const bool narrow = result->xMax - result->xMin < kRefineWidth;
    WM_Enable(IDC_ALN_ACCEPT + ALIGNRESULT::kRefine, !narrow);
    result->state = narrow ? ALIGNRESULT::kAccept : ALIGNRESULT::kRefine;
    for (LONG s = 0; s < 3; ++s)
        BM_SetCheck(IDC_ALN_ACCEPT + s, s == result->state);
    for (long k = 0; k < kColumns; ++k) {
        BM_SetCheck(IDC_ALN_COLUMN0 + k, k == kColumns / 2);
        BM_SetCheck(IDC_ALN_ROW0 + k, k == kColumns / 2);
    }
    x = (result->xMin + result->xMax) / 2;
    y = (result->yMin + result->yMax) / 2;
    WCHAR caption[256] = {};
    GetWindowTextW(hwnd, caption, 255);
    OString title;
    title = caption;
    title += result->title.wstring();
    SetWindowTextW(hwnd, title.wstring());
}

bool ppColorAlign::Command(WORD id, WORD code, LONG) {
    if (code != 0 || !result)
        return true;
    if (id >= IDC_ALN_ACCEPT && id < IDC_ALN_ACCEPT + 3) {
        result->state = id - IDC_ALN_ACCEPT;
        return false;
    }
    if (id >= IDC_ALN_COLUMN0 && id < IDC_ALN_COLUMN0 + kColumns) {
        x = result->xMin + mrl::__muldiv(result->xMax - result->xMin, id - IDC_ALN_COLUMN0, kColumns - 1);
        return false;
    }
    if (id >= IDC_ALN_ROW0 && id < IDC_ALN_ROW0 + kColumns) {
        y = result->yMin + mrl::__muldiv(result->yMax - result->yMin, id - IDC_ALN_ROW0, kColumns - 1);
        return false;
    }
    return true;
}

void ppColorAlign::Apply() {
    if (result && result->state == ALIGNRESULT::kAccept) {
        result->xMin = result->xMax = x;
        result->yMin = result->yMax = y;
    } else if (result && result->state == ALIGNRESULT::kRefine) {
        const LONG d = (result->xMax - result->xMin) / 12;
        result->xMin = x - d;
        result->xMax = x + d;
        result->yMin = y - d;
        result->yMax = y + d;
    }
    prtpage::Apply();
}

bool ppColorAlign::PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) {
    Forward(IDC_ALN_COLUMNS, msg, wParam, lParam);
    Forward(IDC_ALN_ROWS, msg, wParam, lParam);
    return false;
}
