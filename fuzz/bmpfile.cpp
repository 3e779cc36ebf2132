// Any bytes as a BMP file: a refusal must come with a reason; what is read
// must write back as a BMP that reads into the same pixels, and as a PNG.
#include "imaging/picfile.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<uint8_t> copy(data, data + size); // reads past `size` leave the allocation
    picfile::Picture p;
    std::string why;
    if (!picfile::ReadBmp(copy.data(), copy.size(), &p, &why)) {
        if (why.empty())
            std::abort();
        return 0;
    }
    if (p.bgr.size() != size_t(p.width) * 3 * size_t(p.height))
        std::abort();
    if (uint64_t(p.width) * uint64_t(p.height) > (1u << 20))
        return 0; // large pictures are legitimate; re-encoding them only slows the run
    std::vector<uint8_t> bmp = picfile::WriteBmp(p);
    picfile::Picture back;
    if (!picfile::ReadBmp(bmp.data(), bmp.size(), &back, &why) || back.bgr != p.bgr || back.width != p.width)
        std::abort();
    if (picfile::WritePng(p).size() < 8 + 25 + p.bgr.size())
        std::abort();
    return 0;
}
