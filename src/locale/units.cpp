// Lengths in microns against the texts the user sees and types, in the chosen
// measurement system with the region's decimal separator and leading zero.
#include "prtlocale.h"

#include "../foundation/util.h"

namespace {

constexpr LONG kSlotChars = prtlocale::kSlotBytes / 2;
// Byte position past which the ring starts again: 121 slots are in use.
constexpr LONG kRingWrap = 7680;
// Longest number microns_to_string writes ("-8454660.00" and the like), with
// the blank and the NUL: the unit name gets the rest of the slot.
constexpr LONG kNumberChars = 12;
constexpr LONG kMaxUnitChars = kSlotChars - kNumberChars;
constexpr LONG kUnitMils = 481, kUnitMm = 482, kUnitDpi = 472, kUnitDpmm = 473;

bool is_digit(WCHAR c) { return c >= '0' && c <= '9'; }

void append_wide(OString &out, WCHAR c) {
    const WCHAR w[2] = {c, 0};
    out += w;
}

void append_digit(OString &out, LONG v) { append_wide(out, static_cast<WCHAR>('0' + mrl::__abs(v % 10))); }

} // namespace

LONG prtlocale::effective_system() const { return measurement_ == kFollowSystem ? system_measurement_ : measurement_; }

WCHAR prtlocale::decimal_wide() const {
    WCHAR w = 0;
    if (MultiByteToWideChar(CP_ACP, 0, decimal_, 1, &w, 1) != 1)
        w = static_cast<unsigned char>(decimal_[0]);
    return w ? w : WCHAR('.');
}

WCHAR *prtlocale::microns_to_string(LONG microns) {
    if (ring_pos_ > kRingWrap)
        ring_pos_ = 0;
    ring_pos_ += kSlotBytes;
    WCHAR *p = ring_ + ring_pos_ / 2; // the text is written backwards from the end of the slot
    *--p = 0;
    const WCHAR *unit = unit_name_.wstring();
    LONG ulen = mrl::__wcslen(unit);
    if (ulen > kMaxUnitChars)
        ulen = kMaxUnitChars;
    p -= ulen;
    mrl::__memcpy(p, unit, ulen * static_cast<int32_t>(sizeof(WCHAR)));
    *--p = ' ';

    bool negative = microns < 0;
    // Unsigned: the magnitude of the most negative length fits.
    uint32_t v = negative ? 0u - static_cast<uint32_t>(microns) : static_cast<uint32_t>(microns);
    const WCHAR sep = decimal_wide();
    if (is_mm()) {
        v = (v + 50) / 100;
        *--p = static_cast<WCHAR>('0' + v % 10);
        v /= 10;
    } else {
        uint32_t step = is_cm() ? 100 : 254;
        v = (v + step / 2) / step;
        *--p = static_cast<WCHAR>('0' + v % 10);
        *--p = static_cast<WCHAR>('0' + v / 10 % 10);
        v /= 100;
    }
    *--p = sep;
    for (; v; v /= 10)
        *--p = static_cast<WCHAR>('0' + v % 10);
    if (leading_zero_ && *p == sep)
        *--p = '0';
    if (negative)
        *--p = '-';
    return p;
}

LONG prtlocale::string_to_microns(const WCHAR *text) const {
    if (!text)
        return 0;
    const WCHAR *p = text;
    bool negative = false;
    for (; *p == ' ' || *p == '+' || *p == '-'; ++p)
        if (*p == '-')
            negative = !negative;

    LONG unit = is_mm() ? kMillimetres : is_cm() ? kCentimetres : kInches;
    // 1000 inches in the default unit.
    const LONG limit = unit == kInches ? 1000 : unit == kMillimetres ? 25400 : 2540;
    LONG value = 0;
    bool clamped = false;
    for (; is_digit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) {
            value = limit;
            clamped = true;
            break;
        }
    }
    value *= 1000; // thousandths of the unit

    if (!clamped) {
        if (*p == decimal_wide() || *p == '.') {
            static const LONG weight[3] = {100, 10, 1};
            ++p;
            for (int i = 0; is_digit(*p); ++p, ++i)
                if (i < 3)
                    value += (*p - '0') * weight[i];
        }
        while (*p == ' ')
            ++p;
        if (*p == 'i' || *p == 'I')
            unit = kInches;
        else if (*p == 'm' || *p == 'M')
            unit = kMillimetres;
        else if (*p == 'c' || *p == 'C')
            unit = kCentimetres;
    }

    // 64-bit product: 25400.999 inches typed against a millimetre default
    // exceeds 32 bits before the division, not after.
    int64_t microns = value;
    if (unit == kInches)
        microns = (microns * 254 + 5) / 10;
    else if (unit == kCentimetres)
        microns *= 10;
    return static_cast<LONG>(negative ? -microns : microns);
}

void prtlocale::xdimension_to_string(LONG dots, LONG dpi, OString &out) {
    const WCHAR sep = decimal_wide();
    if (is_metric()) {
        LONG m = mrl::__muldiv(dots, 25400, dpi); // microns
        LONG whole = m / 1000;
        if (whole != 0 || leading_zero_)
            out += whole;
        append_wide(out, sep);
        append_digit(out, m / 100);
        append_digit(out, m / 10);
        out += " ";
        out += GetString(kUnitMm);
    } else {
        LONG t = mrl::__muldiv(dots, 10000, dpi); // tenths of a mil
        LONG whole = t / 10;
        if (whole != 0 || leading_zero_)
            out += whole;
        append_wide(out, sep);
        append_digit(out, t);
        out += " ";
        out += GetString(kUnitMils);
    }
}

void prtlocale::dpi_to_string(OString &out, LONG dpi) {
    if (is_metric()) {
        LONG d = static_cast<LONG>((static_cast<int64_t>(dpi) * 100 + 50) / 254); // tenths of a dot per mm
        out += static_cast<LONG>(d / 10);
        append_wide(out, decimal_wide());
        append_digit(out, d);
        out += " ";
        out += GetString(kUnitDpmm);
    } else {
        out += dpi;
        out += " ";
        out += GetString(kUnitDpi);
    }
}

void prtlocale::dpi_to_string(OString &out, LONG dpi_x, LONG dpi_y) {
    dpi_to_string(out, dpi_x);
    out += " x ";
    dpi_to_string(out, dpi_y);
}

LONG prtlocale::microns_to_dots(LONG microns, LONG dpi) {
    return mrl::roundbydivisor(static_cast<LONG>(static_cast<uint32_t>(microns) * static_cast<uint32_t>(dpi)), 25400);
}

LONG prtlocale::dots_to_microns(LONG dots, LONG dpi) {
    return mrl::roundbydivisor(static_cast<LONG>(static_cast<uint32_t>(dots) * 25400u), dpi);
}
