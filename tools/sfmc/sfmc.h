// sfmc: form-list files (".sfm") from JSON and back, for package makers.
//
// JSON: {"record_size": 92 (the default), "forms": [{"name", "width", "height", "left",
// "right", "top", "bottom", "flags"}], "trailing": "hex"}. Lengths are
// micrometres, or strings such as "101.6 mm", "4 in", "1270 um". Names are
// Latin-1 (one byte per character). Optional per form: "name_field", the
// whole 64-byte name field in hex, when it holds bytes after the name's NUL.
// A dump holds every byte of the file, so dump -> build gives it back unchanged.
// Unknown keys are refused; "comment" is allowed at the top.
#pragma once

#include "tooljson.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sfmc {

using json = tooljson::json;
using Bytes = std::vector<uint8_t>;
using Error = tooljson::Error;

// Throws Error with the place of the fault.
Bytes build(const json &source);
// The same from a source text (strict JSON, see tooljson::parse).
Bytes build_text(const Bytes &text);
// Throws Error when the bytes are not a form list ("SFM1" and a record size).
json dump(const Bytes &file);
// A length in micrometres from an integer or a string of a decimal number
// and a unit: "101.6 mm", "4 in", "1270 um".
int32_t length(const json &value, const std::string &where);

} // namespace sfmc
