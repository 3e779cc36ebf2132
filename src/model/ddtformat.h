// The driver data file container: a sequence of resource records, each
//   u32 record length (this field included; 0 ends the file)
//   i32 data size, u32 data offset (from the record's first byte), i32 id,
//   narrow NUL-terminated name, then anything up to the data, the data, and
//   anything up to the record's end.
// The file is outside input: a record is used only when every part of it lies
// inside its length. The reader (prtres) and the tools share these checks.
#pragma once

#include "../foundation/lebytes.h"

#include <cstddef>
#include <cstdint>

namespace ddt {

constexpr uint32_t kHeaderSize = 16;
// Header plus at least the name's NUL.
constexpr uint32_t kMinRecord = kHeaderSize + 1;

enum class Fault {
    none,
    truncated,         // fewer bytes left than the record length asks for
    too_short,         // record length below kMinRecord
    name_unterminated, // no NUL inside the record after offset 16
    data_outside,      // negative data size, or data offset + size past the record
};

const char *fault_text(Fault f);

struct Record {
    uint32_t length;
    int32_t data_size;
    uint32_t data_offset;
    int32_t id;
    const char *name;
    uint32_t name_length; // without the NUL
    const unsigned char *data;
};

// Checks the record whose whole `length` bytes are at rec (the length field
// included) and fills out on success.
Fault parse_record(const unsigned char *rec, uint32_t length, Record *out);

} // namespace ddt
