// Fonts copied into the printer's memory as print jobs of their own: a new
// font sent, a font deleted from the printer, every listed font sent again.
// The font page and mrlprint share these, so both behave alike.
#pragma once

#include "../imaging/fontraster.h"
#include "../store/dttf.h"
#include "prtstream.h"

class prtreg;

// The printer stream's font escapes as the rasteriser's sink.
class StreamFontSink : public FontSink {
public:
    explicit StreamFontSink(prtstream &st) : st_(st) {}
    bool DownloadFont(const VXFontInfo &info) override { return st_.DownloadFont(&info); }
    bool DownloadFontData(const unsigned char *data, unsigned long n) override {
        return st_.DownloadFontData(data, n);
    }
    bool DownloadBitmapData(const unsigned char *record, size_t) override { return st_.DownloadBitmapData(record); }

private:
    prtstream &st_;
};

// The chosen font created from a settings block and selected into a screen
// context (the window's, or the screen's for a null window), with the size of
// its TrueType file: 0 when it has none.
class FontContext {
public:
    FontContext(HWND wnd, const DTTFInfo &info);
    ~FontContext();
    FontContext(const FontContext &) = delete;
    FontContext &operator=(const FontContext &) = delete;
    HDC dc() const { return size_ ? dc_ : nullptr; }
    unsigned long size() const { return size_; }

private:
    HWND wnd_;
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
    unsigned long size_ = 0;
};

enum class FontSend {
    kSent,        // the printer took the whole font
    kNoFile,      // not a TrueType font: there is no file to send
    kTooLarge,    // a glyph would be larger than the printer's printable width
    kNothingSent, // no orientation for bitmap fonts, or nothing could be rasterised
    kRefused,     // the job did not reach the printer whole
};

// What the printer allows a font: its resolution, font modes and printable
// width in dots.
struct FontPrinter {
    long dpi = 0;
    uint16_t font_modes = 0;
    long max_dots = 0;
};

// Sends info's font (type 1 whole, type 2 as bitmap glyphs) in a job named
// after it; a font without a printer name gets its full name. After a TrueType download the name the printer gave it ("tmpfi",
// when "tmpfiflag" is set in store) replaces the printer name of the record.
FontSend SendFont(prtstream &st, prtreg *store, DTTFInfo &info, const FontPrinter &printer, HWND wnd);
// Deletes the font from the printer in a "Delete Font" job; true when the job
// reached the printer.
bool EraseFont(prtstream &st, prtdttf_node &node);
// Sends every font again whose status is not 1 (being sent); a font that fails
// gets status 3. The number that failed.
long ReDownloadAll(prtstream &st, prtreg *store, prtdttf_list &list, const FontPrinter &printer, HWND wnd);

// The full name (face, weight and style, as the font names itself) of the
// TrueType font lf names, among the window's screen fonts, into out (n bytes,
// ANSI, terminated); false, with the face name there, when no TrueType font
// of that face, weight and style exists.
bool TrueTypeFullName(HWND wnd, const LOGFONTW &lf, char *out, size_t n);

class _MODEL;
// The model's resolution, font modes and printable width.
FontPrinter FontPrinterOf(const _MODEL &model);
