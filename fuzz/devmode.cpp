// Arbitrary device modes through conversion, merging and the views, in
// buffers of exactly the size they claim. The first input byte picks the
// model; the rest is the device mode (its 72-byte header padded with zeros).
#include "devmode/layout.h"
#include "devmode/model_devmode.h"
#include "devmode/rules.h"
#include "devmode/views.h"
#include "model/model.h"
#include "test_model.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const TestModel &model(unsigned char pick) {
    static const TestModel models[] = {{203, 999, 1}, {300, 0, 1}, {600, 100000, 2}};
    return models[pick % 3];
}

// The claimed device mode in a block of exactly its claimed size (never less
// than the header that states the size).
std::vector<unsigned char> claimed(const uint8_t *data, size_t size) {
    unsigned char header[devmode::kHeaderSize] = {};
    std::memcpy(header, data, std::min(size, sizeof header));
    WORD sizes[2];
    std::memcpy(sizes, header + offsetof(DEVMODEW, dmSize), sizeof sizes);
    size_t n = std::max<size_t>(sizeof header, size_t(sizes[0]) + sizes[1]);
    std::vector<unsigned char> block(n, 0);
    std::memcpy(block.data(), data, std::min(size, n));
    return block;
}

void check(bool ok) {
    if (!ok)
        std::abort();
}

// What merging must leave in a default device mode, whatever came in.
void check_merged(const _MODEL &m, DEVMODEW *dm) {
    const PDT *pdt = m.GetPDT();
    LONG limit = pdt->max_copies == 0 ? 999 : std::min<LONG>(pdt->max_copies, 32767);
    check(dm->dmSize == 220 && dm->dmDriverExtra == 1240);
    check(dm->dmCopies >= 1 && dm->dmCopies <= limit);
    check(dm->dmDuplex == 1 && dm->dmCollate == 0);
    check(dm->dmScale >= 1 && dm->dmScale <= 1000);
    check(dm->dmOrientation == 1 || dm->dmOrientation == 2);
    check(dm->dmPrintQuality == pdt->dpi);
    check(dm->dmColor == 1 || (dm->dmColor == 2 && pdt->color_type == 2));
    check(prtconfig::get_cfg(dm) != nullptr && GetCommonPrivateDm(dm) != nullptr);
}

void exercise_views(DEVMODEW *dm) {
    cfgpage page(dm);
    page.set_orientation(page.get_orientation() ^ 3);
    page.set_copies(page.get_copies());
    page.set_mirror(!page.get_inverse());
    page.set_form(page.get_size(), 1000, 2000, true, WSTR("fuzz"));
    cfggfx gfx(dm);
    gfx.set_icm(true);
    gfx.set_color(gfx.get_color());
    gfx.set_icmintent(gfx.get_icmintent());
    if (prtconfig *cfg = prtconfig::get_cfg(dm)) {
        static_cast<extconfig *>(cfg)->Validate(static_cast<const PDT *>(nullptr));
        cfg->get_user(3);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const TestModel &m = model(data[0]);
    std::vector<unsigned char> in = claimed(data + 1, size - 1);
    auto *fuzzed = reinterpret_cast<DEVMODEW *>(in.data());
    CheckDevmodeVersion(fuzzed);
    GetCommonPrivateDm(fuzzed);

    // Into a default device mode: every merge step and the whole merge.
    std::vector<unsigned char> dst(static_cast<size_t>(devmode::kFullSize));
    auto *dm = reinterpret_cast<DEVMODEW *>(dst.data());
    check(DefaultDevmode(m, dm, WSTR("fuzz")));
    std::vector<unsigned char> scratch = dst;
    ConvertDevmode(fuzzed, reinterpret_cast<DEVMODEW *>(scratch.data()));
    ValidateSetDevMode(dm, fuzzed, m.GetPDT());
    ValidateSetPrivateDevMode(dm, fuzzed);
    check_merged(m, dm);
    check(DefaultDevmode(m, dm, nullptr));
    check(MergeDevmode(m, dm, fuzzed));
    check_merged(m, dm);

    // The fuzzed device mode as the destination.
    ConvertDevmode(dm, fuzzed);
    in = claimed(data + 1, size - 1);
    fuzzed = reinterpret_cast<DEVMODEW *>(in.data());
    MergeDevmode(m, fuzzed, dm);
    exercise_views(fuzzed);
    return 0;
}
