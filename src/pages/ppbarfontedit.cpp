// The bar font editor and its symbology options panel. The editor works on a
// copy of the font's record until OK; the panel writes that copy's fields as
// soon as a control changes.
#include "ppbarfont.h"

#include "resource_ids.h"
#include "../foundation/ostring.h"
#include "../model/model.h"
#include "../pageframe/prtui.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

constexpr long kHelpContext = 181;

LONG round_ratio(LONG a, LONG b, LONG c) {
    return c > 0 ? static_cast<LONG>((static_cast<int64_t>(a) * b + c / 2) / c) : 0;
}

bool fixed_x(LONG id, LONG *mils) {
    switch (id) {
    case kSymPostnet:
        return *mils = 25, true;
    case kSymMaxiCode:
        return *mils = 35, true;
    case 19: case 20: case 21: case 22: case 23:
        return *mils = 20, true;
    default:
        return false;
    }
}

VXSymbologyData *symbology(prtpage &page, LONG id) {
    _MODEL *model = page.get_model();
    return GetSymbologyData(model ? model->GetVXM() : nullptr, id);
}

} // namespace

// ---- editor -----------------------------------------------------------------

void ppBarFontEdit::Init() {
    prtpage::Init();
    SetHelp(kHelpContext, false);
    node = ui->current_barfont;
    list = ui->current_barfonts;
    if (node)
        work = *node;
}

void ppBarFontEdit::Destroy() {
    if (panel)
        DestroyWindow(panel);
    panel = nullptr;
    ui->current_barfont = node;
}

