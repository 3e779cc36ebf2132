// Device modes and models for the device-mode tests.
#pragma once

#include <gtest/gtest.h>

#include "devmode/layout.h"
#include "devmode/model_devmode.h"
#include "devmode/rules.h"
#include "foundation/util.h"
#include "model/model.h"
#include "test_model.h"

#include <cstring>
#include <vector>

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
