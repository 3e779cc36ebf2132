// The font page and the font download dialog.
#include "ppfont.h"

#include "resource_ids.h"
#include "../foundation/ostring.h"
#include "../model/model.h"
#include "../output/fontdownload.h"
#include "../pageframe/prtui.h"
#include "../platform/seam.h"

#include <dlgs.h>

#include <cstring>
#include <initializer_list>
#include <new>

namespace {

constexpr long kHelpPage = 1420, kHelpDialog = 1421;
constexpr WORD kHelpButton = pshHelp;
constexpr WCHAR kDialogProp[] = L"mrl font download";

struct Range {
    int lo, hi;
};

constexpr CharMap chars(LONG id, std::initializer_list<Range> ranges) {
    CharMap m = {id, {}};
    for (Range r : ranges)
        for (int c = r.lo; c <= r.hi; ++c)
            m.chars[c / 32] |= 1u << (c % 32);
    return m;
}

} // namespace

const CharMap CharMasks[] = {
    chars(IDS_CHARSET_ALL + 5, {{32, 32}, {44, 46}, {48, 57}}),
    chars(IDS_CHARSET_ALL + 6, {{32, 32}, {34, 37}, {40, 58}, {60, 62}}),
    chars(IDS_CHARSET_ALL + 4, {{32, 32}, {64, 90}}),
    chars(IDS_CHARSET_ALL + 3, {{32, 36}, {38, 39}, {42, 42}, {44, 46}, {58, 59}, {63, 63}, {65, 90}, {95, 96}}),
    chars(IDS_CHARSET_ALL + 2, {{32, 32}, {44, 46}, {48, 57}, {64, 90}}),
    chars(IDS_CHARSET_ALL + 7, {{32, 63}, {65, 90}, {95, 96}}),
    chars(IDS_CHARSET_ALL + 1, {{32, 127}}),
    chars(IDS_CHARSET_ALL, {{32, 255}}),
    {0, {}},
};

namespace {

constexpr LONG kDefaultCharset = 6;

// " 10,5": a point size in tenths as whole points and, when not whole, the tenth.
void append_points(LONG tenths, prtlocale &locale, OString &out) {
    out += " ";
    out += tenths / 10;
    if (tenths % 10) {
        WCHAR sep[2] = {locale.decimal_wide(), 0};
        out += sep;
        out += tenths % 10;
    }
}

// A text field of the font record, which need not end inside itself.
void narrow_field(const char *field, size_t n, OString &out) {
    char text[65] = {};
    std::memcpy(text, field, n < 64 ? n : 64);
    out = text;
}

} // namespace

void FontListLine(const DTTFInfo &info, prtlocale &locale, OString &out) {
    narrow_field(info.font.full_name, sizeof info.font.full_name, out);
    auto tab = [&](LONG id) {
        out += "\t";
        out += locale.GetString(id);
    };
    switch (info.type) {
    case 0x8000:
        tab(IDS_FONT_RESIDENT);
        break;
    case 8:
        tab(IDS_FONT_PRINTER);
        break;
    case 1:
        tab(IDS_FONT_TRUETYPE);
        break;
    case 2:
        if (info.point_size)
            append_points(info.point_size, locale, out);
        tab(IDS_FONT_BITMAP);
        break;
    }
    if (info.status == 1)
        tab(IDS_FONT_STATUS_SENDING);
    else if (info.status == 2)
        tab(IDS_FONT_STATUS_REMOVED);
    else if (info.status == 3)
        tab(IDS_FONT_STATUS_FAILED);
}

// ---- ppFont -----------------------------------------------------------------

void ppFont::Init() {
    prtpage::Init();
    SetHelp(kHelpPage, false);
    list = &ui->fonts();
}

bool ppFont::SetActive() {
    list->Load(reg);
    Refresh(true);
    return true;
}

long ppFont::GetFontModes() {
    _MODEL *model = get_model();
    const PDT *pdt = model ? model->GetPDT() : nullptr;
    long modes = pdt ? pdt->font_modes : 0;
    return (modes & 1) | (modes & 2 ? 2 : 0);
}

prtdttf_node *ppFont::selected() {
    return LB_GetCurSel(IDC_FONT_LIST) < 0 ? nullptr
                                           : reinterpret_cast<prtdttf_node *>(LB_GetCurSelData(IDC_FONT_LIST));
}

