#include "ddtformat.h"

namespace ddt {

const char *fault_text(Fault f) {
    switch (f) {
    case Fault::none:
        return "ok";
    case Fault::truncated:
        return "record cut short by the end of the file";
    case Fault::too_short:
        return "record length below 17";
    case Fault::name_unterminated:
        return "name has no NUL inside the record";
    case Fault::data_outside:
        return "data lies outside the record";
    }
    return "?";
}

uint32_t read_u32(const unsigned char *p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int32_t read_i32(const unsigned char *p) { return static_cast<int32_t>(read_u32(p)); }

uint16_t read_u16(const unsigned char *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void write_u32(unsigned char *p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void write_u16(unsigned char *p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

Fault parse_record(const unsigned char *rec, uint32_t length, Record *out) {
    if (length < kMinRecord)
        return Fault::too_short;
    uint32_t name_length = 0;
    while (kHeaderSize + name_length < length && rec[kHeaderSize + name_length])
        ++name_length;
    if (kHeaderSize + name_length >= length)
        return Fault::name_unterminated;
    int32_t size = read_i32(rec + 4);
    uint32_t offset = read_u32(rec + 8);
    if (size < 0 || static_cast<uint64_t>(offset) + static_cast<uint64_t>(size) > length)
        return Fault::data_outside;
    if (out) {
        out->length = length;
        out->data_size = size;
        out->data_offset = offset;
        out->id = read_i32(rec + 12);
        out->name = reinterpret_cast<const char *>(rec + kHeaderSize);
        out->name_length = name_length;
        out->data = rec + offset;
    }
    return Fault::none;
}

} // namespace ddt
