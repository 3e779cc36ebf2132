// ddtc: driver data file compiler. JSON sources in, .ddt files out, and back.
#pragma once

#include "tooljson.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ddtc {

using json = tooljson::json;
using Bytes = std::vector<unsigned char>;

// A source the builder cannot turn into bytes; the text says where.
using Error = tooljson::Error;

// The largest symbology table (size x count) build writes from its fields;
// a larger one in a real file is dumped and built as hex.
constexpr size_t kMaxSymbologyTable = size_t(1) << 20;

// The whole file from a source document.
Bytes build(const json &source);
// The whole file from a source text (strict JSON, see tooljson::parse).
Bytes build_text(const Bytes &text);
// A source document that builds back into exactly these bytes. Records whose
// data does not decode into the named record types are kept as hex.
json dump(const Bytes &file);

struct Problem {
    bool error; // false: a warning, the reader copes
    std::string text;
};
// Everything the driver's reader and model lookup would stumble on.
std::vector<Problem> check(const Bytes &file);

std::string to_hex(const unsigned char *p, size_t n);
Bytes from_hex(const std::string &s, const std::string &where);

} // namespace ddtc
