#include "sfmc.h"

#include "store/prtform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace sfmc {
namespace {

constexpr size_t kNameOffset = 28;

std::string hex(const uint8_t *p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

Bytes unhex(const json &value, const std::string &where) {
    if (!value.is_string())
        throw Error(where + ": expected a hex string");
    const std::string s = value.get<std::string>();
    if (s.size() % 2)
        throw Error(where + ": odd number of hex digits");
    Bytes out;
    for (size_t i = 0; i < s.size(); i += 2) {
        auto digit = [&](char c) -> int {
            if (c >= '0' && c <= '9')
                return c - '0';
            if (c >= 'a' && c <= 'f')
                return c - 'a' + 10;
            if (c >= 'A' && c <= 'F')
                return c - 'A' + 10;
            throw Error(where + ": not a hex digit");
        };
        out.push_back(static_cast<uint8_t>(digit(s[i]) << 4 | digit(s[i + 1])));
    }
    return out;
}

// Names are bytes of the ANSI code page; JSON text is UTF-8. Latin-1 maps
// every byte to one character and back.
std::string latin1_to_utf8(const uint8_t *p, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < 0x80) {
            out += static_cast<char>(p[i]);
        } else {
            out += static_cast<char>(0xC0 | p[i] >> 6);
            out += static_cast<char>(0x80 | (p[i] & 0x3F));
        }
    }
    return out;
}

Bytes utf8_to_latin1(const std::string &s, const std::string &where) {
    Bytes out;
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<uint8_t>(s[i]);
        if (c < 0x80) {
            out.push_back(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < s.size()) {
            out.push_back(static_cast<uint8_t>((c & 3) << 6 | (static_cast<uint8_t>(s[++i]) & 0x3F)));
        } else {
            throw Error(where + ": the name has a character outside Latin-1");
        }
    }
    return out;
}

json form_json(const uint8_t (&raw)[kFormRecordSize]) {
    FormRecord rec;
    FormRecordFromBytes(raw, kFormRecordSize, &rec);
    const uint8_t *field = raw + kNameOffset;
    size_t n = 0;
    while (n < static_cast<size_t>(kFormNameSize) && field[n])
        ++n;
    json form;
    form["name"] = latin1_to_utf8(field, n);
    form["width"] = rec.width;
    form["height"] = rec.height;
    form["left"] = rec.left;
    form["right"] = rec.right;
    form["top"] = rec.top;
    form["bottom"] = rec.bottom;
    form["flags"] = rec.flags;
    // Bytes past the name's NUL, or a name that fills the field, would be lost otherwise.
    bool canonical = n < static_cast<size_t>(kFormNameSize);
    for (size_t i = n; canonical && i < static_cast<size_t>(kFormNameSize); ++i)
        canonical = field[i] == 0;
    if (!canonical)
        form["name_field"] = hex(field, kFormNameSize);
    return form;
}

void form_bytes(const json &form, const std::string &where, uint8_t (&raw)[kFormRecordSize]) {
    tooljson::known_keys(form, {"name", "name_field", "width", "height", "left", "right", "top", "bottom", "flags"},
                         where);
    FormRecord rec = {};
    rec.width = length(form.value("width", json(0)), where + ".width");
    rec.height = length(form.value("height", json(0)), where + ".height");
    rec.left = length(form.value("left", json(0)), where + ".left");
    rec.right = length(form.value("right", json(0)), where + ".right");
    rec.top = length(form.value("top", json(0)), where + ".top");
    rec.bottom = length(form.value("bottom", json(0)), where + ".bottom");
    int64_t flags = tooljson::integer(form.value("flags", json(0)), where + ".flags");
    if (flags < 0 || flags > 0xFFFFFFFF)
        throw Error(where + ".flags: expected 32 bits, not " + std::to_string(flags));
    rec.flags = static_cast<uint32_t>(flags);
    FormRecordToBytes(rec, raw);

    if (!form.contains("name") || !form["name"].is_string())
        throw Error(where + ".name: expected a string");
    Bytes name = utf8_to_latin1(form["name"].get<std::string>(), where + ".name");
    uint8_t *field = raw + kNameOffset;
    if (form.contains("name_field")) {
        Bytes whole = unhex(form["name_field"], where + ".name_field");
        if (whole.size() != static_cast<size_t>(kFormNameSize))
            throw Error(where + ".name_field: expected 64 bytes");
        size_t n = 0;
        while (n < whole.size() && whole[n])
            ++n;
        if (Bytes(whole.begin(), whole.begin() + n) != name)
            throw Error(where + ".name_field: does not begin with the name");
        std::memcpy(field, whole.data(), whole.size());
        return;
    }
    if (name.size() >= static_cast<size_t>(kFormNameSize))
        throw Error(where + ".name: longer than 63 bytes");
    for (uint8_t c : name)
        if (!c)
            throw Error(where + ".name: holds a NUL");
    std::memset(field, 0, kFormNameSize);
    if (!name.empty()) // an empty vector's data() may be null
        std::memcpy(field, name.data(), name.size());
}

} // namespace

