// The model records as JSON: field tables shared by building and dumping, so
// that a dumped record builds back into the same bytes.
#include "records.h"

#include "model/ddtformat.h"
#include "model/ddtmodel.h"
#include "model/records.h"
#include "model/utf8.h"

#include <cstddef>
#include <cstring>
#include <set>

namespace ddtc {

namespace {

struct Field {
    const char *name;
    size_t offset;
    int size;        // 2 or 4
    bool is_signed;
    bool bits;       // dumped as a hex string
};

struct Opaque {
    const char *name;
    size_t offset;
    size_t size;
};

#define U16(s, f) {#f, offsetof(s, f), 2, false, false}
#define S16(s, f) {#f, offsetof(s, f), 2, true, false}
#define B16(s, f) {#f, offsetof(s, f), 2, false, true}
#define S32(s, f) {#f, offsetof(s, f), 4, true, false}
#define U32(s, f) {#f, offsetof(s, f), 4, false, false}
#define B32(s, f) {#f, offsetof(s, f), 4, false, true}

const Field kPdtFields[] = {
    U32(PDT, ext_offset),         S32(PDT, unprintable_width),   S32(PDT, printable_width),
    S32(PDT, printable_length),   U16(PDT, line_max_dots),       U16(PDT, box_max_dots),
    S32(PDT, max_copies),         S16(PDT, default_form_length), S16(PDT, default_form_width),
    S16(PDT, dpi),                S16(PDT, printer_dpi),         S16(PDT, color_type),
    S16(PDT, default_tt_option),  B16(PDT, color_flags),         B16(PDT, font_modes),
    B16(PDT, form_flags),         U16(PDT, natural_orientation), U16(PDT, min_paper_length),
    U16(PDT, max_paper_length),   U16(PDT, min_paper_width),     U16(PDT, max_paper_width),
    U16(PDT, drawing_dpi),        U16(PDT, paper_loading),       S32(PDT, capabilities_id),
    B16(PDT, image_flags),
};
const Opaque kPdtOpaque[] = {{"opaque4", 4, 28},  {"opaque52", 52, 8}, {"opaque76", 76, 2},
                             {"opaque80", 80, 2}, {"opaque96", 96, 12}, {"opaque112", 112, 2}};

const Field kCapsFields[] = {
    U16(VXCapabilitiesData, symbology_size), U16(VXCapabilitiesData, symbology_offset),
    U16(VXCapabilitiesData, symbology_count), U16(VXCapabilitiesData, line_command),
    U16(VXCapabilitiesData, box_command),     B16(VXCapabilitiesData, label_features),
};
const Opaque kCapsOpaque[] = {{"opaque0", 0, 2}, {"opaque8", 8, 2}, {"opaque14", 14, 12}};

const Field kSymbologyFields[] = {
    U16(VXSymbologyData, supported),
    U16(VXSymbologyData, readable_rule),
    B32(VXSymbologyData, options),
    B32(VXSymbologyData, readable_flags),
};

const Opaque kMdtOpaque[] = {{"opaque0", 0, 8}, {"opaque20", 20, 20}};

#undef U16
#undef S16
#undef B16
#undef S32
#undef U32
#undef B32

// ---- values ----

int64_t number(const json &v, const std::string &where) { return tooljson::integer(v, where); }

void put(Bytes &b, size_t at, int size, uint32_t v) {
    if (size == 2)
        le::put16(&b[at], static_cast<uint16_t>(v));
    else
        le::put32(&b[at], v);
}

void put_field(Bytes &b, const Field &f, const json &v, const std::string &where) {
    int64_t n = number(v, where + "." + f.name);
    int64_t lo = f.is_signed ? -(int64_t(1) << (8 * f.size - 1)) : 0;
    int64_t hi = f.is_signed ? (int64_t(1) << (8 * f.size - 1)) - 1 : (int64_t(1) << (8 * f.size)) - 1;
    if (n < lo || n > hi)
        throw Error(where + "." + f.name + ": " + std::to_string(n) + " does not fit " +
                    std::to_string(8 * f.size) + " bits");
    put(b, f.offset, f.size, static_cast<uint32_t>(n));
}

json get_field(const unsigned char *p, const Field &f) {
    uint32_t raw = f.size == 2 ? le::u16(p + f.offset) : le::u32(p + f.offset);
    if (f.bits) {
        char buf[16];
        snprintf(buf, sizeof buf, f.size == 2 ? "0x%04X" : "0x%08X", raw);
        return buf;
    }
    if (!f.is_signed)
        return raw;
    return f.size == 2 ? static_cast<int64_t>(static_cast<int16_t>(raw)) : static_cast<int64_t>(static_cast<int32_t>(raw));
}

bool all_zero(const unsigned char *p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

using tooljson::known_keys;

template <size_t NF, size_t NO>
std::set<std::string> keys_of(const Field (&fields)[NF], const Opaque (&opaque)[NO], std::set<std::string> more) {
    for (const Field &f : fields)
        more.insert(f.name);
    for (const Opaque &o : opaque)
        more.insert(o.name);
    return more;
}

std::string hex_field(const json &obj, const char *key, const std::string &where) {
    if (!obj.contains(key))
        return "";
    if (!obj[key].is_string())
        throw Error(where + "." + key + ": expected a hex string");
    return obj[key].get<std::string>();
}

template <size_t N> void put_opaque(Bytes &b, const Opaque (&opaque)[N], const json &obj, const std::string &where) {
    for (const Opaque &o : opaque) {
        if (!obj.contains(o.name))
            continue;
        Bytes v = from_hex(hex_field(obj, o.name, where), where + "." + o.name);
        if (v.size() != o.size)
            throw Error(where + "." + o.name + ": needs " + std::to_string(o.size) + " bytes");
        std::copy(v.begin(), v.end(), b.begin() + static_cast<std::ptrdiff_t>(o.offset));
    }
}

template <size_t N> void get_opaque(const unsigned char *p, const Opaque (&opaque)[N], json &obj) {
    for (const Opaque &o : opaque)
        if (!all_zero(p + o.offset, o.size))
            obj[o.name] = to_hex(p + o.offset, o.size);
}


// ---- UTF-16 text ----

std::u16string utf16(const std::string &s, const std::string &where) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        uint32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            throw Error(where + ": not UTF-8");
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                throw Error(where + ": not UTF-8");
            cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        i += 1 + extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    for (char16_t c : out)
        if (c == 0)
            throw Error(where + ": NUL inside a name");
    return out;
}

// False for text that UTF-8 cannot carry (a lone surrogate).
bool utf8(const unsigned char *p, uint32_t chars, std::string &out) {
    out.clear();
    for (uint32_t i = 0; i < chars; ++i) {
        uint32_t c = le::u16(p + 2 * i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < chars) {
            uint32_t d = le::u16(p + 2 * (i + 1));
            if (d < 0xDC00 || d > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
        mrl::utf8_append(out, c);
    }
    return true;
}

void put_wide(Bytes &b, const std::u16string &s) {
    for (char16_t c : s) {
        b.push_back(static_cast<unsigned char>(c));
        b.push_back(static_cast<unsigned char>(c >> 8));
    }
    b.push_back(0);
    b.push_back(0);
}

bool text_at(const unsigned char *p, uint32_t size, uint32_t offset, std::string &out) {
    int32_t chars = ddt::wide_length_at(p, size, offset);
    return chars >= 0 && utf8(p + offset, static_cast<uint32_t>(chars), out);
}

// ---- records ----

Bytes build_directory(const json &d, const std::string &where) {
    known_keys(d, {"opaque0", "opaque20", "short_name", "manufacturer_name", "models", "tail"}, where);
    Bytes b(sizeof(MDT), 0);
    put_opaque(b, kMdtOpaque, d, where);
    const json models = d.value("models", json::array());
    if (!models.is_array())
        throw Error(where + ".models: expected a list");
    le::put32(&b[offsetof(MDT, model_count)], static_cast<uint32_t>(models.size()));
    le::put32(&b[offsetof(MDT, first_entry_offset)], sizeof(MDT));
    size_t k = 0;
    for (const json &m : models) {
        std::string at = where + ".models[" + std::to_string(k++) + "]";
        known_keys(m, {"name", "pdt"}, at);
        if (!m.contains("name") || !m["name"].is_string() || !m.contains("pdt"))
            throw Error(at + ": needs \"name\" and \"pdt\"");
        std::u16string name = utf16(tooljson::text(m["name"], at + ".name"), at + ".name");
        size_t start = b.size();
        put_wide(b, name);
        b.resize(start + ddt::padded_name_bytes(static_cast<uint32_t>(name.size())), 0);
        int64_t id = number(m["pdt"], at + ".pdt");
        if (id < INT32_MIN || id > INT32_MAX)
            throw Error(at + ".pdt: not a 32-bit id");
        b.resize(b.size() + 4);
        le::put32(&b[b.size() - 4], static_cast<uint32_t>(id));
    }
    if (!d.contains("short_name") || !d["short_name"].is_string())
        throw Error(where + ": needs \"short_name\"");
    le::put32(&b[offsetof(MDT, short_name_offset)], static_cast<uint32_t>(b.size()));
    put_wide(b, utf16(tooljson::text(d["short_name"], where + ".short_name"), where + ".short_name"));
    if (d.contains("manufacturer_name")) {
        le::put32(&b[offsetof(MDT, manufacturer_name_offset)], static_cast<uint32_t>(b.size()));
        put_wide(b, utf16(tooljson::text(d["manufacturer_name"], where + ".manufacturer_name"),
                          where + ".manufacturer_name"));
    }
    Bytes tail = from_hex(hex_field(d, "tail", where), where + ".tail");
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

bool dump_directory(const unsigned char *p, uint32_t size, json &out) {
    if (size < sizeof(MDT))
        return false;
    auto *mdt = reinterpret_cast<const MDT *>(p);
    json d;
    get_opaque(p, kMdtOpaque, d);
    std::string text;
    if (!text_at(p, size, mdt->short_name_offset, text))
        return false;
    d["short_name"] = text;
    if (mdt->manufacturer_name_offset) {
        if (!text_at(p, size, mdt->manufacturer_name_offset, text))
            return false;
        d["manufacturer_name"] = text;
    }
    json models = json::array();
    ddt::directory_walk walk(p, size);
    ddt::Entry e;
    while (walk.next(&e)) {
        if (!utf8(e.name, e.chars, text))
            return false;
        models.push_back({{"name", text}, {"pdt", e.pdt_id}});
    }
    if (walk.broken())
        return false;
    d["models"] = models;
    // The canonical layout ends with the names; anything after them is kept.
    uint32_t end = mdt->manufacturer_name_offset ? mdt->manufacturer_name_offset : mdt->short_name_offset;
    end += 2 * (ddt::wide_length_at(p, size, end) + 1);
    if (end < size)
        d["tail"] = to_hex(p + end, size - end);
    out = d;
    return true;
}

Bytes build_pdt(const json &d, const std::string &where) {
    known_keys(d, keys_of(kPdtFields, kPdtOpaque, {"extension"}), where);
    Bytes b(sizeof(PDT), 0);
    le::put32(&b[0], sizeof(PDT));
    for (const Field &f : kPdtFields)
        if (d.contains(f.name))
            put_field(b, f, d[f.name], where);
    put_opaque(b, kPdtOpaque, d, where);
    Bytes ext = from_hex(hex_field(d, "extension", where), where + ".extension");
    b.insert(b.end(), ext.begin(), ext.end());
    return b;
}

bool dump_pdt(const unsigned char *p, uint32_t size, json &out) {
    if (size < sizeof(PDT))
        return false;
    json d;
    for (const Field &f : kPdtFields)
        d[f.name] = get_field(p, f);
    get_opaque(p, kPdtOpaque, d);
    if (size > sizeof(PDT))
        d["extension"] = to_hex(p + sizeof(PDT), size - sizeof(PDT));
    out = d;
    return true;
}

Bytes build_caps(const json &d, const std::string &where) {
    known_keys(d, keys_of(kCapsFields, kCapsOpaque, {"symbologies", "gap", "tail"}), where);
    Bytes b(sizeof(VXCapabilitiesData), 0);
    put_opaque(b, kCapsOpaque, d, where);
    const json syms = d.value("symbologies", json::array());
    if (!syms.is_array())
        throw Error(where + ".symbologies: expected a list");
    // Defaults: records of their own size right after the header (and the gap),
    // as many as the highest id listed needs.
    int64_t count = 0;
    for (const json &s : syms)
        if (s.contains("id"))
            count = std::max(count, std::min<int64_t>(number(s["id"], where + ".symbologies.id"), 0xFFFF) + 1);
    Bytes gap = from_hex(hex_field(d, "gap", where), where + ".gap");
    json header = {{"symbology_size", sizeof(VXSymbologyData)},
                   {"symbology_offset", sizeof(VXCapabilitiesData) + gap.size()},
                   {"symbology_count", count}};
    for (const Field &f : kCapsFields) {
        const json &v = d.contains(f.name) ? d[f.name] : header.value(f.name, json(0));
        put_field(b, f, v, where);
    }
    b.insert(b.end(), gap.begin(), gap.end());
    auto *caps = reinterpret_cast<const VXCapabilitiesData *>(b.data());
    const size_t rec = caps->symbology_size, first = caps->symbology_offset, n = caps->symbology_count;
    if (first != b.size())
        throw Error(where + ": symbology_offset must be " + std::to_string(b.size()) +
                    " (header and gap); other layouts are kept as hex");
    if (n && rec < sizeof(VXSymbologyData))
        throw Error(where + ": symbology_size below " + std::to_string(sizeof(VXSymbologyData)));
    // Sizes come from the source: refuse before allocating what they claim.
    if (rec * n > kMaxSymbologyTable)
        throw Error(where + ": symbology table of " + std::to_string(n) + " records of " + std::to_string(rec) +
                    " bytes is larger than " + std::to_string(kMaxSymbologyTable) + " bytes");
    b.resize(first + rec * n, 0);
    size_t k = 0;
    for (const json &s : syms) {
        std::string at = where + ".symbologies[" + std::to_string(k++) + "]";
        std::set<std::string> keys = {"id", "extra"};
        for (const Field &f : kSymbologyFields)
            keys.insert(f.name);
        known_keys(s, keys, at);
        if (!s.contains("id"))
            throw Error(at + ": needs \"id\"");
        int64_t id = number(s["id"], at + ".id");
        if (id < 0 || static_cast<size_t>(id) >= n)
            throw Error(at + ": id outside the table of " + std::to_string(n));
        Bytes one(rec, 0);
        for (const Field &f : kSymbologyFields)
            if (s.contains(f.name))
                put_field(one, f, s[f.name], at);
        Bytes extra = from_hex(hex_field(s, "extra", at), at + ".extra");
        if (extra.size() > rec - sizeof(VXSymbologyData))
            throw Error(at + ".extra: longer than the record");
        std::copy(extra.begin(), extra.end(), one.begin() + sizeof(VXSymbologyData));
        std::copy(one.begin(), one.end(), b.begin() + static_cast<std::ptrdiff_t>(first + rec * static_cast<size_t>(id)));
    }
    Bytes tail = from_hex(hex_field(d, "tail", where), where + ".tail");
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

bool dump_caps(const unsigned char *p, uint32_t size, json &out) {
    if (ddt::caps_problem(p, size))
        return false;
    auto *caps = reinterpret_cast<const VXCapabilitiesData *>(p);
    const size_t rec = caps->symbology_size, first = caps->symbology_offset, n = caps->symbology_count;
    if (first < sizeof(VXCapabilitiesData))
        return false;
    json d;
    for (const Field &f : kCapsFields)
        d[f.name] = get_field(p, f);
    get_opaque(p, kCapsOpaque, d);
    if (first > sizeof(VXCapabilitiesData))
        d["gap"] = to_hex(p + sizeof(VXCapabilitiesData), first - sizeof(VXCapabilitiesData));
    json syms = json::array();
    for (size_t id = 0; id < n; ++id) {
        const unsigned char *s = p + first + rec * id;
        if (all_zero(s, rec))
            continue;
        json one = {{"id", id}};
        for (const Field &f : kSymbologyFields)
            one[f.name] = get_field(s, f);
        if (!all_zero(s + sizeof(VXSymbologyData), rec - sizeof(VXSymbologyData)))
            one["extra"] = to_hex(s + sizeof(VXSymbologyData), rec - sizeof(VXSymbologyData));
        syms.push_back(one);
    }
    d["symbologies"] = syms;
    size_t end = first + rec * n;
    if (end < size)
        d["tail"] = to_hex(p + end, size - end);
    out = d;
    return true;
}

} // namespace


Bytes build_data(const std::string &kind, const json &value, const std::string &where) {
    if (kind == "directory")
        return build_directory(value, where + ".directory");
    if (kind == "pdt")
        return build_pdt(value, where + ".pdt");
    if (kind == "capabilities")
        return build_caps(value, where + ".capabilities");
    if (!value.is_string())
        throw Error(where + ".hex: expected a hex string");
    return from_hex(value.get<std::string>(), where + ".hex");
}

json dump_data(const std::string &kind, const unsigned char *p, uint32_t size) {
    json out;
    bool ok = false;
    if (kind == "directory")
        ok = dump_directory(p, size, out);
    else if (kind == "pdt")
        ok = dump_pdt(p, size, out);
    else if (kind == "capabilities")
        ok = dump_caps(p, size, out);
    if (ok) {
        // Keep the decoded form only when it builds back into the same bytes.
        try {
            Bytes again = build_data(kind, out, "");
            if (again.size() == size && std::equal(again.begin(), again.end(), p))
                return json{{kind, out}};
        } catch (const Error &) {
        }
    }
    return json{{"hex", to_hex(p, size)}};
}

} // namespace ddtc
