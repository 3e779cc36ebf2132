// Checked views of the model records inside a resource: the directory walk and
// the minimum sizes under which a record counts as missing. Shared by _MODEL,
// the package tools and the fuzz target.
#pragma once

#include "../foundation/compat.h"
#include "records.h"

#include <cstdint>

class res_node;
class OString;

namespace ddt {

constexpr LONG kFirstDirectory = 510;
constexpr LONG kLastDirectory = 529;

// The record when the resource is long enough for every field read from it
// (for the capability table: its whole symbology table too); else null.
MDT *as_directory(const res_node *r);
PDT *as_pdt(const res_node *r);
VXCapabilitiesData *as_caps(const res_node *r);

// Why as_caps refuses a capability table (null when it accepts it).
const char *caps_problem(const unsigned char *data, uint32_t size);

// Why a printer data table makes no sense for a model (null when it does):
// values from which the driver would serve empty or negative extents. Such a
// model is not usable, like one whose table is missing.
const char *pdt_problem(const PDT *pdt);

// Longest model name the spooler registers as a driver name.
constexpr uint32_t kMaxModelName = 200;

// Bytes of a directory entry's name field: UTF-16 with its NUL, padded with
// zeros to a multiple of 4.
inline uint32_t padded_name_bytes(uint32_t chars) { return (2 * chars + 5) / 4 * 4; }

// One directory entry; the name is UTF-16 at any alignment.
struct Entry {
    uint32_t offset; // of the entry, from the start of the directory
    const unsigned char *name;
    uint32_t chars; // without the NUL
    int32_t pdt_id;

    // Exact UTF-16 comparison with a NUL-terminated name.
    bool named(const WCHAR *model) const;
    // The name as an owned string.
    void name_to(OString &out) const;
    // Why the name cannot name a driver (empty, a control character, longer
    // than kMaxModelName); null when it can.
    const char *name_problem() const;
};

// Walks the entries of a directory resource that as_directory accepted. Stops
// at model_count entries, or at the first entry that does not lie inside the
// resource (its name's NUL or its id beyond the end): broken() then tells where.
class directory_walk {
public:
    directory_walk(const unsigned char *data, uint32_t size);
    bool next(Entry *e);
    bool broken() const { return broken_; }
    uint32_t broken_offset() const { return offset_; }

private:
    const unsigned char *data_;
    uint32_t size_;
    uint32_t left_;
    uint32_t offset_;
    bool broken_;
};

// The UTF-16 text at offset in a block, up to its NUL. False (out emptied) when
// the offset lies outside or no NUL follows inside the block.
bool wide_at(const unsigned char *data, uint32_t size, uint32_t offset, OString &out);
// Length in characters of that text, or -1 when it is not inside the block.
int32_t wide_length_at(const unsigned char *data, uint32_t size, uint32_t offset);

} // namespace ddt
