#include "fontdownload.h"

#include "../foundation/ostring.h"
#include "../model/model.h"
#include "../store/prtreg.h"

#include <cstring>

FontContext::FontContext(HWND wnd, const DTTFInfo &info) : wnd_(wnd) {
    LOGFONTW lf;
    std::memcpy(&lf, info.logfont, sizeof lf);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    dc_ = ::GetDC(wnd_);
    font_ = dc_ ? CreateFontIndirectW(&lf) : nullptr;
    if (!font_)
        return;
    old_ = SelectObject(dc_, font_);
    DWORD size = GetFontData(dc_, 0, 0, nullptr, 0);
    size_ = size == GDI_ERROR ? 0 : size;
}

FontContext::~FontContext() {
    if (old_)
        SelectObject(dc_, old_);
    if (font_)
        DeleteObject(font_);
    if (dc_)
        ReleaseDC(wnd_, dc_);
}

FontPrinter FontPrinterOf(const _MODEL &model) {
    FontPrinter p;
    if (const PDT *pdt = model.GetPDT()) {
        p.dpi = pdt->dpi;
        p.font_modes = pdt->font_modes;
        p.max_dots = MulDiv(pdt->printable_width, pdt->dpi, 25400);
    }
    return p;
}

namespace {

struct FullName {
    const LOGFONTW *want;
    WCHAR found[LF_FULLFACESIZE];
};

int CALLBACK FontFamilyCallBack(const LOGFONTW *lf, const TEXTMETRICW *, DWORD type, LPARAM lParam) {
    auto *f = reinterpret_cast<FullName *>(lParam);
    if (!(type & TRUETYPE_FONTTYPE) || lstrcmpiW(lf->lfFaceName, f->want->lfFaceName) != 0 ||
        lf->lfWeight != f->want->lfWeight || !lf->lfItalic != !f->want->lfItalic)
        return 1;
    lstrcpynW(f->found, reinterpret_cast<const ENUMLOGFONTEXW *>(lf)->elfFullName, LF_FULLFACESIZE);
    return 0;
}

} // namespace

bool TrueTypeFullName(HWND wnd, const LOGFONTW &lf, char *out, size_t n) {
    FullName f = {&lf, {}};
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, lf.lfFaceName, LF_FACESIZE);
    if (HDC dc = ::GetDC(wnd)) {
        EnumFontFamiliesExW(dc, &query, FontFamilyCallBack, reinterpret_cast<LPARAM>(&f), 0);
        ReleaseDC(wnd, dc);
    }
    std::memset(out, 0, n);
    WideCharToMultiByte(CP_ACP, 0, f.found[0] ? f.found : lf.lfFaceName, -1, out, static_cast<int>(n) - 1, nullptr,
                        nullptr);
    return f.found[0] != 0;
}

namespace {

// The name the rendering module gave a TrueType font it stored, when it left one.
void take_printer_name(prtreg &store, VXFontInfo &font) {
    unsigned char flag = 0;
    if (!store.LoadRaw("tmpfiflag", &flag, 1, false) || !flag)
        return;
    unsigned char name[sizeof font.printer_name] = {};
    if (store.LoadStr("tmpfi", name, sizeof name, false)) {
        std::memcpy(font.printer_name, name, sizeof name);
        font.printer_name[sizeof name - 1] = 0;
    }
    flag = 0;
    store.SaveRaw("tmpfiflag", &flag, 1, false);
}

} // namespace

FontSend SendFont(prtstream &st, prtreg *store, DTTFInfo &info, const FontPrinter &printer, HWND wnd) {
    FontContext context(wnd, info);
    if (info.type == 1 && !context.size())
        return FontSend::kNoFile;
    if (info.type != 1 && printer.max_dots > 0 && MulDiv(info.point_size, printer.dpi, 720) > printer.max_dots)
        return FontSend::kTooLarge;
    // The printer keeps the font under its full name unless it names it itself.
    if (!info.font.printer_name[0])
        std::memcpy(info.font.printer_name, info.font.full_name, sizeof info.font.printer_name - 1);
    char name[sizeof info.font.full_name + 1] = {};
    std::memcpy(name, info.font.full_name, sizeof info.font.full_name);
    OString job;
    job = name;
    st.StartJob(job.wstring());
    StreamFontSink sink(st);
    bool sent;
    if (info.type == 1) {
        sent = DownloadTTFFont(context.dc(), info, context.size(), sink);
        if (sent && store)
            take_printer_name(*store, info.font);
    } else {
        sent = DownloadBitmapFont(info, printer.dpi, printer.font_modes, sink);
    }
    bool delivered = st.EndJob();
    return !sent ? FontSend::kNothingSent : delivered ? FontSend::kSent : FontSend::kRefused;
}

bool EraseFont(prtstream &st, prtdttf_node &node) {
    node.info.font.command = 3;
    st.StartJob(WSTR("Delete Font"));
    st.DownloadFont(&node.info.font);
    return st.EndJob();
}

long ReDownloadAll(prtstream &st, prtreg *store, prtdttf_list &list, const FontPrinter &printer, HWND wnd) {
    long failed = 0;
    for (prtdttf_node *n = list.get_first(); n; n = n->get_next()) {
        if (n->info.status == 1)
            continue;
        n->info.status = 0;
        if (SendFont(st, store, n->info, printer, wnd) != FontSend::kSent) {
            n->info.status = 3;
            ++failed;
        }
    }
    return failed;
}
