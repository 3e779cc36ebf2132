// One bar font record and its symbology rules, the model's filter and the
// bar-font-list files.
#include "barfont.h"

#include "../foundation/lebytes.h"
#include "../foundation/util.h"
#include "../model/model.h"
#include "../model/prtfile.h"

#include <cstring>
#include <new>

namespace {

// round(a × b / c) in the stored fields' sense, without overflow; 0 for c <= 0.
LONG round_ratio(LONG a, LONG b, LONG c) {
    if (c <= 0)
        return 0;
    int64_t q = (static_cast<int64_t>(a) * b + c / 2) / c;
    return static_cast<LONG>(q > INT32_MAX ? INT32_MAX : q < INT32_MIN ? INT32_MIN : q);
}

bool name_char(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c && std::strchr(" +-,.()[]:;", c) != nullptr);
}

bool start_stop_char(LONG c) { return (c >= 'a' && c <= 'd') || c == '*'; }

// Options bits 0 to 4 of a symbology: the printer draws it in some form.
bool available(VXCapabilitiesData *caps, LONG id) {
    VXSymbologyData *s = GetSymbologyData(caps, id);
    return s && (s->options & 0x1F) != 0;
}

constexpr size_t kBlockSize = kBarFontSize - barfont::kBlock;

} // namespace

LONG barfont::i32(size_t offset) const { return le::i32(rec_ + offset); }
void barfont::put32(size_t offset, LONG v) { le::put32(rec_ + offset, static_cast<uint32_t>(v)); }
LONG barfont::get16(size_t offset) const { return static_cast<int16_t>(le::u16(rec_ + offset)); }
void barfont::set16(size_t offset, LONG v) { le::put16(rec_ + offset, static_cast<uint16_t>(v)); }

void barfont::init() {
    rec_[4] = rec_[5] = rec_[6] = 0;
    set_flags(0);
    set_displayfont(false);
    set_name("New Bar Font");
    set_manufacturer(nullptr);
    std::memset(rec_ + kBlock, 0, kBlockSize);
    set_symbology(0);
    set_ratio(0);
    set_rotation(0);
    set_mils(15);
    set_hr(2);
    set_distance(round_ratio(65, get_dpi(), 1000));
}

bool barfont::is_2D(LONG id) {
    switch (id) {
    case 14: case 15: case 16: case 17: case 18: case 25: case 26: case 28: case 29:
        return true;
    default:
        return false;
    }
}

LONG barfont::get_symbology() const { return get16(is_linear() ? kSym1D : kSym2D); }

void barfont::set_symbology(LONG id) {
    bool two = is_2D(id);
    put32(kDimension, two ? 2 : 1);
    set16(kBlock, two ? 64 : 92);
    set16(two ? kSym2D : kSym1D, id);
}

LONG barfont::get_rotation() const { return get16(is_linear() ? kRot1D : kRot2D); }
void barfont::set_rotation(LONG r) { set16(is_linear() ? kRot1D : kRot2D, r); }
LONG barfont::get_x() const { return get16(is_linear() ? kX1D : kX2D); }
void barfont::set_x(LONG dots) { set16(is_linear() ? kX1D : kX2D, dots); }
LONG barfont::get_mils() const { return round_ratio(get_x(), 1000, get_dpi()); }
void barfont::set_mils(LONG mils) { set_x(round_ratio(mils, get_dpi(), 1000)); }
LONG barfont::get_ratio() const { return get16(kRatioWhole) * 100 + get16(kRatioHundredths); }

void barfont::set_ratio(LONG r) {
    set16(kRatioWhole, r / 100);
    set16(kRatioHundredths, r % 100);
}

LONG barfont::get_hr() const {
    if (!is_linear() || get16(kReadable) == 0)
        return 0;
    return get16(kReadablePlace) == 1 ? 1 : 2;
}

