// Stored bar-font values of any size in both groups, loaded, filtered, saved
// back and loaded again: the second load sees the same fonts.
//
// Input: entries of [group][index][what][length][length bytes]. Group 0 is the
// machine-wide key, 1 the OEM's; index 255 with any `what` is "BC Font Count";
// otherwise `what` odd is "BCFnn Data Size", even "BCFnn Data".
#include "barfont_model.h"
#include "store/prtreg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HANDLE const kPrinter = reinterpret_cast<HANDLE>(0x79);

void store_entries(const uint8_t *data, size_t size) {
    prtreg global(kPrinter), oem(kPrinter);
    oem.SetPath((std::string(GLOBAL_KEY) + "\\oin").c_str());
    size_t i = 0;
    while (i + 4 <= size) {
        uint8_t group = data[i] % 2, index = data[i + 1], what = data[i + 2];
        size_t len = data[i + 3] * 2u;
        i += 4;
        if (len > size - i)
            len = size - i;
        char name[32];
        if (index == 255)
            std::snprintf(name, sizeof name, "BC Font Count");
        else
            std::snprintf(name, sizeof name, "BCF%d%d Data%s", index / 10, index % 10, what % 2 ? " Size" : "");
        if (group == 0)
            global.SaveRaw(name, data + i, static_cast<LONG>(len), true);
        else
            oem.SaveRaw(name, data + i, static_cast<LONG>(len), false);
        i += len;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    prtreg_host_clear();
    store_entries(data, size);
    BarFontModel model("oin");
    prtreg store(kPrinter);

    barfontlist list;
    if (!list.Load(store, &model) || store.is_path())
        std::abort();
    list.Filter(&model, size % 2);
    if (!list.Save(store, &model))
        return 0; // a damaged count: nothing written
    barfontlist again;
    again.Load(store, &model);
    // Each group comes back reversed, so compare as sets of records.
    if (again.Count() != list.Count())
        std::abort();
    for (barfontnode *a = list.get_first(); a; a = a->get_next()) {
        bool found = false;
        for (barfontnode *b = again.get_first(); b && !found; b = b->get_next())
            found = std::memcmp(a->font.bytes(), b->font.bytes(), kBarFontSize) == 0;
        if (!found)
            std::abort();
    }
    return 0;
}
