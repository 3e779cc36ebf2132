#include "pppaper.h"

#include "ppadvanced.h"
#include "resource_ids.h"
#include "../foundation/ostring.h"
#include "../foundation/util.h"
#include "../model/model.h"
#include "../model/prtfile.h"
#include "../pageframe/filedlg.h"
#include "../pageframe/prtui.h"

#include <new>
#include <vector>

namespace {

constexpr long kHelpContext = 120;
constexpr WORD kOrientations = 4;
// The largest form-list file worth reading: the most stocks a list may hold.
constexpr LONG kMaxSfmBytes = kSfmHeaderSize + kMaxForms * kFormRecordSize;

// A language format with string arguments, for message boxes.
void format(OString &out, const WCHAR *pattern, const WCHAR *a, const WCHAR *b = L"") {
    WCHAR text[1025] = {}; // wsprintfW writes at most 1024 characters
    wsprintfW(text, pattern, a, b);
    out = text;
}

} // namespace

void ppPaper::Init() {
    prtpage::Init();
    SetHelp(kHelpContext, false);
    _MODEL *model = get_model();
    pdt = model ? model->GetPDT() : nullptr;
    view.init(ui->devmode());
    forms.init(model);
    forms.Load(reg);
    firstShow = true;
}

void ppPaper::Apply() {
    prtpage::Apply();
    // A document's settings never change the printer's stock list.
    if (is_default_dm())
        forms.Save(reg);
}

bool ppPaper::PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) {
    Forward(IDC_SETUP_PREVIEW, msg, wParam, lParam);
    return false;
}

LONG ppPaper::max_copies() const {
    // As the device-mode rules limit them.
    LONG limit = pdt ? pdt->max_copies : 0;
    return limit <= 0 ? 999 : limit > 32767 ? 32767 : limit;
}

void ppPaper::GetPaperName(OString &name, const prtform *form) {
    name = form->get_name();
    name += " (";
    name += microns_to_string(form->get_width());
    name += " x ";
    name += microns_to_string(form->get_height());
    name += ")";
}

void ppPaper::Refresh(bool full) {
    if (firstShow) {
        firstShow = false;
        HWND sheet = GetParent(hwnd);
        HWND tabs = psp ? reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0)) : nullptr;
        if (tabs && GetString(IDS_START_ON_LAST_PAGE)[0] == L'Y') {
            LRESULT count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
            PostMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
        }
    }
    if (full) {
        const WCHAR *note = GetString(IDS_PAPER_NOTE);
        if (note[0])
            WM_SetText(IDC_SETUP_NOTE, note);
        else
            WM_Show(IDC_SETUP_NOTE, false);
    }
    if (full || formsDirty) {
        CB_ResetContent(IDC_SETUP_STOCK);
        OString name;
        for (prtform *f = forms.get_first(); f; f = f->get_next()) {
            if (!f->get_paper_id())
                continue;
            GetPaperName(name, f);
            CB_AddString(IDC_SETUP_STOCK, name.wstring(), reinterpret_cast<LONG_PTR>(f));
        }
        current = view.get_size() ? forms.Find(view.get_size()) : nullptr;
        if (!current) {
            // The device mode names no listed stock: the user-defined one stands in.
            current = forms.Find(kUserPaperId);
            if (current)
                view.set_form(current);
        }
        if (!current || !CB_SetCurSelData(IDC_SETUP_STOCK, reinterpret_cast<LONG_PTR>(current)))
            CB_SetCurSel(IDC_SETUP_STOCK, -1);
        formsDirty = false;
        selectionDirty = true;
    }
    if (full || selectionDirty) {
        if (is_default_dm())
            WM_Enable(IDC_SETUP_DELETE, current && current->can_delete());
        selectionDirty = false;
    }
    if (full || copiesDirty) {
        EM_SetInt(IDC_SETUP_COPIES, view.get_copies());
        EM_AddUpDownInt(IDC_SETUP_COPIES, 1, max_copies());
        copiesDirty = false;
    }
    if (full) {
        if (!is_default_dm())
            for (long id : {IDC_SETUP_NEW, IDC_SETUP_DELETE, IDC_SETUP_IMPORT, IDC_SETUP_EXPORT})
                WM_Enable(id, false);
        WORD flags = pdt ? static_cast<WORD>(pdt->image_flags) : 0;
        WM_Enable(IDC_SETUP_MIRROR, (flags & prtconfig::kMirror) != 0);
        WM_Enable(IDC_SETUP_INVERSE, (flags & prtconfig::kNegative) != 0);
        BM_SetCheck(IDC_SETUP_MIRROR, view.get_mirror() ? BST_CHECKED : BST_UNCHECKED);
        BM_SetCheck(IDC_SETUP_INVERSE, view.get_inverse() ? BST_CHECKED : BST_UNCHECKED);
        for (WORD o = 0; o < kOrientations; ++o)
            BM_SetCheck(IDC_SETUP_ORIENT0 + o, o == view.get_orientation() ? BST_CHECKED : BST_UNCHECKED);
    }
    if (full || previewDirty) {
        long picture = IDB_ORIENTATION + view.get_orientation() + (view.get_mirror() ? 4 : 0) +
                       (view.get_inverse() ? 8 : 0);
        BMM_SetBitmap(IDC_SETUP_PREVIEW, picture, true);
        previewDirty = false;
    }
}

