// mrlprint fonts PRINTER [ACTION] [ARG]: the fonts the driver sent to the
// printer, as the font page lists them, and the page's actions: download a
// font (TrueType whole or as bitmap glyphs), delete one, send all again.
#include "command.h"
#include "session.h"

#include "output/fontdownload.h"
#include "pages/ppfont.h"
#include "store/dttf.h"
#include "store/prtreg.h"

#include <cstring>
#include <string>

namespace {

using namespace mrlprint;

const wchar_t kUsage[] =
    L"PRINTER [ACTION] [ARG] [--size POINTS] [--bitmap] [--truetype] [--chars ROW]  list (default); "
    L"download FACE: send a TrueType font whole (--truetype) or as bitmap glyphs at --size points (--bitmap; "
    L"--chars 0-7 picks the character set, 6 ASCII by default); delete N: remove font N of the list from the "
    L"printer; resend: send every listed font again";

// The usage's tail after the syntax, for errors.
void usage_hint() { err(L"usage: mrlprint fonts %ls\n", std::wstring(kUsage).substr(0, std::wstring(kUsage).find(L"  ")).c_str()); }

int bad(const std::wstring &what) {
    err(L"mrlprint fonts: %ls\n", what.c_str());
    usage_hint();
    return 2;
}

// A 64-byte name field of the font record, which need not end inside itself.
std::wstring field(const char (&name)[64]) {
    char text[65] = {};
    std::memcpy(text, name, 64);
    return shown(text);
}

void print_list(Session &s, prtdttf_list &list) {
    out(L"fonts sent to %ls: %ls, %ld bytes of TrueType files in the printer\n",
        shown(s.ui().printer_name().wstring()).c_str(), count(list.count(), L"font", L"fonts").c_str(),
        static_cast<long>(list.total_size()));
    long i = 0;
    for (prtdttf_node *n = list.get_first(); n; n = n->get_next(), ++i) {
        OString line;
        FontListLine(n->info, s.ui().locale(), line);
        std::wstring text = line.wstring();
        for (auto &c : text)
            if (c == L'\t')
                c = L'|';
        out(L"  %ld  %ls  (in the printer as \"%ls\"", i, shown(text).c_str(), field(n->info.font.printer_name).c_str());
        if (n->info.font.data_size > 0)
            out(L", %ld bytes", static_cast<long>(n->info.font.data_size));
        else if (n->info.type == 2)
            out(L", %ld characters", static_cast<long>(n->info.font.char_count));
        out(L")\n");
    }
}

// "10.5" as tenths of a point, 1 to 7200; -1 when it is not such a number.
long tenths(const std::wstring &text) {
    long whole = 0, tenth = 0;
    size_t i = 0;
    for (; i < text.size() && iswdigit(text[i]) && whole < 100000; ++i)
        whole = whole * 10 + (text[i] - L'0');
    if (i == 0)
        return -1;
    if (i < text.size() && (text[i] == L'.' || text[i] == L',') && i + 2 == text.size() && iswdigit(text[i + 1]))
        tenth = text[i + 1] - L'0', i += 2;
    long v = whole * 10 + tenth;
    return i == text.size() && v >= 1 && v <= 7200 ? v : -1;
}

// The job text the virtual printer left for its newest job, if any.
std::wstring printer_says(const std::wstring &dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\job-*.txt").c_str(), &fd);
    std::wstring newest;
    if (h == INVALID_HANDLE_VALUE)
        return L"";
    do
        if (newest.empty() || lstrcmpW(fd.cFileName, newest.c_str()) > 0)
            newest = fd.cFileName;
    while (FindNextFileW(h, &fd));
    FindClose(h);
    std::vector<unsigned char> bytes;
    read_file(dir + L"\\" + newest, bytes);
    std::wstring text(bytes.begin(), bytes.end());
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    return text;
}

int download(Session &s, prtreg &store, prtdttf_list &list, const Args &args, const std::wstring &face) {
    const PDT *pdt = s.ui().model()->GetPDT();
    bool bitmap = flag(args, L"--bitmap"), truetype = flag(args, L"--truetype");
    if (bitmap && truetype)
        return bad(L"--bitmap and --truetype exclude each other");
    if (!bitmap && !truetype)
        truetype = pdt->font_modes & 1, bitmap = !truetype;
    if (!(pdt->font_modes & (truetype ? 1 : 2))) {
        err(L"%ls: the model takes no %ls font downloads\n", shown(s.ui().printer_name().wstring()).c_str(),
            truetype ? L"TrueType" : L"bitmap");
        return 1;
    }
    std::wstring size_text = option(args, L"--size"), chars_text = option(args, L"--chars");
    long size = size_text.empty() ? 120 : tenths(size_text);
    if (size < 0)
        return bad(L"--size needs points from 0.1 to 720, in tenths at most, not \"" + shown(size_text) + L"\"");
    long row = 6;
    if (!chars_text.empty()) {
        if (chars_text.size() != 1 || chars_text[0] < L'0' || chars_text[0] > L'7')
            return bad(L"--chars needs a row from 0 to 7, not \"" + shown(chars_text) + L"\"");
        row = chars_text[0] - L'0';
    }
    if (face.empty() || face.size() >= LF_FACESIZE)
        return bad(L"a font's face name has 1 to 31 characters");

    auto *node = new prtdttf_node;
    DTTFInfo &info = node->info;
    info.type = truetype ? 1 : 2;
    info.point_size = size;
    std::memcpy(info.charset, CharMasks[row].chars, sizeof info.charset);
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(size, 96, 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    if (!TrueTypeFullName(nullptr, lf, info.font.full_name, sizeof info.font.full_name)) {
        delete node;
        err(L"no TrueType font named \"%ls\" on this system; nothing was sent\n", shown(face).c_str());
        return 1;
    }
    std::memcpy(info.logfont, &lf, sizeof lf);
    FontSend sent = SendFont(s.stream(), &store, info, FontPrinterOf(*s.ui().model()), nullptr);
    std::wstring full = field(info.font.full_name);
    if (sent != FontSend::kSent) {
        delete node;
        const wchar_t *why = sent == FontSend::kNoFile      ? L"the font has no TrueType file the driver can read"
                             : sent == FontSend::kTooLarge  ? L"its characters would be wider than the printer prints"
                             : sent == FontSend::kRefused   ? L"the printer did not take the job"
                             : truetype ? L"the font file could not be read or sent whole"
                                        : L"no glyph could be sent (the model names no orientation for bitmap fonts, "
                                          L"or nothing could be drawn)";
        err(L"%ls was not sent: %ls; the font list is unchanged\n", full.c_str(), why);
        if (sent == FontSend::kRefused && !s.virtual_dir().empty()) {
            std::wstring said = printer_says(s.virtual_dir());
            if (!said.empty())
                err(L"the printer says: %ls\n", said.c_str());
        }
        return 1;
    }
    list.AddFont(node);
    list.Save(store);
    if (truetype)
        out(L"sent %ls to %ls: TrueType, %ld bytes, font %ld of the list\n", full.c_str(),
            shown(s.ui().printer_name().wstring()).c_str(), static_cast<long>(info.font.data_size),
            static_cast<long>(list.count() - 1));
    else
        out(L"sent %ls to %ls: bitmap, %ld.%ld pt, %ld characters of %ld pixels, font %ld of the list\n", full.c_str(),
            shown(s.ui().printer_name().wstring()).c_str(), size / 10, size % 10,
            static_cast<long>(info.font.char_count), static_cast<long>(info.font.cell_height),
            static_cast<long>(list.count() - 1));
    return 0;
}

int fonts(const Args &args) {
    Session s(args[0]);
    if (!s.ok())
        return 1;
    std::vector<std::wstring> words; // the arguments after PRINTER, options left out
    for (size_t i = 1; i < args.size(); ++i)
        if (args[i] == L"--size" || args[i] == L"--chars")
            ++i;
        else if (args[i].rfind(L"--", 0) != 0)
            words.push_back(args[i]);
    std::wstring action = words.size() > 0 ? words[0] : L"list";
    std::wstring arg = words.size() > 1 ? words[1] : L"";
    prtreg store;
    store.init(s.ui().printer(), s.ui().printer_name().wstring());
    prtdttf_list &list = s.ui().fonts();
    list.Load(store);
    if (action == L"list" || action == L"resend") {
        if (!arg.empty())
            return bad(L"unexpected argument \"" + shown(arg) + L"\"");
        if (action == L"resend") {
            long failed = ReDownloadAll(s.stream(), &store, list, FontPrinterOf(*s.ui().model()), nullptr);
            out(L"sent %ls again, %ld failed\n", count(list.count() - failed, L"font", L"fonts").c_str(), failed);
            print_list(s, list);
            return failed ? 1 : 0;
        }
        print_list(s, list);
        return 0;
    }
    if (action == L"download") {
        if (arg.empty())
            return bad(L"download needs FACE, the font's face name");
        return download(s, store, list, args, arg);
    }
    if (action == L"delete") {
        wchar_t *end = nullptr;
        long n = arg.empty() ? -1 : wcstol(arg.c_str(), &end, 10);
        prtdttf_node *node = list.get_first();
        for (long i = 0; node && i < n; ++i)
            node = node->get_next();
        if (arg.empty() || *end || n < 0 || !node)
            return bad(L"delete needs the number of a listed font (0 to " + std::to_wstring(list.count() - 1) +
                       L"), not \"" + shown(arg) + L"\"");
        std::wstring full = field(node->info.font.full_name);
        bool in_printer = node->info.status != 2;
        bool erased = in_printer && EraseFont(s.stream(), *node);
        delete node;
        list.Save(store);
        out(L"deleted %ls from the list%ls\n", full.c_str(),
            !in_printer ? L" (it was not in the printer: nothing sent)"
            : erased   ? L" and from the printer"
                       : L"; the printer did not take the delete command");
        return in_printer && !erased ? 1 : 0;
    }
    return bad(L"unknown action \"" + shown(action) + L"\" (list, download, delete or resend)");
}

MRLPRINT_COMMAND(L"fonts", kUsage, fonts);

} // namespace
