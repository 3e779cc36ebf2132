// Record data as JSON, by kind: "directory", "pdt", "capabilities" or "hex".
#pragma once

#include "ddtc.h"

namespace ddtc {

Bytes build_data(const std::string &kind, const json &value, const std::string &where);
// {kind: decoded} when the data decodes and builds back the same; else {"hex": ...}.
json dump_data(const std::string &kind, const unsigned char *p, uint32_t size);

} // namespace ddtc