void ppFont::Refresh(bool first) {
    if (first) {
        extstream *st = ui->stream();
        WM_Enable(IDC_FONT_VERIFY, st && ui->EnableVerifyFonts(*st));
        CB_ResetContent(IDC_FONT_FILTER);
        CB_AddString(IDC_FONT_FILTER, GetString(IDS_FONT_FILTER_ALL), 0xFFFF);
        CB_AddString(IDC_FONT_FILTER, GetString(IDS_FONT_FILTER_BITMAP), 2);
        CB_AddString(IDC_FONT_FILTER, GetString(IDS_FONT_FILTER_TRUETYPE), 1);
        CB_AddString(IDC_FONT_FILTER, GetString(IDS_FONT_FILTER_BOTH), 3);
        CB_SetCurSel(IDC_FONT_FILTER, 0);
        WM_Enable(IDC_FONT_RESERVED2, false);
        WM_Enable(IDC_FONT_RESERVED1, false);
    }
    if (first || listChanged) {
        LONG_PTR filter = CB_GetCurSelData(IDC_FONT_FILTER);
        LB_ResetContent(IDC_FONT_LIST);
        int stops[2] = {120, 190};
        LB_SetTabStops(IDC_FONT_LIST, 2, stops);
        for (prtdttf_node *n = list->get_first(); n; n = n->get_next()) {
            if (!(n->info.type & filter))
                continue;
            OString line;
            FontListLine(n->info, ui->locale(), line);
            LB_AddString(IDC_FONT_LIST, line.wstring(), reinterpret_cast<LONG_PTR>(n));
        }
        listChanged = false;
        detailsChanged = true;
    }
    if (first || detailsChanged) {
        OString labels, values;
        if (prtdttf_node *n = selected()) {
            const VXFontInfo &f = n->info.font;
            OString field;
            narrow_field(f.typed_name, sizeof f.typed_name, field);
            if (!*field.nstring())
                narrow_field(f.full_name, sizeof f.full_name, field);
            labels = GetString(IDS_FONT_NAME);
            values = field;
            labels += "\n";
            labels += GetString(IDS_FONT_PRINTER_NAME);
            narrow_field(f.printer_name, sizeof f.printer_name, field);
            values += "\n";
            values += field;
            if (f.data_size > 0) {
                labels += "\n";
                labels += GetString(IDS_FONT_FILE_SIZE);
                values += "\n";
                values += static_cast<LONG>(f.data_size);
            }
            if (n->info.type == 2 && n->info.point_size) {
                OString size;
                append_points(n->info.point_size, ui->locale(), size);
                labels += "\n";
                labels += GetString(IDS_FONT_SIZE);
                values += "\n";
                values += size.nstring() + 1;
            }
        }
        WM_SetText(IDC_FONT_LABELS, labels.wstring());
        WM_SetText(IDC_FONT_VALUES, values.wstring());
        detailsChanged = false;
    }
    WM_Enable(IDC_FONT_DELETE, selected() != nullptr);
    WM_Enable(IDC_FONT_RESEND, list->get_first() != nullptr);
}

bool ppFont::GetFontFromUser(DTTFInfo *info) {
    cf_FDown dialog(ui);
    return dialog.GetFontInfo(hwnd, info);
}

void ppFont::Report(long id) {
    Message(GetString(id), ui->printer_name().wstring(), MB_ICONEXCLAMATION | MB_OK);
}

void ppFont::AddFont() {
    extstream *st = ui->stream();
    _MODEL *model = get_model();
    if (!st || !model)
        return;
    auto *node = new (std::nothrow) prtdttf_node;
    if (!node)
        return;
    node->info.type = static_cast<uint16_t>(GetFontModes());
    if (!GetFontFromUser(&node->info)) {
        delete node;
        return;
    }
    ShowWaitDialog(true);
    FontSend sent = SendFont(*st, &reg, node->info, FontPrinterOf(*model), hwnd);
    ShowWaitDialog(false);
    if (sent != FontSend::kSent) {
        delete node; // the list stays as it was
        Report(sent == FontSend::kTooLarge ? IDS_FONT_TOO_LARGE : IDS_FONT_NOT_SENT);
        return;
    }
    list->AddFont(node);
    list->Save(reg);
    listChanged = true;
}

void ppFont::DeleteFont() {
    prtdttf_node *n = selected();
    if (!n)
        return;
    extstream *st = ui->stream();
    if (n->info.status != 2 && st)
        EraseFont(*st, *n);
    delete n;
    list->Save(reg);
    listChanged = detailsChanged = true;
}

