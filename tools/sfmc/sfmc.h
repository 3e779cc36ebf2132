// sfmc: form-list files (".sfm") from JSON and back, for package makers.
//
// JSON: {"record_size": 92, "forms": [{"name", "width", "height", "left",
// "right", "top", "bottom", "flags"}], "trailing": "hex"}. Lengths are
// micrometres, or strings such as "101.6 mm", "4 in", "1270 um". Names are
// Latin-1 (one byte per character). Optional per form: "name_field", the
// whole 64-byte name field in hex, when it holds bytes after the name's NUL.
// A dump holds every byte of the file, so dump -> build gives it back unchanged.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace sfmc {

using json = nlohmann::ordered_json;
using Bytes = std::vector<uint8_t>;

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws Error with the place of the fault.
Bytes build(const json &source);
// Throws Error when the bytes are not a form list ("SFM1" and a record size).
json dump(const Bytes &file);
// A length in micrometres from a number or a string with a unit.
int32_t length(const json &value, const std::string &where);

} // namespace sfmc
