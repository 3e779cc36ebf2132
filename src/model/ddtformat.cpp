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

Fault parse_record(const unsigned char *rec, uint32_t length, Record *out) {
    if (length < kMinRecord)
        return Fault::too_short;
    uint32_t name_length = 0;
    while (kHeaderSize + name_length < length && rec[kHeaderSize + name_length])
        ++name_length;
    if (kHeaderSize + name_length >= length)
        return Fault::name_unterminated;
    int32_t size = le::i32(rec + 4);
    uint32_t offset = le::u32(rec + 8);
    if (size < 0 || static_cast<uint64_t>(offset) + static_cast<uint64_t>(size) > length)
        return Fault::data_outside;
    if (out) {
        out->length = length;
        out->data_size = size;
        out->data_offset = offset;
        out->id = le::i32(rec + 12);
        out->name = reinterpret_cast<const char *>(rec + kHeaderSize);
        out->name_length = name_length;
        out->data = rec + offset;
    }
    return Fault::none;
}

} // namespace ddt