void barfont::set_hr(LONG mode) {
    if (mode < 0 || mode > 2)
        return;
    set16(kReadable, mode != 0);
    if (mode)
        set16(kReadablePlace, mode == 1);
}

void barfont::set_displayfont(bool on) {
    set_flags(on ? get_flags() | BFF_DISPLAY : get_flags() & ~BFF_DISPLAY);
    put32(0, on ? 500 : 400);
    rec_[7] = on ? 2 : 0;
    rec_[11] = on ? 0x40 : 0x30;
}

void barfont::set_name(const char *name) {
    char *out = reinterpret_cast<char *>(rec_ + kName);
    std::memset(out, 0, kBarFontNameSize);
    for (int n = 0; name && *name && n < kBarFontNameSize - 1; ++name)
        if (name_char(static_cast<unsigned char>(*name)))
            out[n++] = *name;
}

void barfont::set_manufacturer(const char *name) {
    char *out = reinterpret_cast<char *>(rec_ + kManufacturer);
    std::memset(out, 0, 12);
    for (int n = 0; name && name[n] && n < 12; ++n)
        out[n] = name[n];
}

void barfont::change_symbology(LONG id) {
    LONG rotation = get_rotation(), mils = get_mils();
    bool was_linear = is_linear();
    bool linear = !is_2D(id);
    if (linear != was_linear) {
        std::memset(rec_ + kBlock, 0, kBlockSize);
        if (linear)
            set_distance(round_ratio(65, get_dpi(), 1000));
    }
    set_symbology(id);
    set_rotation(rotation);
    set_mils(mils);
    switch (id) {
    case kSymCode128:
        if (!was_linear || get16(kOpt1) > 3)
            set16(kOpt1, 0);
        break;
    case kSymCodabar:
        if (!was_linear || !start_stop_char(get16(kOpt1)) || !start_stop_char(get16(kOpt2))) {
            set16(kOpt1, 'a');
            set16(kOpt2, 'a');
        }
        break;
    case kSymPdf417:
    case kSymMicroPdf:
        set16(k2DOpt1, -1);
        set16(k2DOpt2, 0);
        set16(k2DOpt3, 0);
        set16(k2DOpt5, 3);
        break;
    case kSymMaxiCode:
        set16(k2DOpt1, 2);
        break;
    case kSymDataMatrix:
        set16(k2DOpt1, 200);
        set16(k2DOpt2, 0);
        set16(k2DOpt3, 0);
        set16(k2DOpt5, 0);
        set16(k2DOpt6, 0);
        break;
    case kSymQrCode:
        set16(k2DOpt1, 2);
        set16(k2DOpt2, 9);
        set16(k2DOpt3, 'L');
        set16(k2DOpt4, 0);
        break;
    default:
        break;
    }
}

bool barfont::is_supported(VXCapabilitiesData *caps) const {
    VXSymbologyData *s = GetSymbologyData(caps, get_symbology());
    return s && static_cast<int16_t>(s->supported) > 0;
}

void barfont::set_bytes(const unsigned char *bytes, size_t n) {
    std::memcpy(rec_, bytes, n < sizeof rec_ ? n : sizeof rec_);
    rec_[kName + kBarFontNameSize - 1] = 0;
}

const char *SymbologyFamily(LONG id) {
    switch (id) {
    case 0: case 1: case 2: case 5: case 6: case 11: case 12: case 13: case 19: case 20: case 22: case 23:
        return "CODE39";
    case kSymCode128:
        return "CODE128";
    case kSymCodabar:
        return "CODABAR";
    case 7: case 8: case 9: case 10:
        return "UPC";
    case kSymPdf417:
    case kSymMicroPdf:
        return "PDF417";
    case kSymDataMatrix:
        return "DATAMATRIX";
    case kSymMaxiCode:
        return "MAXICODE";
    case kSymQrCode:
        return "QRCODE";
    case kSymJapanPost:
        return "JAPANPOST";
    default:
        return nullptr;
    }
}

