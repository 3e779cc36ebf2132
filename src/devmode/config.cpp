// Defaults and limits of the configuration block and its dither settings.
#include "../foundation/util.h"
#include "../model/model.h"
#include "layout.h"

void dithercfg::Reset() {
    method = kCluster;
    brightness = contrast = 0;
    red = green = blue = 0;
    bayer_size = 2;
    cluster_size = -1;
    kernel = 0;
    algebraic = 18;
    flags = 0;
    reserved = 0;
}

void dithercfg::validate_range(SHORT &v, SHORT lo, SHORT hi) {
    if (v < lo)
        v = lo;
    else if (v > hi)
        v = hi;
}

void dithercfg::Validate(const PDT *pdt) {
    if (cluster_size == -1) {
        SHORT dpi = pdt ? pdt->dpi : 0;
        cluster_size = dpi >= 400 ? 3 : dpi >= 180 ? 2 : 1;
    }
    // The record is packed: clamp through a local, a reference cannot bind to its fields.
    auto clamp = [](SHORT field, SHORT lo, SHORT hi) {
        validate_range(field, lo, hi);
        return field;
    };
    brightness = clamp(brightness, -100, 100);
    contrast = clamp(contrast, -100, 100);
    red = clamp(red, -100, 100);
    green = clamp(green, -100, 100);
    blue = clamp(blue, -100, 100);
    method = clamp(method, 0, 4);
    bayer_size = clamp(bayer_size, 0, 2);
    cluster_size = clamp(cluster_size, 0, 3);
    kernel = clamp(kernel, 0, 1);
}

void prtconfig::Reset() {
    mrl::__memset(user, 0, sizeof user);
    image_flags = 0;
    reserved1030 = 0;
    distance = kDefaultDistance;
    dither.Reset();
}

void prtconfig::Reset(prtconfig *cfg, const _MODEL *model) {
    if (cfg)
        static_cast<extconfig *>(cfg)->Reset(model);
}

bool prtconfig::Validate(const PDT *pdt) {
    WORD supported = pdt ? pdt->image_flags : 0;
    bool cleared = false;
    if (!(supported & kMirror) && (image_flags & kMirror)) {
        image_flags &= ~kMirror;
        cleared = true;
    }
    if (!(supported & kNegative) && (image_flags & kNegative)) {
        image_flags &= ~kNegative;
        cleared = true;
    }
    dither.Validate(pdt);
    return cleared;
}

void prtconfig::set_user(const char *text, int slot) {
    if (slot < 0 || slot > 3)
        return;
    mrl::__strncpy(user[slot], text, sizeof user[slot]);
}

const char *prtconfig::get_user(int slot) const { return slot >= 0 && slot <= 3 ? user[slot] : ""; }

void extconfig::Reset(const _MODEL *) {
    prtconfig::Reset();
    data_size = kDataSize;
    version = kVersion;
    option_value = 4;
    option_flags &= ~kOptionOn;
}

bool extconfig::Validate(const PDT *pdt) {
    bool cleared = prtconfig::Validate(pdt);
    if (option_value < 1)
        option_value = 1;
    return cleared;
}

bool extconfig::Validate(const _MODEL *model) { return Validate(model ? model->GetPDT() : nullptr); }