void ppFont::SendAll() {
    extstream *st = ui->stream();
    _MODEL *model = get_model();
    if (!st || !model)
        return;
    ShowWaitDialog(true);
    long failed = ReDownloadAll(*st, &reg, *list, FontPrinterOf(*model), hwnd);
    ShowWaitDialog(false);
    listChanged = detailsChanged = true;
    if (failed)
        Report(IDS_FONT_NOT_SENT);
}

bool ppFont::Command(WORD id, WORD notifyCode, LONG) {
    switch (id) {
    case IDC_FONT_ADD:
        if (notifyCode != BN_CLICKED)
            return true;
        AddFont();
        Init();
        return false;
    case IDC_FONT_FILTER:
        if (notifyCode != CBN_SELCHANGE)
            return true;
        listChanged = true;
        return false;
    case IDC_FONT_LIST:
        if (notifyCode != LBN_SELCHANGE)
            return true;
        detailsChanged = true;
        return false;
    case IDC_FONT_DELETE:
        DeleteFont();
        return false;
    case IDC_FONT_RESEND:
        SendAll();
        return false;
    case IDC_FONT_VERIFY: {
        extstream *st = ui->stream();
        ShowWaitDialog(true);
        bool changed = st && ui->VerifyFonts(*st);
        ShowWaitDialog(false);
        if (changed) {
            list->Save(reg);
            listChanged = detailsChanged = true;
        }
        return false;
    }
    default:
        return true;
    }
}

// ---- cf_FDown ---------------------------------------------------------------

cf_FDown::cf_FDown(prtui *ui_in) : ui(ui_in) {}

const WCHAR *cf_FDown::GetString(LONG string_id) { return ui->locale().GetString(string_id); }

void cf_FDown::SetMode(LONG t) {
    _MODEL *model = ui->model();
    const PDT *pdt = model ? model->GetPDT() : nullptr;
    types = pdt ? pdt->font_modes & 3 : 0;
    (void)t;
    settings.type = types & 1 ? 1 : 2;
    ui->ChooseFontSettings(&settings);
}

void cf_FDown::ChangeMode(LONG t) {
    if (types & t)
        settings.type = t;
}

void cf_FDown::AddString(HWND combo, LONG string_id, LONG_PTR data) {
    LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetString(string_id)));
    if (at >= 0)
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), data);
}

bool cf_FDown::SetCurData(HWND combo, LONG_PTR data) {
    LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i)
        if (SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == data) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return true;
        }
    return false;
}

void cf_FDown::ShowCtlPair(int control, int label, bool show) {
    ShowWindow(GetDlgItem(dlg, control), show ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dlg, label), show ? SW_SHOW : SW_HIDE);
}

void cf_FDown::EnableCtlPair(int control, int label, bool enable) {
    EnableWindow(GetDlgItem(dlg, control), enable);
    EnableWindow(GetDlgItem(dlg, label), enable);
}

void cf_FDown::Refresh(bool first) {
    bool bitmap = settings.type == 2;
    if (first) {
        SendMessageW(type, CB_RESETCONTENT, 0, 0);
        if (types & 1)
            AddString(type, IDS_DOWNLOAD_TRUETYPE, 1);
        if (types & 2)
            AddString(type, IDS_DOWNLOAD_BITMAP, 2);
        SetCurData(type, settings.type);
        ShowWindow(list, SW_SHOW);
        EnableWindow(list, FALSE);
        ShowCtlPair(IDC_FDL_ID, IDC_FDL_ID_LABEL, false);
        EnableCtlPair(IDC_FDL_NAME, IDC_FDL_NAME_LABEL, false);
        // Filled once: a change of type keeps the row it chose.
        if (SendMessageW(charset, CB_GETCOUNT, 0, 0) <= 0) {
            for (LONG row = 0; CharMasks[row].string_id; ++row)
                AddString(charset, CharMasks[row].string_id, row);
            SetCurData(charset, kDefaultCharset);
        }
    }
    EnableCtlPair(IDC_FDL_CHARSET, IDC_FDL_CHARSET_LABEL, bitmap);
    ShowCtlPair(cmb3, stc3, bitmap);
}

LONG cf_FDown::Command(WORD control, WORD notifyCode) {
    switch (control) {
    case IDC_FDL_TYPE:
        if (notifyCode != CBN_SELCHANGE)
            return 0;
        {
            LRESULT at = SendMessageW(type, CB_GETCURSEL, 0, 0);
            ChangeMode(static_cast<LONG>(SendMessageW(type, CB_GETITEMDATA, static_cast<WPARAM>(at), 0)));
        }
        ui->ChooseFontSettings(&settings);
        SetCurData(charset, 0);
        Refresh(true);
        return 0;
    case kHelpButton:
        platform::windows().WinHelpW(dlg, ui->locale().GetHelpFile().wstring(), HELP_CONTEXT, kHelpDialog);
        return 0;
    case IDOK:
        WriteReturnSettings();
        return 0;
    default:
        return 0;
    }
}