void ppBarFontEdit::RefreshSymbology() {
    LONG id = work.get_symbology();
    CB_SetCurSelData(IDC_BFE_SYMBOLOGY, id);
    CB_SetCurSel(IDC_BFE_ROTATION, work.get_rotation());
    LONG mils = 0;
    bool fixed = fixed_x(id, &mils);
    if (fixed)
        work.set_mils(mils);
    WM_Enable(IDC_BFE_X_LABEL, !fixed);
    WM_Enable(IDC_BFE_X, !fixed);
    LONG best = -1;
    for (LONG i = 0, n = CB_GetCount(IDC_BFE_X); i < n; ++i)
        if (CB_GetSelData(IDC_BFE_X, i) <= work.get_mils())
            best = i;
    CB_SetCurSel(IDC_BFE_X, best);

    // Human-readable line: what the model offers for this symbology.
    VXSymbologyData *s = symbology(*this, id);
    bool offered[3] = {true, false, false};
    if (s && work.is_linear() && id != kSymPostnet && id != 19 && id != 20) {
        offered[0] = s->readable_rule != 2;
        offered[1] = offered[2] = (s->readable_flags & 0xC) == 0xC && s->readable_rule != 1;
    }
    LONG hr = work.get_hr();
    if (!offered[hr])
        hr = hr == 2 ? 0 : 2;
    work.set_hr(hr);
    CB_ResetContent(IDC_BFE_READABLE);
    int choices = 0;
    for (LONG k = 0; k < 3; ++k)
        if (offered[k] && ++choices)
            CB_AddString(IDC_BFE_READABLE, GetString(IDS_READABLE + k), k);
    CB_SetCurSelData(IDC_BFE_READABLE, hr);
    WM_Enable(IDC_BFE_READABLE_LABEL, choices > 1);
    WM_Enable(IDC_BFE_READABLE, choices > 1);

    // The options panel of the symbology replaces the one shown.
    ui->current_barfont = &work;
    HWND previous = panel;
    panel = nullptr;
    if (const char *family = SymbologyFamily(id)) {
        OString name;
        name = "DLG_BC_";
        name += family;
        panel = DialogModeless(name.wstring(), ppBarFontSymbology::WinProc);
    }
    if (panel) {
        RECT frame;
        GetWindowRect(GetItem(IDC_BFE_PANEL_FRAME), &frame);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT *>(&frame), 2);
        SetWindowPos(panel, HWND_TOP, frame.left - 2, frame.top - 12, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    if (previous)
        DestroyWindow(previous);
}

void ppBarFontEdit::RefreshRatios() {
    CB_ResetContent(IDC_BFE_RATIO);
    CB_AddString(IDC_BFE_RATIO, GetString(IDS_AUTOMATIC), 0);
    LONG id = work.get_symbology();
    bool has_ratio = id == 0 || id == 1 || id == kSymCodabar || id == 5 || id == 6;
    if (has_ratio) {
        VXSymbologyData *s = symbology(*this, id);
        LONG narrow = work.get_x();
        for (LONG r = 200; r <= 300 && narrow > 0; r += 10) {
            LONG wide = round_ratio(narrow, r, 100);
            LONG back = round_ratio(wide, 100, narrow);
            if (back - r <= 9 && r - back <= 9 && barfontlist::SupportedRatio(narrow, wide, s ? s->options : 0))
                CB_AddString(IDC_BFE_RATIO, GetString(IDS_RATIO + (r - 200) / 10), r);
        }
    }
    LONG best = 0;
    for (LONG i = 0, n = CB_GetCount(IDC_BFE_RATIO); has_ratio && i < n; ++i)
        if (CB_GetSelData(IDC_BFE_RATIO, i) <= work.get_ratio())
            best = i;
    CB_SetCurSel(IDC_BFE_RATIO, best);
    WM_Enable(IDC_BFE_RATIO_LABEL, has_ratio);
    WM_Enable(IDC_BFE_RATIO, has_ratio);
}

void ppBarFontEdit::Refresh(bool full) {
    if (full) {
        _MODEL *model = get_model();
        VXCapabilitiesData *caps = model ? model->GetVXM() : nullptr;
        CB_ResetContent(IDC_BFE_SYMBOLOGY);
        for (LONG id = 0; caps && id < caps->symbology_count && id < kSymbologyCount; ++id) {
            VXSymbologyData *s = GetSymbologyData(caps, id);
            if (s && static_cast<int16_t>(s->supported) > 0 && id != 14 && id != 29)
                CB_AddString(IDC_BFE_SYMBOLOGY, GetString(IDS_SYMBOLOGY + id), id);
        }
        CB_ResetContent(IDC_BFE_ROTATION);
        for (LONG r = 0; r < 4; ++r)
            CB_AddString(IDC_BFE_ROTATION, GetString(IDS_ROTATION + r), r);
        CB_ResetContent(IDC_BFE_X);
        LONG dpi = work.get_dpi();
        for (LONG n = 1; n <= dpi / 16; ++n) {
            OString text;
            ui->locale().xdimension_to_string(n, dpi, text);
            CB_AddString(IDC_BFE_X, text.wstring(), round_ratio(n, 1000, dpi));
        }
    }
    if (full || symbologyChanged) {
        RefreshSymbology();
        symbologyChanged = false;
    }
    if (full || ratiosStale) {
        RefreshRatios();
        ratiosStale = false;
    }
    if (full || nameStale) {
        EM_LimitText(IDC_BFE_NAME, 20);
        OString name;
        name = work.get_name();
        WM_SetText(IDC_BFE_NAME, name.wstring());
        nameStale = false;
    }
    if (full || checksStale) {
        bool display = work.get_displayfont();
        BM_SetCheck(IDC_BFE_DISPLAY_FONT, display ? BST_CHECKED : BST_UNCHECKED);
        BM_SetCheck(IDC_BFE_FLAG, display || (work.get_flags() & BFF_USER_OPTION) ? BST_CHECKED : BST_UNCHECKED);
        WM_Enable(IDC_BFE_FLAG, !display);
        checksStale = false;
    }
}

bool ppBarFontEdit::Command(WORD id, WORD notifyCode, LONG) {
    bool select = notifyCode == CBN_SELCHANGE;
    switch (id) {
    case IDC_BFE_SYMBOLOGY:
        if (!select)
            return true;
        work.change_symbology(static_cast<LONG>(CB_GetCurSelData(id)));
        symbologyChanged = ratiosStale = true;
        return false;
    case IDC_BFE_ROTATION:
        if (!select)
            return true;
        work.set_rotation(CB_GetCurSel(id));
        return false;
    case IDC_BFE_X:
        if (!select)
            return true;
        work.set_mils(static_cast<LONG>(CB_GetCurSelData(id)));
        ratiosStale = true;
        return false;
    case IDC_BFE_RATIO:
        if (!select)
            return true;
        work.set_ratio(static_cast<LONG>(CB_GetCurSelData(id)));
        return false;
    case IDC_BFE_READABLE:
        if (!select)
            return true;
        work.set_hr(static_cast<LONG>(CB_GetCurSelData(id)));
        return false;
    case IDC_BFE_NAME: {
        if (notifyCode != EN_UPDATE)
            return true;
        WCHAR text[64] = {};
        GetWindowTextW(GetItem(id), text, 64);
        OString name;
        name = text;
        work.set_name(name.nstring());
        return false;
    }
    case IDC_BFE_DISPLAY_FONT:
        work.set_displayfont(BM_GetCheck(id));
        checksStale = true;
        return false;
    case IDC_BFE_FLAG:
        work.set_flags(BM_GetCheck(id) ? work.get_flags() | BFF_USER_OPTION : work.get_flags() & ~BFF_USER_OPTION);
        checksStale = true;
        return false;
    default:
        return true;
    }
}

bool ppBarFontEdit::VerifyOkay() {
    if (!node)
        return false;
    for (barfontnode *n = list ? list->get_first() : nullptr; n; n = n->get_next()) {
        if (&n->font == node || n->font.get_dpi() != work.get_dpi() ||
            std::strncmp(n->font.get_name(), work.get_name(), kBarFontNameSize) != 0)
            continue;
        OString name;
        name = work.get_name();
        WCHAR text[512];
        wsprintfW(text, GetString(IDS_DUPLICATE_BARFONT), name.wstring());
        if (Message(text, GetString(IDS_SYMBOLOGY + work.get_symbology()), MB_OKCANCEL | MB_ICONEXCLAMATION) ==
            IDCANCEL) {
            SetFocus(GetItem(IDC_BFE_NAME));
            return false;
        }
        break;
    }
    *node = work;
    return true;
}

// ---- options panel ------------------------------------------------------------

void ppBarFontSymbology::Init() {
    prtpage::Init();
    SetHelp(kHelpContext, false);
    font = ui->current_barfont;
}

void ppBarFontSymbology::Check(long id, bool on, bool enabled) {
    BM_SetCheck(id, on ? BST_CHECKED : BST_UNCHECKED);
    WM_Enable(id, enabled);
}

void ppBarFontSymbology::Offer(long id, const LONG *strings, const LONG *data, const bool *offered, int n,
                               size_t field) {
    CB_ResetContent(id);
    int count = 0;
    for (int i = 0; i < n; ++i) {
        if (!offered[i])
            continue;
        ++count;
        if (strings[i] >= 0) {
            CB_AddString(id, GetString(strings[i]), data[i]);
        } else {
            WCHAR number[16];
            wsprintfW(number, L"%d", static_cast<int>(data[i]));
            CB_AddString(id, number, data[i]);
        }
    }
    if (!CB_SetCurSelData(id, font->get16(field)) && count) {
        CB_SetCurSel(id, 0);
        font->set16(field, static_cast<LONG>(CB_GetCurSelData(id)));
    }
    WM_Enable(id, count > 1);
}

void ppBarFontSymbology::RefreshLinear(LONG id, uint32_t o) {
    // Check character: fixed on where the symbology always has one.
    bool fixed = ((id == 0 || id == 1) && (o & 4)) || ((id == 5 || id == 6) && (o & 1)) || id == 2 ||
                 id == kSymCode128 || (id >= 7 && id <= 13) || (id >= 19 && id <= 22);
    if (id == 23) {
        Check(IDC_BC_CHECK_CHAR, false, false);
        ShowWindow(GetItem(IDC_BC_CHECK_CHAR), SW_HIDE);
    } else {
        Check(IDC_BC_CHECK_CHAR, fixed || font->get16(barfont::kCheckChar) != 0, !fixed);
    }
    SetDlgItemInt(hwnd, IDC_BC_DISTANCE, static_cast<UINT>(font->get_distance()), FALSE);

    if (id == kSymCode128) {
        static const LONG strings[] = {1660, 1661, 1662, 1663, 1664}, data[] = {0, 1, 2, 3, 4};
        bool restricted = (o & 2) != 0;
        const bool offered[] = {true, !restricted, !restricted, !restricted, !restricted};
        Offer(IDC_BC_ENCODING, strings, data, offered, 5, barfont::kOpt1);
        Check(IDC_BC_OPTION, font->get16(barfont::kOpt2) > 0, true);
    } else if (id == kSymCodabar) {
        static const LONG strings[] = {1650, 1651, 1652, 1653}, data[] = {'a', 'b', 'c', 'd'};
        static const bool all[] = {true, true, true, true};
        Offer(IDC_BC_START, strings, data, all, 4, barfont::kOpt1);
        Offer(IDC_BC_STOP, strings, data, all, 4, barfont::kOpt2);
        WM_Enable(IDC_BC_START, true);
        WM_Enable(IDC_BC_STOP, true);
    } else if (id >= kSymUpcFirst && id <= kSymUpcLast) {
        auto available = [this](LONG addon) {
            VXSymbologyData *s = GetSymbologyData(get_model()->GetVXM(), addon);
            return s && (s->options & 0x1F) != 0;
        };
        bool two = available(kSymAddOn2), five = available(kSymAddOn5);
        static const LONG strings[] = {1640, 1641, 1642, 1643}, data[] = {-1, 0, 2, 5};
        const bool offered[] = {two && five, true, two, five};
        Offer(IDC_BC_ADDON, strings, data, offered, 4, barfont::kAddOn);
    } else if (id == kSymJapanPost) {
        static const LONG strings[] = {1670, 1671}, data[] = {0, 1};
        static const bool both[] = {true, true};
        Offer(IDC_BC_JAPANPOST, strings, data, both, 2, barfont::kJapanPost);
    }
}

void ppBarFontSymbology::RefreshPdf(LONG id, uint32_t o) {
    bool micro = id == kSymMicroPdf;
    bool security_auto = (o & 2) || micro;
    if (!security_auto && font->get16(barfont::k2DOpt1) == -1)
        font->set16(barfont::k2DOpt1, 2);
    LONG strings[31], data[31];
    bool offered[31];
    strings[0] = IDS_AUTOMATIC;
    data[0] = -1;
    offered[0] = security_auto;
    for (int i = 1; i <= 9; ++i)
        strings[i] = -1, data[i] = i - 1, offered[i] = true;
    Offer(IDC_PDF_SECURITY, strings, data, offered, 10, barfont::k2DOpt1);
    if (micro)
        WM_Enable(IDC_PDF_SECURITY, false);
    for (int i = 0; i <= 10; ++i)
        strings[i] = -1, data[i] = i, offered[i] = true;
    Offer(IDC_PDF_ROWS, strings, data, offered, 11, barfont::k2DOpt5);
    bool columns_auto = (o & 4) != 0;
    if (!columns_auto && font->get16(barfont::k2DOpt3) == 0)
        font->set16(barfont::k2DOpt3, 1);
    strings[0] = IDS_AUTOMATIC, data[0] = 0, offered[0] = columns_auto;
    for (int i = 1; i <= 30; ++i)
        strings[i] = -1, data[i] = i, offered[i] = i <= (micro ? 4 : 30);
    Offer(IDC_PDF_COLUMNS, strings, data, offered, 31, barfont::k2DOpt3);
    Check(IDC_PDF_TRUNCATED, font->get16(barfont::k2DOpt2) != 0, !(id == kSymPdf417 && (o & 1)));
}

void ppBarFontSymbology::RefreshDataMatrix(uint32_t o) {
    static const LONG levels[] = {0, 10, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 200};
    LONG strings[14];
    bool offered[14];
    for (int i = 0; i < 14; ++i)
        strings[i] = IDS_DATAMATRIX_ECC + i, offered[i] = (o >> i & 1) != 0;
    Offer(IDC_DM_ECC, strings, levels, offered, 14, barfont::k2DOpt1);
    WM_Enable(IDC_DM_ECC, true);
    bool level200 = font->get16(barfont::k2DOpt1) == 200;
    WM_Enable(IDC_DM_BASE_LABEL, !level200);
    CB_ResetContent(IDC_DM_BASE);
    for (LONG i = 0; i < 7; ++i)
        CB_AddString(IDC_DM_BASE, GetString(IDS_DATAMATRIX_BASE + i), i);
    CB_SetCurSel(IDC_DM_BASE, font->get16(barfont::k2DOpt2));
    WM_Enable(IDC_DM_BASE, !level200);
    bool format = level200 && !(o & 0x10000);
    Check(IDC_DM_FORMAT_ON, format && font->get16(barfont::k2DOpt3) > 255, format);
    static const LONG fstrings[] = {1742, 1744, 1745, 1743}, fdata[] = {1, 5, 6, 3};
    CB_ResetContent(IDC_DM_FORMAT);
    for (int i = 0; i < 4; ++i)
        CB_AddString(IDC_DM_FORMAT, GetString(fstrings[i]), fdata[i]);
    CB_SetCurSelData(IDC_DM_FORMAT, font->get16(barfont::k2DOpt3) & 0xFF);
    WM_Enable(IDC_DM_FORMAT, format);
    bool shape = level200 && (o & 0x8000);
    CB_ResetContent(IDC_DM_SHAPE);
    CB_AddString(IDC_DM_SHAPE, GetString(IDS_DATAMATRIX_SHAPE), 0);
    CB_AddString(IDC_DM_SHAPE, GetString(IDS_DATAMATRIX_SHAPE + 1), 1);
    CB_SetCurSel(IDC_DM_SHAPE, font->get16(barfont::k2DOpt7) ? 1 : 0);
    WM_Enable(IDC_DM_SHAPE_LABEL, shape);
    WM_Enable(IDC_DM_SHAPE, shape);
    Check(IDC_DM_OPTION, font->get16(barfont::k2DOpt4) != 0, (o & 0x4000) != 0);
}

void ppBarFontSymbology::RefreshQr(uint32_t o) {
    static const LONG mstrings[] = {-1, -1}, mdata[] = {1, 2};
    const bool models[] = {(o & 1) != 0, (o & 2) != 0};
    Offer(IDC_QR_MODEL, mstrings, mdata, models, 2, barfont::k2DOpt1);
    LONG strings[10], data[10];
    bool offered[10];
    for (int i = 0; i < 10; ++i)
        strings[i] = i < 8 ? -1 : IDS_QR_MASK_AUTO + (i - 8), data[i] = i, offered[i] = i < 9 ? (o & 0x10) != 0 : (o & 0x20) != 0;
    Offer(IDC_QR_MASK, strings, data, offered, 10, barfont::k2DOpt2);
    static const LONG istrings[] = {1810, 1811, 1812, 1813, 1814, 1815}, idata[] = {0, 78, 65, 75, 66, 77};
    const bool inputs[] = {(o & 8) != 0, (o & 4) != 0, (o & 4) != 0, (o & 4) != 0, (o & 4) != 0, (o & 4) != 0};
    Offer(IDC_QR_INPUT, istrings, idata, inputs, 6, barfont::k2DOpt4);
    static const LONG estrings[] = {1820, 1821, 1822, 1823}, edata[] = {'L', 'M', 'Q', 'H'};
    static const bool all[] = {true, true, true, true};
    Offer(IDC_QR_ECC, estrings, edata, all, 4, barfont::k2DOpt3);
}

void ppBarFontSymbology::Refresh(bool) {
    if (!font)
        return;
    refreshing = true;
    LONG id = font->get_symbology();
    VXSymbologyData *s = symbology(*this, id);
    uint32_t o = s ? s->options : 0;
    // The caption template holds the symbology's name.
    WCHAR format[128] = {}, caption[256];
    if (GetWindowTextW(hwnd, format, 128) && std::wcsstr(format, L"%s")) {
        wsprintfW(caption, format, GetString(IDS_SYMBOLOGY + id));
        SetWindowTextW(hwnd, caption);
    }
    if (font->is_linear())
        RefreshLinear(id, o);
    else if (id == kSymPdf417 || id == kSymMicroPdf)
        RefreshPdf(id, o);
    else if (id == kSymMaxiCode) {
        static const LONG strings[] = {1700, 1701, 1702, 1703}, data[] = {2, 3, 4, 6};
        const bool offered[] = {(o & 1) != 0, (o & 2) != 0, (o & 4) != 0, (o & 0x10) != 0};
        Offer(IDC_MAXI_MODE, strings, data, offered, 4, barfont::k2DOpt1);
        Check(IDC_MAXI_ZIPPER, font->get16(barfont::k2DOpt2) != 0, (o & 0x20) != 0);
        Check(IDC_MAXI_CONTRAST, font->get16(barfont::k2DOpt3) != 0, (o & 0x40) != 0);
    } else if (id == kSymDataMatrix)
        RefreshDataMatrix(o);
    else if (id == kSymQrCode)
        RefreshQr(o);
    refreshing = false;
}

bool ppBarFontSymbology::Command(WORD id, WORD notifyCode, LONG) {
    if (!font || refreshing)
        return true;
    auto data = [this, id] { return static_cast<LONG>(CB_GetCurSelData(id)); };
    bool select = notifyCode == CBN_SELCHANGE, click = notifyCode == BN_CLICKED;
    switch (id) {
    case IDC_BC_CHECK_CHAR:
        font->set16(barfont::kCheckChar, BM_GetCheck(id));
        return !click;
    case IDC_BC_OPTION:
        font->set16(barfont::kOpt2, BM_GetCheck(id));
        return !click;
    case IDC_BC_DISTANCE: {
        if (notifyCode != EN_CHANGE)
            return true;
        BOOL ok = FALSE;
        UINT dots = GetDlgItemInt(hwnd, id, &ok, FALSE);
        font->set_distance(ok ? static_cast<LONG>(dots > 9999 ? 9999 : dots) : 0);
        return true; // no refresh while typing
    }
    case IDC_BC_ENCODING:
    case IDC_BC_START:
        if (select)
            font->set16(barfont::kOpt1, data());
        return !select;
    case IDC_BC_STOP:
        if (select)
            font->set16(barfont::kOpt2, data());
        return !select;
    case IDC_BC_ADDON:
        if (select)
            font->set16(barfont::kAddOn, data());
        return !select;
    case IDC_BC_JAPANPOST:
        if (select)
            font->set16(barfont::kJapanPost, data());
        return !select;
    case IDC_PDF_SECURITY:
    case IDC_MAXI_MODE:
    case IDC_DM_ECC:
    case IDC_QR_MODEL:
        if (select)
            font->set16(barfont::k2DOpt1, data());
        return !select;
    case IDC_PDF_TRUNCATED:
    case IDC_MAXI_ZIPPER:
        font->set16(barfont::k2DOpt2, BM_GetCheck(id));
        return !click;
    case IDC_DM_BASE:
        if (select)
            font->set16(barfont::k2DOpt2, CB_GetCurSel(id));
        return !select;
    case IDC_QR_MASK:
        if (select)
            font->set16(barfont::k2DOpt2, data());
        return !select;
    case IDC_PDF_COLUMNS:
    case IDC_QR_ECC:
        if (select)
            font->set16(barfont::k2DOpt3, data());
        return !select;
    case IDC_MAXI_CONTRAST:
        font->set16(barfont::k2DOpt3, BM_GetCheck(id));
        return !click;
    case IDC_PDF_ROWS:
        if (select)
            font->set16(barfont::k2DOpt5, data());
        return !select;
    case IDC_DM_OPTION:
        font->set16(barfont::k2DOpt4, BM_GetCheck(id));
        return !click;
    case IDC_QR_INPUT:
        if (select)
            font->set16(barfont::k2DOpt4, data());
        return !select;
    case IDC_DM_SHAPE:
        if (select)
            font->set16(barfont::k2DOpt7, data());
        return !select;
    case IDC_DM_FORMAT:
    case IDC_DM_FORMAT_ON:
        if (select || click)
            font->set16(barfont::k2DOpt3, static_cast<LONG>(CB_GetCurSelData(IDC_DM_FORMAT)) +
                                              (BM_GetCheck(IDC_DM_FORMAT_ON) ? 256 : 0));
        return !(select || click);
    default:
        return true;
    }
}
