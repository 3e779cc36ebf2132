// The container: records in file order, each with its header, name and data,
// then whatever follows the last record the reader takes.
#include "ddtc.h"
#include "records.h"

#include "model/ddtformat.h"
#include "model/ddtmodel.h"
#include "model/records.h"

#include <set>

namespace ddtc {

std::string to_hex(const unsigned char *p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

Bytes from_hex(const std::string &s, const std::string &where) {
    Bytes out;
    int high = -1;
    for (char c : s) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c == ' ' || c == '\n' || c == '\t')
            continue;
        else
            throw Error(where + ": not a hex digit: '" + std::string(1, c) + "'");
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<unsigned char>(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0)
        throw Error(where + ": odd number of hex digits");
    return out;
}

namespace {

const char *const kKinds[] = {"directory", "pdt", "capabilities", "hex"};

// One record as the reader takes it, with where it starts in the file.
struct Scanned {
    size_t at;
    ddt::Record rec;
};

// The records the reader takes, in order; `end` is where it stops.
std::vector<Scanned> scan(const Bytes &file, size_t &end) {
    std::vector<Scanned> out;
    size_t pos = 0;
    while (pos + 4 <= file.size()) {
        uint32_t length = le::u32(&file[pos]);
        if (length == 0 || length > file.size() - pos || length > static_cast<uint32_t>(INT32_MAX))
            break;
        Scanned s{pos, {}};
        if (ddt::parse_record(&file[pos], length, &s.rec) != ddt::Fault::none)
            break;
        out.push_back(s);
        pos += length;
    }
    end = pos;
    return out;
}

bool printable(const char *s, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i)
        if (s[i] < 0x20 || s[i] > 0x7E)
            return false;
    return true;
}

Bytes build_record(const json &r, const std::string &where) {
    if (!r.is_object())
        throw Error(where + ": expected an object");
    if (r.contains("record")) {
        if (r.size() != 1)
            throw Error(where + ": \"record\" stands alone");
        return from_hex(tooljson::text(r["record"], where + ".record"), where + ".record");
    }
    tooljson::known_keys(r, {"id", "name", "name_hex", "before_data", "after_data", "directory", "pdt",
                             "capabilities", "hex"}, where);
    if (!r.contains("id") || !r["id"].is_number_integer())
        throw Error(where + ": needs an integer \"id\"");
    int64_t id = r["id"].get<int64_t>();
    if (id < INT32_MIN || id > INT32_MAX)
        throw Error(where + ".id: not a 32-bit id");

    Bytes name;
    if (r.contains("name_hex"))
        name = from_hex(tooljson::text(r["name_hex"], where + ".name_hex"), where + ".name_hex");
    else if (r.contains("name")) {
        std::string s = tooljson::text(r["name"], where + ".name");
        name.assign(s.begin(), s.end());
    }
    for (unsigned char c : name)
        if (!c)
            throw Error(where + ": NUL inside the name");

    const char *kind = nullptr;
    for (const char *k : kKinds)
        if (r.contains(k)) {
            if (kind)
                throw Error(where + ": more than one of directory, pdt, capabilities, hex");
            kind = k;
        }
    if (!kind)
        throw Error(where + ": needs one of directory, pdt, capabilities, hex");
    Bytes data = build_data(kind, r[kind], where);
    Bytes before, after;
    if (r.contains("before_data"))
        before = from_hex(tooljson::text(r["before_data"], where + ".before_data"), where + ".before_data");
    if (r.contains("after_data"))
        after = from_hex(tooljson::text(r["after_data"], where + ".after_data"), where + ".after_data");

    Bytes b(ddt::kHeaderSize, 0);
    b.insert(b.end(), name.begin(), name.end());
    b.push_back(0);
    b.insert(b.end(), before.begin(), before.end());
    size_t offset = b.size();
    b.insert(b.end(), data.begin(), data.end());
    b.insert(b.end(), after.begin(), after.end());
    if (b.size() > static_cast<size_t>(INT32_MAX))
        throw Error(where + ": record too large");
    le::put32(&b[0], static_cast<uint32_t>(b.size()));
    le::put32(&b[4], static_cast<uint32_t>(data.size()));
    le::put32(&b[8], static_cast<uint32_t>(offset));
    le::put32(&b[12], static_cast<uint32_t>(id));
    return b;
}

} // namespace