barfontnode::barfontnode(const PDT *pdt) {
    font.set_dpi(pdt ? pdt->printer_dpi : 0);
    font.init();
}

barfontnode::~barfontnode() { Remove(); }

bool barfontlist::AddTail(barfontnode *node) {
    if (!node)
        return false;
    for (barfontnode *n = get_first(); n;) {
        barfontnode *next = n->get_next();
        if (n != node && n->font.get_dpi() == node->font.get_dpi() &&
            std::strncmp(n->font.get_name(), node->font.get_name(), kBarFontNameSize) == 0)
            delete n;
        n = next;
    }
    return OList::AddTail(node);
}

bool barfontlist::SupportedRatio(LONG narrow, LONG wide, unsigned long options) {
    auto bit = [options](int b) { return (options >> b & 1) != 0; };
    if ((options & 0xFFF000ul) == 0 || bit(12))
        return true;
    int64_t n = narrow, w = wide;
    if ((bit(13) && w == 2 * n) || (bit(23) && w == 3 * n))
        return true;
    if (n % 2 == 0 && bit(18) && 2 * w == 5 * n)
        return true;
    if (n % 3 == 0 && ((bit(16) && 3 * w == 7 * n) || (bit(20) && 3 * w == 8 * n)))
        return true;
    if (n % 4 == 0 && ((bit(15) && 4 * w == 9 * n) || (bit(21) && 4 * w == 11 * n)))
        return true;
    if (n % 5 != 0)
        return false;
    return (bit(14) && 5 * w == 11 * n) || (bit(17) && 5 * w == 12 * n) || (bit(19) && 5 * w == 13 * n) ||
           (bit(22) && 5 * w == 14 * n);
}

bool barfontlist::Filter(_MODEL *model, bool strict) {
    VXCapabilitiesData *caps = model ? model->GetVXM() : nullptr;
    LONG dpi = model && model->GetPDT() ? model->GetPDT()->dpi : 0;
    for (barfontnode *n = get_first(); n; n = n->get_next()) {
        const barfont &f = n->font;
        bool ok = f.is_supported(caps);
        LONG id = f.get_symbology();
        VXSymbologyData *s = GetSymbologyData(caps, id);
        uint32_t o = s ? s->options : 0;
        if (ok && id == kSymCode128) {
            LONG enc = f.get16(barfont::kOpt1);
            ok = !(enc >= 1 && enc <= 3 && (o & 2));
        } else if (ok && id >= kSymUpcFirst && id <= kSymUpcLast) {
            LONG add = f.get16(barfont::kAddOn);
            if ((add == -1 || add == 2) && !available(caps, kSymAddOn2))
                ok = false;
            if ((add == -1 || add == 5) && !available(caps, kSymAddOn5))
                ok = false;
        } else if (ok && id == kSymPdf417) {
            ok = !((o & 1) && f.get16(barfont::k2DOpt2) != 0);
        } else if (ok && id == kSymDataMatrix) {
            static const LONG levels[] = {0, 10, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 200};
            LONG level = f.get16(barfont::k2DOpt1);
            for (int b = 0; b < 14; ++b)
                if (levels[b] == level && !(o >> b & 1))
                    ok = false;
        } else if (ok && id == kSymMaxiCode) {
            LONG mode = f.get16(barfont::k2DOpt1);
            if (mode >= 2 && mode <= 6 && !(o >> (mode - 2) & 1))
                ok = false;
        } else if (ok && id == kSymQrCode) {
            LONG qr_model = f.get16(barfont::k2DOpt1);
            if ((qr_model == 1 && !(o & 1)) || (qr_model == 2 && !(o & 2)) ||
                (f.get16(barfont::k2DOpt2) < 9 && !(o & 0x10)))
                ok = false;
        }
        n->supported = ok;
        LONG res = f.get_dpi();
        n->resolution_matches = res >= dpi - dpi / 10 && res <= dpi + dpi / 10;
        n->shown = strict ? ok && n->resolution_matches : ok;
    }
    return true;
}

