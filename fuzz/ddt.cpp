// Arbitrary driver data files through the reader and the model lookup: every
// record pointer handed out must cover every field the driver reads.
#include "model/ddtmodel.h"
#include "model/model.h"
#include "model/prtres.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

volatile unsigned sink;

void touch(const void *p, size_t n) {
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += static_cast<const unsigned char *>(p)[i];
    sink = sum;
}

class FuzzModel : public _MODEL {
public:
    FuzzModel(const uint8_t *data, size_t size, const WCHAR *name) {
        res_.LoadBytes(data, size);
        model_name_ = name;
        std::memcpy(prefix_, "zpl", 4);
        std::memcpy(oem_, "ott", 4);
        resolve();
        init_new_vx();
    }
};

void read_model(const uint8_t *data, size_t size, const WCHAR *name) {
    FuzzModel m(data, size, name);
    touch(m.GetManufacturerName(), std::strlen(m.GetManufacturerName()));
    touch(m.GetShortMfgName(), std::strlen(m.GetShortMfgName()));
    if (m.GetMDT())
        touch(m.GetMDT(), sizeof(MDT));
    if (m.GetPDT()) {
        touch(m.GetPDT(), sizeof(PDT));
        if (m.GetEXTPDT())
            touch(m.GetEXTPDT(), static_cast<size_t>(m.GetEXTPDTSize()));
    }
    if (!m.is_valid())
        return;
    VXCapabilitiesData *caps = m.GetVXM();
    touch(caps, sizeof *caps);
    for (LONG id = 0; id < caps->symbology_count; ++id) {
        VXSymbologyData *s = GetSymbologyData(caps, id);
        if (!s)
            std::abort();
        touch(s, sizeof *s);
    }
    if (GetSymbologyData(caps, caps->symbology_count))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    prtres res;
    res.LoadBytes(data, size);
    for (ONode *n = res.GetHead(); n; n = n->GetNext()) {
        auto *r = static_cast<res_node *>(n);
        touch(r->GetData(), static_cast<size_t>(r->GetSize()));
        touch(r->GetName(), std::strlen(r->GetName()));
    }
    // Every model the directories list, and one name no file lists.
    int models = 0;
    for (LONG id = ddt::kFirstDirectory; id <= ddt::kLastDirectory && models < 16; ++id) {
        res_node *dir = res.Find(id);
        if (!ddt::as_directory(dir))
            continue;
        ddt::directory_walk walk(dir->GetData(), static_cast<uint32_t>(dir->GetSize()));
        ddt::Entry e;
        while (models < 16 && walk.next(&e)) {
            OString name;
            e.name_to(name);
            read_model(data, size, name.wstring());
            ++models;
        }
    }
    read_model(data, size, WSTR("Kestrel KD42-203dpi"));
    return 0;
}