void cf_FDown::WriteReturnSettings() {
    target->type = static_cast<uint16_t>(settings.type);
    std::memset(target->charset, 0, sizeof target->charset);
    if (settings.type != 2)
        return;
    LRESULT at = SendMessageW(charset, CB_GETCURSEL, 0, 0);
    LRESULT row = at < 0 ? kDefaultCharset : SendMessageW(charset, CB_GETITEMDATA, static_cast<WPARAM>(at), 0);
    if (row < 0 || row > 7)
        row = kDefaultCharset;
    std::memcpy(target->charset, CharMasks[row].chars, sizeof target->charset);
}

UINT_PTR cf_FDown::DlgProc(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_COMMAND:
        if (Command(LOWORD(wParam), HIWORD(wParam)) == 1)
            Refresh(false);
        // The chooser's own buttons (OK, help) go on to it.
        return LOWORD(wParam) == kHelpButton ? TRUE : FALSE;
    case WM_APP + 1:
        Refresh(false);
        return TRUE;
    case WM_DESTROY:
        open = false;
        RemovePropW(dlg, kDialogProp);
        return FALSE;
    default:
        return FALSE;
    }
}

UINT_PTR CALLBACK cf_FDown::WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto *cf = reinterpret_cast<CHOOSEFONTW *>(lParam);
        auto *self = cf ? reinterpret_cast<cf_FDown *>(cf->lCustData) : nullptr;
        if (!self)
            return TRUE;
        SetPropW(hwnd, kDialogProp, self);
        self->dlg = hwnd;
        self->open = true;
        self->list = GetDlgItem(hwnd, IDC_FDL_LIST);
        self->id = GetDlgItem(hwnd, IDC_FDL_ID);
        self->name = GetDlgItem(hwnd, IDC_FDL_NAME);
        self->size = GetDlgItem(hwnd, cmb3);
        self->type = GetDlgItem(hwnd, IDC_FDL_TYPE);
        self->charset = GetDlgItem(hwnd, IDC_FDL_CHARSET);
        self->Refresh(true);
        return TRUE;
    }
    auto *self = static_cast<cf_FDown *>(GetPropW(hwnd, kDialogProp));
    return self ? self->DlgProc(msg, wParam, lParam) : FALSE;
}

bool cf_FDown::GetFontInfo(HWND owner, DTTFInfo *info) {
    target = info;
    std::memset(info->logfont, 0, sizeof info->logfont);
    std::memcpy(info->charset, CharMasks[kDefaultCharset].chars, sizeof info->charset);
    SetMode(info->type);
    LOGFONTW lf = {};
    lstrcpyW(lf.lfFaceName, L"Arial");
    lf.lfHeight = -16;

    // The chooser takes its template as a fixed memory block.
    DWORD bytes = 0;
    const unsigned char *cached = ui->locale().GetDialog(L"FONT_DOWNLOAD", false, &bytes);
    HGLOBAL templ = cached ? GlobalAlloc(GMEM_FIXED, bytes) : nullptr;
    if (templ)
        std::memcpy(templ, cached, bytes);
    CHOOSEFONTW cf = {};
#if defined(_WIN32) && !defined(_WIN64)
    static_assert(sizeof(CHOOSEFONTW) == 60, "CHOOSEFONTW as NT 4 knows it");
#endif
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_SHOWHELP | CF_ENABLEHOOK | CF_INITTOLOGFONTSTRUCT | CF_NOSIMULATIONS |
               CF_FORCEFONTEXIST | CF_TTONLY | (templ ? CF_ENABLETEMPLATEHANDLE : 0);
    cf.lpfnHook = WinProc;
    cf.hInstance = static_cast<HINSTANCE>(templ);
    cf.lCustData = reinterpret_cast<LPARAM>(this);
    bool ok = platform::dialogs().ChooseFontW(&cf) != FALSE;
    if (templ)
        GlobalFree(templ);
    if (!ok)
        return false;
    info->type = static_cast<uint16_t>(settings.type);
    info->point_size = cf.iPointSize;
    static_assert(sizeof lf == sizeof info->logfont, "stored logical font");
    std::memcpy(info->logfont, &lf, sizeof lf);
    TrueTypeFullName(owner, lf, info->font.full_name, sizeof info->font.full_name);
    ui->AdjustFontInfo(info);
    return true;
}
