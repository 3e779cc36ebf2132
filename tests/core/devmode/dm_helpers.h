// Device modes and models for the device-mode tests.
#pragma once

#include <gtest/gtest.h>

#include "devmode/layout.h"
#include "devmode/model_devmode.h"
#include "devmode/rules.h"
#include "foundation/util.h"
#include "model/model.h"

#include <cstring>
#include <vector>

// A model whose printer data table is set field by field.
class TestModel : public _MODEL {
public:
    TestModel(int16_t dpi, int32_t max_copies, int16_t color_type = 1, const char *prefix = "abc") {
        table.dpi = dpi;
        table.printer_dpi = dpi;
        table.max_copies = max_copies;
        table.color_type = color_type;
        table.default_form_length = 1016;
        table.default_form_width = 508;
        table.default_tt_option = 3;
        table.image_flags = 7;
        pdt_ = &table;
        mrl::__strncpy(prefix_, prefix, 4);
    }
    PDT table = {};
};

// A heap block of exactly the size given, so that the sanitizer sees any
// access past what a device mode claims.
class DmBuffer {
public:
    explicit DmBuffer(size_t n) : bytes_(n ? n : 1, 0) {}
    DmBuffer(const DEVMODEW *src) : bytes_(size_t(devmode::total_size(src))) {
        std::memcpy(bytes_.data(), src, bytes_.size());
    }
    DEVMODEW *dm() { return reinterpret_cast<DEVMODEW *>(bytes_.data()); }
    unsigned char *data() { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }

private:
    std::vector<unsigned char> bytes_;
};

// A default device mode of the model in a block of exactly 1460 bytes.
inline DmBuffer default_dm(const _MODEL &model) {
    DmBuffer b(size_t(devmode::kFullSize));
    DefaultDevmode(model, b.dm(), WSTR("Label printer"));
    return b;
}