Bytes build(const json &source) {
    if (!source.is_object())
        throw Error("source: expected an object");
    tooljson::known_keys(source, {"records", "trailer", "comment"}, "source");
    if (!source.contains("records") || !source["records"].is_array())
        throw Error("source: needs a \"records\" list");
    Bytes file;
    size_t k = 0;
    for (const json &r : source["records"]) {
        Bytes b = build_record(r, "records[" + std::to_string(k++) + "]");
        file.insert(file.end(), b.begin(), b.end());
    }
    Bytes trailer = from_hex(source.contains("trailer") ? tooljson::text(source["trailer"], "trailer") : "00000000",
                             "trailer");
    file.insert(file.end(), trailer.begin(), trailer.end());
    return file;
}

Bytes build_text(const Bytes &text) { return build(tooljson::parse(text)); }

json dump(const Bytes &file) {
    size_t end = 0;
    std::vector<Scanned> recs = scan(file, end);

    // Which records are read as what: directories by id, PDTs named by a
    // directory entry, capability tables named by a PDT.
    std::set<int32_t> pdt_ids, caps_ids;
    for (const Scanned &s : recs)
        if (s.rec.id >= ddt::kFirstDirectory && s.rec.id <= ddt::kLastDirectory &&
            static_cast<uint32_t>(s.rec.data_size) >= sizeof(MDT)) {
            ddt::directory_walk walk(s.rec.data, static_cast<uint32_t>(s.rec.data_size));
            ddt::Entry e;
            while (walk.next(&e))
                pdt_ids.insert(e.pdt_id);
        }
    for (const Scanned &s : recs)
        if (pdt_ids.count(s.rec.id) && static_cast<uint32_t>(s.rec.data_size) >= sizeof(PDT))
            caps_ids.insert(le::i32(s.rec.data + offsetof(PDT, capabilities_id)));

    json records = json::array();
    for (const Scanned &s : recs) {
        const ddt::Record &r = s.rec;
        uint32_t name_end = ddt::kHeaderSize + r.name_length + 1;
        if (r.data_offset < name_end) {
            // Data laid over the header or the name: no field form for that.
            records.push_back({{"record", to_hex(&file[s.at], r.length)}});
            continue;
        }
        json j = {{"id", r.id}};
        if (printable(r.name, r.name_length))
            j["name"] = std::string(r.name, r.name_length);
        else
            j["name_hex"] = to_hex(reinterpret_cast<const unsigned char *>(r.name), r.name_length);
        if (r.data_offset > name_end)
            j["before_data"] = to_hex(&file[s.at + name_end], r.data_offset - name_end);
        const char *kind = "hex";
        if (r.id >= ddt::kFirstDirectory && r.id <= ddt::kLastDirectory)
            kind = "directory";
        else if (pdt_ids.count(r.id))
            kind = "pdt";
        else if (caps_ids.count(r.id))
            kind = "capabilities";
        json data = dump_data(kind, r.data, static_cast<uint32_t>(r.data_size));
        for (auto it = data.begin(); it != data.end(); ++it)
            j[it.key()] = it.value();
        uint32_t data_end = r.data_offset + static_cast<uint32_t>(r.data_size);
        if (data_end < r.length)
            j["after_data"] = to_hex(&file[s.at + data_end], r.length - data_end);
        records.push_back(j);
    }
    json out = {{"records", records}};
    std::string trailer = to_hex(file.data() + end, file.size() - end);
    if (trailer != "00000000")
        out["trailer"] = trailer;
    if (build(out) != file)
        throw Error("internal: the dump does not build back into the same bytes");
    return out;
}

} // namespace ddtc
