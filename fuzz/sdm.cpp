// Arbitrary device-settings files applied to a default device mode.
#include "devmode/model_devmode.h"
#include "devmode/sdm.h"
#include "model/model.h"
#include "test_model.h"

#include <cstdlib>
#include <cstring>
#include <vector>


extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const TestModel model(203, 999);
    std::vector<unsigned char> file(data, data + size); // exactly the file's bytes
    std::vector<unsigned char> block(static_cast<size_t>(devmode::kFullSize));
    auto *dm = reinterpret_cast<DEVMODEW *>(block.data());
    DefaultDevmode(model, dm, WSTR("fuzz"));
    const char *problem = sdm::Problem(file.data(), file.size(), model.GetPrefix(), prtconfig::kVersion);
    // A file the dialog takes whole is one Load reads.
    if (!sdm::Load(file.data(), file.size(), dm, model.GetPrefix()) && !problem)
        std::abort();
    // The working device mode keeps its sizes and a readable block.
    if (dm->dmSize != 220 || dm->dmDriverExtra != 1240 || !prtconfig::get_cfg(dm))
        std::abort();
    // A whole file goes through the merge rules within its own bytes.
    const char *why = nullptr;
    if (const DEVMODEW *in = sdm::Whole(file.data(), file.size(), &why)) {
        if (devmode::total_size(in) + sdm::kHeaderSize != LONG(file.size()))
            std::abort();
        DefaultDevmode(model, dm, WSTR("fuzz"));
        MergeDevmode(model, dm, in);
        if (dm->dmSize != 220 || dm->dmDriverExtra != 1240 || dm->dmCopies < 1 || dm->dmCopies > 999)
            std::abort();
    } else if (!why) {
        std::abort();
    }
    return 0;
}