bool ppPaper::Command(WORD id, WORD code, LONG) {
    if (id == IDC_SETUP_COPIES) {
        if (code == EN_UPDATE) {
            view.set_copies(static_cast<SHORT>(mrl::fitrange(EM_GetInt(IDC_SETUP_COPIES), 1, max_copies())));
            return true; // not rewritten while the user types
        }
        if (code == EN_KILLFOCUS) {
            copiesDirty = true;
            return false;
        }
        return true;
    }
    if (id == IDC_SETUP_STOCK) {
        if (code != CBN_SELCHANGE)
            return true;
        auto *chosen = reinterpret_cast<prtform *>(CB_GetCurSelData(IDC_SETUP_STOCK));
        for (prtform *f = forms.get_first(); f; f = f->get_next())
            if (f == chosen)
                current = f;
        if (current)
            view.set_form(current);
        selectionDirty = true;
        return false;
    }
    if (code != 0)
        return true;
    switch (id) {
    case IDC_SETUP_INVERSE:
        view.set_inverse(BM_GetCheck(IDC_SETUP_INVERSE));
        previewDirty = true;
        return false;
    case IDC_SETUP_MIRROR:
        view.set_mirror(BM_GetCheck(IDC_SETUP_MIRROR));
        previewDirty = true;
        return false;
    case IDC_SETUP_ORIENT0:
    case IDC_SETUP_ORIENT0 + 1:
    case IDC_SETUP_ORIENT0 + 2:
    case IDC_SETUP_ORIENT0 + 3:
        view.set_orientation(id - IDC_SETUP_ORIENT0);
        previewDirty = true;
        return false;
    case IDC_SETUP_DELETE: {
        if (!current || !current->can_delete())
            return false;
        OString caption;
        GetPaperName(caption, current);
        if (Message(GetString(IDS_DELETE_STOCK), caption.wstring(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
            delete current;
            current = nullptr;
            Reselect("");
        }
        return false;
    }
    case IDC_SETUP_EDIT: {
        if (!current)
            return false;
        prtform edited;
        edited.copy_from(*current);
        if (EditStock(edited, current)) {
            current->copy_from(edited);
            Reselect(current->get_name());
        }
        return false;
    }
    case IDC_SETUP_NEW: {
        auto *stock = new (std::nothrow) prtform;
        if (!stock)
            return false;
        if (current)
            stock->copy_from(*current);
        stock->set_flags(FORMF_GLOBAL);
        OString name(GetString(IDS_NEW_STOCK));
        stock->set_name(name.nstring());
        if (EditStock(*stock, nullptr)) {
            forms.Add(stock);
            Reselect(stock->get_name());
        } else {
            delete stock;
        }
        return false;
    }
    case IDC_SETUP_IMPORT:
        Import();
        return false;
    case IDC_SETUP_EXPORT:
        Export();
        return false;
    case IDC_SETUP_ADVANCED:
        Advanced();
        return false;
    default:
        return true;
    }
}

bool ppPaper::EditStock(prtform &stock, const prtform *original) {
    StockExchange exchange = {&stock, &forms, original};
    ui->exchange = &exchange;
    INT_PTR result = DialogModal(L"DLG_STOCK", ppPaperStock::WinProc);
    ui->exchange = nullptr;
    if (result != IDOK)
        return false;
    LONG room = pdt ? pdt->max_paper_width * 100 - stock.get_left() - stock.get_right() : stock.get_width();
    stock.set_width(mrl::fitrange(stock.get_width(), 0, room));
    return true;
}

void ppPaper::Import() {
    filedlg dialog(filedlg::kForms, &reg, &ui->locale());
    if (!dialog.GetOpenFileNameW(hwnd))
        return;
    OString path;
    dialog.GetFullFileName(path);
    // A file that is not wholly a form list is refused whole, with its reason.
    std::vector<unsigned char> bytes;
    const char *problem = "the file cannot be read or is too large";
    size_t record = 0;
    if (prtfile::ReadAll(path.wstring(), bytes, kMaxSfmBytes))
        problem = SfmProblem(bytes.data(), bytes.size(), &record);
    FormImport report;
    char name[kFormNameSize] = {};
    if (current)
        mrl::__strncpy(name, current->get_name(), kFormNameSize);
    if (!problem && !forms.Import(path.wstring(), report))
        problem = "the file cannot be read";
    if (problem) {
        OString reason(problem), text;
        if (record) {
            reason += " (stock ";
            reason += static_cast<LONG>(record);
            reason += ")";
        }
        format(text, GetString(IDS_IMPORT_REFUSED), path.wstring(), reason.wstring());
        Message(text.wstring(), GetString(IDS_FILE_TYPE + filedlg::kForms), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Reselect(name);
}

void ppPaper::Reselect(const char *name) {
    // Paper ids follow the list's order: after a change the device mode is
    // written again, so that it names the same stock (or the user-defined one).
    forms.Validate();
    current = nullptr;
    for (prtform *f = forms.get_first(); f && !current; f = f->get_next())
        if (f->get_paper_id() && !mrl::__strncmp(f->get_name(), name, kFormNameSize))
            current = f;
    if (!current)
        current = forms.Find(kUserPaperId);
    if (current)
        view.set_form(current);
    formsDirty = true;
}

void ppPaper::Export() {
    filedlg dialog(filedlg::kForms, &reg, &ui->locale());
    if (!dialog.GetSaveFileNameW(hwnd))
        return;
    OString path;
    dialog.GetFullFileName(path);
    if (!forms.Save(path.wstring())) {
        OString text;
        format(text, GetString(IDS_FILE_NOT_WRITTEN), path.wstring());
        Message(text.wstring(), GetString(IDS_FILE_TYPE + filedlg::kForms), MB_OK | MB_ICONEXCLAMATION);
    }
}

void ppPaper::Advanced() {
    AdvancedExchange exchange = {false, false, forms.GetUnprintableWidth()};
    ui->exchange = &exchange;
    DialogModal(L"DLG_ADVANCED", ppAdvanced::WinProc);
    ui->exchange = nullptr;
    if (exchange.widthChanged) {
        forms.SetUnprintableWidth(exchange.unprintableWidth);
        forms.Validate();
    }
    if (exchange.refreshAll)
        WM_QuerySiblings(kRefreshSiblings, 1);
}

void ppPaperStock::Init() {
    prtpage::Init();
    SetHelp(1210, false);
    _MODEL *model = get_model();
    pdt = model ? model->GetPDT() : nullptr;
    maxWidth = pdt ? pdt->max_paper_width * 100 : 0;
    maxHeight = pdt ? pdt->max_paper_length * 100 : 0;
    auto *exchange = static_cast<StockExchange *>(ui->exchange);
    if (exchange) {
        stock = exchange->stock;
        list = exchange->list;
        original = exchange->original;
    }
    if (!stock)
        WM_EnableAll(false, 0, 0);
}

LONG ppPaperStock::max_width() const { return maxWidth - stock->get_left() - stock->get_right(); }

void ppPaperStock::Refresh(bool full) {
    if (!stock)
        return;
    bool editable = is_default_dm() || stock->is_user();
    bool resizable = editable && stock->can_resize();
    // Writing a box raises EN_UPDATE: the values shown are not read back.
    filling = true;
    if (full) {
        BMM_SetBitmap(IDC_STOCK_PICTURE, IDB_STOCK, true);
        OString name(stock->get_name());
        EM_SetText(IDC_STOCK_NAME, name.wstring());
        WM_Enable(IDC_STOCK_NAME, editable && stock->can_rename());
    }
    if (full || sizeDirty) {
        WM_Enable(IDC_STOCK_WIDTH, resizable);
        WM_Enable(IDC_STOCK_HEIGHT, resizable);
        EM_SetMicrons(IDC_STOCK_WIDTH, stock->get_width());
        EM_SetMicrons(IDC_STOCK_HEIGHT, stock->get_height());
        sizeDirty = false;
    }
    if (full || gapsDirty) {
        WM_Enable(IDC_STOCK_LEFT_GAP, resizable);
        WM_Enable(IDC_STOCK_RIGHT_GAP, resizable);
        EM_SetMicrons(IDC_STOCK_LEFT_GAP, stock->get_left());
        EM_SetMicrons(IDC_STOCK_RIGHT_GAP, stock->get_right());
        gapsDirty = false;
    }
    filling = false;
}

bool ppPaperStock::Command(WORD id, WORD code, LONG) {
    if (!stock || (filling && code == EN_UPDATE))
        return true;
    // Centring models keep both gaps equal; the copy raises EN_UPDATE in the twin box.
    static int copying = 0;
    switch (id) {
    case IDC_STOCK_NAME:
        if (code == EN_UPDATE) {
            OString name;
            WM_GetText(IDC_STOCK_NAME, name);
            stock->set_name(name.nstring());
        }
        return true;
    case IDC_STOCK_WIDTH:
    case IDC_STOCK_HEIGHT:
        if (code == EN_UPDATE) {
            LONG v = EM_GetMicrons(id);
            if (id == IDC_STOCK_WIDTH)
                stock->set_width(mrl::fitrange(v, minWidth, max_width()));
            else
                stock->set_height(mrl::fitrange(v, minHeight, maxHeight));
            return true;
        }
        if (code == EN_KILLFOCUS) {
            sizeDirty = true;
            return false;
        }
        return true;
    case IDC_STOCK_LEFT_GAP:
    case IDC_STOCK_RIGHT_GAP:
        if (code == EN_UPDATE) {
            if (pdt && pdt->paper_loading == 2 && copying == 0) {
                WCHAR text[129] = {};
                GetDlgItemTextW(hwnd, id, text, 129);
                ++copying;
                WM_SetText(id == IDC_STOCK_LEFT_GAP ? IDC_STOCK_RIGHT_GAP : IDC_STOCK_LEFT_GAP, text);
                --copying;
            }
            LONG v = mrl::fitrange(EM_GetMicrons(id), 0, maxWidth / 2);
            if (id == IDC_STOCK_LEFT_GAP)
                stock->set_left(v);
            else
                stock->set_right(v);
            return true;
        }
        if (code == EN_KILLFOCUS) {
            gapsDirty = true;
            return false;
        }
        return true;
    default:
        return true;
    }
}

bool ppPaperStock::refuse(long text, const WCHAR *arg) {
    OString message;
    format(message, GetString(text), arg);
    Message(message.wstring(), GetString(IDS_STOCK_NAME_TITLE), MB_OK | MB_ICONEXCLAMATION);
    EM_SetText(IDC_STOCK_NAME, GetString(IDS_NEW_STOCK));
    WM_SetFocus(IDC_STOCK_NAME);
    return false;
}

bool ppPaperStock::VerifyOkay() {
    if (!stock || !stock->can_rename())
        return true;
    OString typed;
    WM_GetText(IDC_STOCK_NAME, typed);
    const char *name = stock->get_name();
    if (!mrl::__stricmp(name, "User Defined") || !mrl::__stricmp(name, kUserFormName))
        return refuse(IDS_STOCK_NAME_RESERVED, typed.wstring());
    if (!name[0])
        return refuse(IDS_STOCK_NAME_EMPTY, L"");
    if (mrl::__strlen(typed.nstring()) > kFormNameSize - 1)
        return refuse(IDS_STOCK_NAME_LONG, L"");
    for (const prtform *f = list ? list->get_first() : nullptr; f; f = f->get_next())
        if (f != original && !mrl::__strncmp(f->get_name(), name, kFormNameSize))
            return refuse(IDS_STOCK_NAME_TAKEN, typed.wstring());
    return true;
}