LONG barfontlist::CountStored(bool predefined) const {
    LONG n = 0;
    for (barfontnode *f = get_first(); f; f = f->get_next())
        n += ((f->font.get_flags() & BFF_PREDEFINED) != 0) == predefined;
    return n;
}

bool barfontlist::Load(const WCHAR *path, bool predefined) {
    prtfile file(path, prtfile::kRead);
    if (!file.is_open())
        return true;
    unsigned char header[kSbfHeaderSize] = {};
    if (file.Read(header, 4) != 4 || std::memcmp(header, kSbfMagic, 4) != 0)
        return false;
    if (file.Read(header + 4, 4) != 4)
        return true;
    uint32_t r = le::u32(header + 4);
    // An empty record would never end the file; a larger one is a layout this module does not know.
    if (r == 0 || r > static_cast<uint32_t>(kBarFontSize))
        return true;
    unsigned char buf[kBarFontSize] = {};
    for (LONG taken = 0; taken < kMaxBarFonts && file.Read(buf, static_cast<LONG>(r)) == static_cast<LONG>(r);
         ++taken) {
        auto *node = new (std::nothrow) barfontnode;
        if (!node)
            break;
        node->font.set_bytes(buf, kBarFontSize);
        if (predefined)
            node->font.set_flags(node->font.get_flags() | BFF_PREDEFINED);
        AddTail(node);
    }
    return true;
}

void SbfWriteHeader(unsigned char *out) {
    std::memcpy(out, kSbfMagic, 4);
    le::put32(out + 4, kBarFontSize);
}

bool barfontlist::Save(const WCHAR *path, bool all) const {
    prtfile file(path, prtfile::kCreate | prtfile::kWrite);
    if (!file.is_open())
        return false;
    unsigned char header[kSbfHeaderSize];
    SbfWriteHeader(header);
    bool ok = file.Write(header, kSbfHeaderSize) == kSbfHeaderSize;
    for (barfontnode *n = get_first(); n && ok; n = n->get_next())
        if (all || n->shown)
            ok = file.Write(n->font.bytes(), kBarFontSize) == kBarFontSize;
    return file.Close() && ok;
}

const char *SbfProblem(const unsigned char *file, size_t n, size_t *record) {
    *record = 0;
    if (n < static_cast<size_t>(kSbfHeaderSize) || std::memcmp(file, kSbfMagic, 4) != 0)
        return "not a bar-font list (no SBF1 header)";
    if (le::u32(file + 4) != static_cast<uint32_t>(kBarFontSize))
        return "record size is not 164 bytes";
    size_t body = n - kSbfHeaderSize;
    if (body % kBarFontSize != 0)
        return "the file ends inside a record";
    if (body / kBarFontSize > static_cast<size_t>(kMaxBarFonts))
        return "more than 1024 bar fonts";
    for (size_t i = 0; i < body / kBarFontSize; ++i) {
        *record = i + 1;
        barfont f;
        f.set_bytes(file + kSbfHeaderSize + i * kBarFontSize, kBarFontSize);
        const unsigned char *name = f.bytes() + barfont::kName;
        const void *end = std::memchr(name, 0, kBarFontNameSize);
        if (!end || end == name)
            return "name empty or not terminated";
        for (const unsigned char *c = name; *c; ++c)
            if (!name_char(*c))
                return "name has a character a bar font name cannot have";
        LONG dim = f.get_dimension();
        if (dim != 1 && dim != 2)
            return "dimension is neither 1 nor 2";
        LONG id = f.get_symbology();
        if (id < 0 || id >= kSymbologyCount)
            return "unknown symbology";
        if (barfont::is_2D(id) != (dim == 2))
            return "symbology and dimension disagree";
        if (f.get_dpi() < 1 || f.get_dpi() > 9999)
            return "resolution outside 1 to 9999 dpi";
    }
    *record = 0;
    return nullptr;
}
