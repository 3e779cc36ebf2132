// Builds driver data file bytes for the model tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/records.h"

using Bytes = std::vector<unsigned char>;

inline void put32(Bytes &b, size_t at, uint32_t v) {
    if (b.size() < at + 4)
        b.resize(at + 4);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

inline void put16(Bytes &b, size_t at, uint16_t v) {
    if (b.size() < at + 2)
        b.resize(at + 2);
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

inline void append(Bytes &out, const Bytes &more) { out.insert(out.end(), more.begin(), more.end()); }

// One well-formed record; gap bytes between the name's NUL and the data, tail after it.
inline Bytes record(int32_t id, const std::string &name, const Bytes &data, size_t gap = 0, size_t tail = 0) {
    Bytes r(16);
    for (char ch : name)
        r.push_back(static_cast<unsigned char>(ch));
    r.push_back(0);
    r.insert(r.end(), gap, 0xEE);
    uint32_t offset = static_cast<uint32_t>(r.size());
    append(r, data);
    r.insert(r.end(), tail, 0xDD);
    put32(r, 0, static_cast<uint32_t>(r.size()));
    put32(r, 4, static_cast<uint32_t>(data.size()));
    put32(r, 8, offset);
    put32(r, 12, static_cast<uint32_t>(id));
    return r;
}

inline void put_wide(Bytes &b, size_t at, const std::u16string &s) {
    for (size_t i = 0; i <= s.size(); ++i)
        put16(b, at + 2 * i, i < s.size() ? s[i] : 0);
}

struct DirEntry {
    std::u16string name;
    int32_t pdt;
};

// A directory with its entries right after the 44-byte header, then the names.
// full_name empty: manufacturer_name_offset 0.
inline Bytes directory(const std::vector<DirEntry> &entries, const std::u16string &short_name = u"Kestrel",
                       const std::u16string &full_name = u"") {
    Bytes d(sizeof(MDT));
    put32(d, 8, static_cast<uint32_t>(entries.size()));
    put32(d, 12, sizeof(MDT));
    size_t at = sizeof(MDT);
    for (const DirEntry &e : entries) {
        put_wide(d, at, e.name);
        size_t padded = (2 * e.name.size() + 5) / 4 * 4;
        d.resize(at + padded);
        put32(d, at + padded, static_cast<uint32_t>(e.pdt));
        at += padded + 4;
    }
    put32(d, 40, static_cast<uint32_t>(at));
    put_wide(d, at, short_name);
    at = d.size();
    if (!full_name.empty()) {
        put32(d, 16, static_cast<uint32_t>(at));
        put_wide(d, at, full_name);
    }
    return d;
}

inline Bytes pdt(int32_t caps_id, int16_t dpi = 203, size_t size = sizeof(PDT)) {
    Bytes p(size);
    put32(p, 0, sizeof(PDT));
    put16(p, 64, static_cast<uint16_t>(dpi));
    put16(p, offsetof(PDT, printer_dpi), static_cast<uint16_t>(dpi));
    put32(p, offsetof(PDT, printable_width), 104000);
    put32(p, offsetof(PDT, printable_length), 990000);
    put16(p, offsetof(PDT, max_paper_width), 1180);
    put16(p, offsetof(PDT, max_paper_length), 9900);
    put32(p, offsetof(PDT, capabilities_id), static_cast<uint32_t>(caps_id));
    return p;
}

// Capability table with `count` symbology records of `rec_size` bytes right after the header.
inline Bytes caps(uint16_t count = 30, uint16_t rec_size = sizeof(VXSymbologyData), uint16_t line = 1) {
    Bytes c(sizeof(VXCapabilitiesData) + static_cast<size_t>(count) * rec_size);
    put16(c, 2, rec_size);
    put16(c, 4, sizeof(VXCapabilitiesData));
    put16(c, 6, count);
    put16(c, 10, line);
    return c;
}

inline Bytes terminator() { return Bytes(4, 0); }
