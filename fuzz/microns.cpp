// Lengths typed by the user, in any measurement system and region convention.
#include "locale/prtlocale.h"

#include <cstdlib>
#include <vector>

namespace {

class FuzzLocale : public prtlocale {
public:
    FuzzLocale(uint8_t how) {
        static const char seps[] = {'.', ',', '\'', '\xB7'};
        decimal_[0] = seps[how >> 2 & 3];
        leading_zero_ = how & 0x10;
        measurement_ = how & 3;
        system_measurement_ = how & 0x20 ? kInches : kMillimetres;
        unit_name_ = is_mm() ? "mm" : is_cm() ? "cm" : "in";
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    FuzzLocale loc(data[0]);
    std::vector<WCHAR> text((size - 1) / 2 + 1, 0);
    for (size_t i = 1; i + 1 < size; i += 2)
        text[(i - 1) / 2] = static_cast<WCHAR>(data[i] | data[i + 1] << 8);
    LONG um = loc.string_to_microns(text.data());
    // At most 1000 inches' worth of whole units, a fraction and a larger unit letter.
    if (um > 645185375 || um < -645185375)
        std::abort();
    // A length up to 1000 inches shows as a text that reads back within the shown resolution.
    if (um > 25400000 || um < -25400000)
        return 0;
    LONG back = loc.string_to_microns(loc.microns_to_string(um));
    LONG half = loc.is_metric() ? 50 : 127;
    if (back - um > half || um - back > half)
        std::abort();
    return 0;
}
