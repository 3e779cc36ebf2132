// Arbitrary form-list files read into a stock list, written back and read again.
#include "form_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static formfuzz::MemFile in, out;
    // The mode and the model's paper loading vary with the input's length.
    LONG mode = static_cast<LONG>(size % 3);
    formfuzz::Model model(static_cast<uint16_t>((size / 3) % 4));
    in.set(data, size);

    prtformlist list(&model);
    bool is_list = size >= 4 && std::memcmp(data, "SFM1", 4) == 0;
    if (list.Load(in.path().c_str(), mode) != is_list)
        std::abort();
    if (!is_list)
        list.Validate(); // a refused file leaves the list as init made it
    std::vector<std::string> names = formfuzz::check(list);

    // What was written reads back as the same stocks (the user form stays out of files).
    out.set(nullptr, 0);
    if (!list.Save(out.path().c_str()))
        std::abort();
    prtformlist again(&model);
    if (!again.Load(out.path().c_str(), mode))
        std::abort();
    if (formfuzz::check(again) != names)
        std::abort();
    return 0;
}