int32_t length(const json &value, const std::string &where) {
    if (value.is_number_integer() || value.is_number_unsigned()) {
        int64_t i = tooljson::integer(value, where);
        if (i < INT32_MIN || i > INT32_MAX)
            throw Error(where + ": outside 32 bits");
        return static_cast<int32_t>(i);
    }
    if (!value.is_string())
        throw Error(where + ": expected micrometres or a string such as \"4 in\"");
    // A decimal number, then the unit: no hex, exponents or infinities that
    // the C library would read.
    const std::string s = value.get<std::string>();
    size_t used = s[0] == '-' ? 1 : 0, digits = 0;
    while (used < s.size() && ((s[used] >= '0' && s[used] <= '9') || (s[used] == '.' && digits)))
        ++used, ++digits;
    if (!digits || s[used - 1] == '.' || std::count(s.begin(), s.begin() + used, '.') > 1 || digits > 15)
        throw Error(where + ": no decimal number at the start of \"" + s + "\"");
    double v = std::strtod(s.substr(0, used).c_str(), nullptr);
    std::string unit = s.substr(used);
    unit.erase(0, unit.find_first_not_of(' '));
    double scale;
    if (unit == "mm")
        scale = 1000;
    else if (unit == "in")
        scale = 25400;
    else if (unit == "um")
        scale = 1;
    else
        throw Error(where + ": unit \"" + unit + "\" is not mm, in or um");
    double um = std::round(v * scale);
    if (!(um >= INT32_MIN && um <= INT32_MAX))
        throw Error(where + ": outside 32 bits");
    return static_cast<int32_t>(um);
}

Bytes build(const json &source) {
    tooljson::known_keys(source, {"record_size", "forms", "trailing", "comment"}, "source");
    int64_t size = source.contains("record_size") ? tooljson::integer(source["record_size"], "record_size")
                                                  : kFormRecordSize;
    if (size < 0 || size > 0xFFFFFFFF)
        throw Error("record_size: expected 32 bits, not " + std::to_string(size));
    auto record_size = static_cast<uint32_t>(size);
    Bytes out(kSfmHeaderSize);
    SfmWriteHeader(out.data());
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<uint8_t>(record_size >> (8 * i));

    const json &forms = source.value("forms", json::array());
    if (!forms.is_array())
        throw Error("forms: expected an array");
    if (!forms.empty() && (record_size == 0 || record_size > static_cast<uint32_t>(kFormRecordSize)))
        throw Error("forms: records of size " + std::to_string(record_size) + " cannot be written");
    for (size_t i = 0; i < forms.size(); ++i) {
        uint8_t raw[kFormRecordSize];
        form_bytes(forms[i], "forms[" + std::to_string(i) + "]", raw);
        out.insert(out.end(), raw, raw + record_size);
    }
    if (source.contains("trailing")) {
        Bytes tail = unhex(source["trailing"], "trailing");
        out.insert(out.end(), tail.begin(), tail.end());
    }
    return out;
}

Bytes build_text(const Bytes &text) { return build(tooljson::parse(text)); }

json dump(const Bytes &file) {
    uint32_t record_size = 0;
    if (!SfmReadHeader(file.data(), static_cast<LONG>(file.size() < 8 ? file.size() : 8), &record_size))
        throw Error("not a form list: no \"SFM1\" header with a record size");
    json out;
    out["record_size"] = record_size;
    out["forms"] = json::array();
    size_t at = kSfmHeaderSize;
    // Records the driver reads; anything else is kept as it is.
    if (record_size > 0 && record_size <= static_cast<uint32_t>(kFormRecordSize)) {
        while (file.size() - at >= record_size) {
            uint8_t raw[kFormRecordSize] = {};
            std::memcpy(raw, file.data() + at, record_size);
            out["forms"].push_back(form_json(raw));
            at += record_size;
        }
    }
    if (at < file.size())
        out["trailing"] = hex(file.data() + at, file.size() - at);
    return out;
}

} // namespace sfmc
