// Strict JSON for the package tools: one reading of source files, keys and
// numbers shared by ddtc and sfmc, so that both refuse the same things.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tooljson {

using json = nlohmann::ordered_json;

// A source the tools refuse; the text says where.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The whole text as one JSON value: no comments, no key twice in an object,
// nothing after the value. Throws Error ("line L, column C: ...").
json parse(const std::vector<unsigned char> &text);

// Throws Error naming the first key of obj that keys does not hold (a
// misspelt field would otherwise be read as missing).
void known_keys(const json &obj, const std::set<std::string> &keys, const std::string &where);

// The string value; throws Error for anything else.
std::string text(const json &value, const std::string &where);

// A JSON integer, or a string of decimal digits (optional '-') or of "0x" and
// hex digits. No octal, no spaces, no fractions.
int64_t integer(const json &value, const std::string &where);

} // namespace tooljson
