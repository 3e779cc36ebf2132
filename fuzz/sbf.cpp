// Arbitrary bar-font-list files: the import check, the lenient reader, the
// model's filter, and what was written reads back the same.
#include "barfont_model.h"
#include "form_check.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static formfuzz::MemFile in, out;
    in.set(data, size);
    BarFontModel model;
    size_t record = 0;
    const char *problem = SbfProblem(data, size, &record);
    if (!problem && record != 0)
        std::abort();

    barfontlist list;
    bool is_list = size >= 4 && std::memcmp(data, "SBF1", 4) == 0;
    if (list.Load(in.path().c_str(), size % 2) != is_list || (!is_list && list.Count() != 0))
        std::abort();
    if (!problem && list.Count() > static_cast<long>((size - kSbfHeaderSize) / kBarFontSize))
        std::abort();
    list.Filter(&model, size % 3 == 0);
    for (barfontnode *n = list.get_first(); n; n = n->get_next()) {
        n->font.get_hr();
        n->font.get_mils();
        n->font.change_symbology(n->font.get_symbology());
    }

    out.set(nullptr, 0);
    if (!list.Save(out.path().c_str(), true))
        std::abort();
    barfontlist again;
    if (!again.Load(out.path().c_str(), false) || again.Count() != list.Count())
        std::abort();
    for (barfontnode *a = list.get_first(), *b = again.get_first(); a; a = a->get_next(), b = b->get_next())
        if (std::memcmp(a->font.bytes(), b->font.bytes(), kBarFontSize) != 0)
            std::abort();
    return 0;
}
