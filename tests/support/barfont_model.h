// A test model with a capability table: every symbology supported with its
// options, unless a test takes some away.
#pragma once

#include "store/barfont.h"
#include "test_model.h"

#include <cstring>
#include <string>
#include <vector>

class BarFontModel : public TestModel {
public:
    explicit BarFontModel(const char *oem = "omr") : TestModel(oem) {
        std::memset(table, 0, sizeof table);
        caps()->symbology_size = sizeof(VXSymbologyData);
        caps()->symbology_offset = sizeof(VXCapabilitiesData);
        caps()->symbology_count = kSymbologyCount;
        for (LONG id = 0; id < kSymbologyCount; ++id) {
            sym(id)->supported = 1;
            sym(id)->options = 0x1F;       // no ratio limits
            sym(id)->readable_flags = 0xC; // readable line above and below
        }
        // Every Code 128 encoding, PDF417 automatic levels and columns, every
        // Data Matrix level and format, every QR Code model, mask and input.
        sym(kSymCode128)->options = 0;
        sym(kSymPdf417)->options = 0x6;
        sym(kSymDataMatrix)->options = 0xFFFF;
        sym(kSymQrCode)->options = 0x3F;
        caps_ = caps();
    }
    VXCapabilitiesData *caps() { return reinterpret_cast<VXCapabilitiesData *>(table); }
    VXSymbologyData *sym(LONG id) { return GetSymbologyData(caps(), id); }

    unsigned char table[sizeof(VXCapabilitiesData) + kSymbologyCount * sizeof(VXSymbologyData)];
};

// The names of a list's fonts, in list order.
inline std::vector<std::string> font_names(const barfontlist &list) {
    std::vector<std::string> out;
    for (barfontnode *n = list.get_first(); n; n = n->get_next())
        out.push_back(n->font.get_name());
    return out;
}
