// The bar font list page: the printer's bar fonts, filtered by what the model
// draws at its resolution, with new, edit, delete, import and export.
#include "ppbarfont.h"

#include "resource_ids.h"
#include "../foundation/ostring.h"
#include "../foundation/util.h"
#include "../model/model.h"
#include "../pageframe/filedlg.h"
#include "../pageframe/prtui.h"
#include "../store/listlock.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr long kHelpContext = 180;
constexpr char kFilterValue[] = "Bar Font List Filter";
constexpr char kRefreshFonts[] = "RefreshFonts";

} // namespace

void ppBarFont::Init() {
    prtpage::Init();
    SetHelp(kHelpContext, false);
    {
        ListLock hold(kBarFontListLock);
        list.Load(reg, get_model());
    }
    list.Filter(get_model(), true);
    unsigned char stored = 1;
    reg.LoadRaw(kFilterValue, &stored, 1, true);
    filter = stored != 0;
    savedFilter = filter;
    listChanged = false;
}

void ppBarFont::Apply() {
    {
        ListLock hold(kBarFontListLock);
        if (hold.held())
            list.Save(reg, get_model());
    }
    unsigned char one = 1, on = filter ? 1 : 0;
    reg.SaveRaw(kRefreshFonts, &one, 1, true);
    reg.SaveRaw(kFilterValue, &on, 1, true);
    savedFilter = filter;
    listChanged = false;
    prtpage::Apply();
}

bool ppBarFont::CheckChanged() {
    bool changed = listChanged || filter != savedFilter;
    SetChanged(prtui::kChangedBarFonts, changed);
    return changed;
}

barfontnode *ppBarFont::selected() {
    if (LB_GetCurSel(IDC_BF_LIST) < 0)
        return nullptr;
    return reinterpret_cast<barfontnode *>(LB_GetCurSelData(IDC_BF_LIST));
}

void ppBarFont::select(barfontnode *node) {
    if (node)
        LB_SetCurSelData(IDC_BF_LIST, reinterpret_cast<LONG_PTR>(node));
    detailsStale = true;
}

void ppBarFont::Refresh(bool full) {
    if (full)
        BM_SetCheck(IDC_BF_FILTER, filter ? BST_CHECKED : BST_UNCHECKED);
    if (full || listStale) {
        barfontnode *was = selected();
        LONG top = LB_GetTopIndex(IDC_BF_LIST);
        LB_ResetContent(IDC_BF_LIST);
        int stops[2] = {0, 140};
        LB_SetTabStops(IDC_BF_LIST, 2, stops);
        list.Filter(get_model(), filter);
        for (barfontnode *n = list.get_first(); n; n = n->get_next()) {
            if (filter && !n->shown)
                continue;
            char line[kBarFontNameSize + 16];
            std::snprintf(line, sizeof line, "%s\t%ld", n->font.get_name(), static_cast<long>(n->font.get_dpi()));
            OString text;
            text = line;
            LB_AddString(IDC_BF_LIST, text.wstring(), reinterpret_cast<LONG_PTR>(n));
        }
        LB_SetTopIndex(IDC_BF_LIST, top);
        select(was);
        listStale = false;
        detailsStale = true;
    }
    if (full || detailsStale) {
        barfontnode *n = selected();
        OString details;
        if (n) {
            details = GetString(IDS_SYMBOLOGY + n->font.get_symbology());
            details += ", ";
            ui->locale().xdimension_to_string(n->font.get_x(), n->font.get_dpi(), details);
            details += " @ ";
            ui->locale().dpi_to_string(details, n->font.get_dpi());
        }
        WM_Enable(IDC_BF_DELETE, n != nullptr);
        WM_Enable(IDC_BF_EDIT, n && n->supported && n->resolution_matches);
        WM_SetText(IDC_BF_DETAILS, details.wstring());
        detailsStale = false;
    }
}

INT_PTR ppBarFont::RunEditor(barfontnode *node) {
    ui->current_barfont = &node->font;
    ui->current_barfonts = &list;
    INT_PTR result = DialogModal(L"DLG_BARFONT", ppBarFontEdit::WinProc);
    ui->current_barfont = nullptr;
    ui->current_barfonts = nullptr;
    return result;
}

void ppBarFont::New() {
    _MODEL *model = get_model();
    auto *node = new (std::nothrow) barfontnode(model->GetPDT());
    if (!node)
        return;
    barfontnode *from = selected();
    if (from && from->supported) {
        LONG dpi = node->font.get_dpi();
        node->font = from->font;
        node->font.set_dpi(dpi);
        node->font.set_mils(15);
        node->font.set_flags(node->font.get_flags() & ~BFF_PREDEFINED);
    }
    const char *oem = model->GetOEM();
    node->font.set_manufacturer(std::strcmp(oem, "omr") == 0 ? nullptr : model->GetShortMfgName());
    if (RunEditor(node) == IDOK) {
        list.AddTail(node);
        listChanged = true;
        listStale = true;
        Refresh(false);
        select(node);
    } else {
        delete node;
    }
}

void ppBarFont::Edit() {
    barfontnode *n = selected();
    if (n && RunEditor(n) == IDOK) {
        listChanged = true;
        listStale = true;
    }
}

void ppBarFont::Delete() {
    barfontnode *n = selected();
    if (!n)
        return;
    LONG at = LB_GetCurSel(IDC_BF_LIST);
    delete n;
    listChanged = true;
    listStale = true;
    LB_SetCurSel(IDC_BF_LIST, -1);
    Refresh(false);
    LONG count = LB_GetCount(IDC_BF_LIST);
    LB_SetCurSel(IDC_BF_LIST, at < count ? at : count - 1);
    detailsStale = true;
}

bool ppBarFont::Command(WORD id, WORD notifyCode, LONG) {
    switch (id) {
    case IDC_BF_LIST:
        if (notifyCode == LBN_DBLCLK && IsWindowEnabled(GetItem(IDC_BF_EDIT)))
            Edit();
        else if (notifyCode == LBN_SELCHANGE)
            detailsStale = true;
        else
            return true;
        return false;
    case IDC_BF_NEW:
        New();
        return false;
    case IDC_BF_EDIT:
        Edit();
        return false;
    case IDC_BF_DELETE:
        Delete();
        return false;
    case IDC_BF_FILTER:
        filter = BM_GetCheck(IDC_BF_FILTER);
        listStale = true;
        return false;
    case IDC_BF_EXPORT:
    case IDC_BF_IMPORT: {
        filedlg dlg(filedlg::kBarFonts, &reg, &ui->locale());
        bool import = id == IDC_BF_IMPORT;
        if (!(import ? dlg.GetOpenFileNameW(hwnd) : dlg.GetSaveFileNameW(hwnd)))
            return false;
        OString path;
        dlg.GetFullFileName(path);
        if (!import) {
            list.Save(path.wstring(), !filter);
            return false;
        }
        list.Load(path.wstring(), false);
        list.Filter(get_model(), true);
        listChanged = true;
        listStale = true;
        return false;
    }
    default:
        return true;
    }
}
