// Stored form records of any size in any of the three places, loaded into a
// stock list, saved back and loaded again.
//
// Input: entries of [place][index][length][length bytes]. Place 0 is the
// printer's data (index 0 "User Form", 1 "Unprintable Width"), 1 the
// machine-wide key and 2 the OEM's key (index 0 "Form Count", n "Form n").
#include "form_check.h"
#include "store/prtreg.h"

#include <map>

namespace {

HANDLE const kPrinter = reinterpret_cast<HANDLE>(0x77);

void store_entries(const uint8_t *data, size_t size) {
    prtreg printer(kPrinter), global(kPrinter), oem(kPrinter);
    global.SetPath(GLOBAL_KEY);
    std::string oem_key = std::string(GLOBAL_KEY) + "\\oin";
    oem.SetPath(oem_key.c_str());
    size_t i = 0;
    while (i + 3 <= size) {
        uint8_t place = data[i] % 3, index = data[i + 1];
        size_t len = data[i + 2];
        i += 3;
        if (len > size - i)
            len = size - i;
        std::string name;
        if (place == 0)
            name = index % 2 ? "Unprintable Width" : "User Form";
        else
            name = index ? "Form " + std::to_string(index) : "Form Count";
        prtreg &to = place == 0 ? printer : place == 1 ? global : oem;
        to.SaveRaw(name.c_str(), data + i, static_cast<LONG>(len), false);
        i += len;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    prtreg_host_clear();
    store_entries(data, size);
    formfuzz::Model model(static_cast<uint16_t>(size % 4));
    prtreg store(kPrinter);

    prtformlist list(&model);
    if (!list.Load(store) || store.is_path())
        std::abort();
    formfuzz::check(list);

    // Every stock but the user forms comes back from the store as it was saved.
    list.Save(store);
    prtformlist again(&model);
    again.Load(store);
    formfuzz::check(again);
    std::map<std::string, std::string> back;
    for (prtform *f = again.get_first(); f; f = f->get_next()) {
        FormRecord rec;
        f->get_record(&rec);
        back[f->get_name()] = std::string(reinterpret_cast<char *>(&rec), sizeof rec);
    }
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        if (f->is_user())
            continue;
        FormRecord rec;
        f->get_record(&rec);
        auto it = back.find(f->get_name());
        if (it == back.end() || it->second != std::string(reinterpret_cast<char *>(&rec), sizeof rec))
            std::abort();
    }
    if (again.GetUnprintableWidth() != list.GetUnprintableWidth())
        std::abort();
    return 0;
}
