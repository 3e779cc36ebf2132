// Source texts of the package tools: any text through the strict reading and
// both builders (ddtc, sfmc). What builds must dump and build back into the
// same bytes. Sizes a source claims must be refused before they are
// allocated: libFuzzer's malloc limit turns such an allocation into a finding,
// as any exception other than the tools' own Error.
#include "ddtc.h"
#include "sfmc.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    tooljson::json source;
    try {
        source = tooljson::parse(std::vector<unsigned char>(data, data + size));
    } catch (const tooljson::Error &) {
        return 0;
    }
    ddtc::Bytes ddt;
    bool built = true;
    try {
        ddt = ddtc::build(source);
    } catch (const tooljson::Error &) {
        built = false;
    }
    if (built) {
        if (ddtc::build(ddtc::dump(ddt)) != ddt)
            std::abort();
        ddtc::check(ddt);
    }
    sfmc::Bytes sfm;
    built = true;
    try {
        sfm = sfmc::build(source);
    } catch (const tooljson::Error &) {
        built = false;
    }
    if (built) {
        std::string text = sfmc::dump(sfm).dump();
        if (sfmc::build_text(std::vector<unsigned char>(text.begin(), text.end())) != sfm)
            std::abort();
    }
    return 0;
}
