#include "scolor.h"

#include "../model/model.h"
#include "prtreg.h"

#include <cstring>

static_assert(sizeof(SCOLOR) == 76, "stored as it lies");

namespace {

const char kSpotColor[] = "Spot Color";

struct ColorPreset {
    DWORD colour;
    LONG string_id;
};

const ColorPreset color_map[SCOLOR::kPresets] = {
    {0x000000, 2203}, {0x0000FF, 2204}, {0x007FFF, 2208}, {0x00FFFF, 2202}, {0x00FF00, 2205}, {0xFFFF00, 2200},
    {0xFF0000, 2206}, {0xFF007F, 2209}, {0xFF00FF, 2201}, {0x9F9FFF, 2210}, {0x7FBFFF, 2211}, {0x9FFFFF, 2212},
    {0x9FFF9F, 2213}, {0xFFFF9F, 2214}, {0xFF9F9F, 2215}, {0xFF7FBF, 2216}, {0xFF7FFF, 2217}, {0x00007F, 2218},
    {0x007F00, 2219}, {0x7F0000, 2220}, {0x003F7F, 2221}, {0xCFCFCF, 2222}, {0x8F8F8F, 2223}, {0x5F5F5F, 2224},
};

} // namespace

DWORD AddColors(DWORD a, DWORD b) {
    DWORD out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const DWORD ink = (255 - ((a >> shift) & 0xFF)) + (255 - ((b >> shift) & 0xFF));
        out |= (255 - (ink < 255 ? ink : 255)) << shift;
    }
    return out;
}

SCOLOR::SCOLOR() : mode_(0), last_plane_(0), planes_{}, heads_(1) {}

void SCOLOR::Init(const _MODEL *model) {
    const PDT *pdt = model ? model->GetPDT() : nullptr;
    InitFlags(pdt ? pdt->color_flags : 0);
}

void SCOLOR::InitFlags(WORD f) {
    mode_ = last_plane_ = 0;
    std::memset(planes_, 0, sizeof planes_);
    heads_ = 1;
    if (f & 0x01)
        heads_ = 2;
    if (f & 0x02)
        heads_ = 3;
    if (f & 0x08)
        heads_ = 3;
    if (f & 0x04)
        heads_ = 4;
    if (f & 0x10)
        heads_ = 4;
    SetMode(kFourColour, true);
    if (!(f & (0x08 | 0x10)))
        SetMode(kSpot, false);
}

void SCOLOR::SetMode(LONG mode, bool force) {
    if (!force && mode_ == mode)
        return;
    mode_ = mode;
    for (LONG p = 0; p < 4; ++p)
        planes_[p].flags = p < heads_ ? (planes_[p].flags | 1) : (planes_[p].flags & ~1);
    if (mode == kFourColour || mode == kFourColourAlt) {
        const DWORD process[4] = {0x00FFFF, 0xFFFF00, 0xFF00FF, 0x000000};
        for (LONG p = 0; p < 4; ++p)
            planes_[p].colour = process[p];
        last_plane_ = 3;
    } else if (mode == kSpot) {
        static const DWORD spot[4][4] = {{0x000000},
                                         {0x0000FF, 0x000000},
                                         {0xFF0000, 0x0000FF, 0x000000},
                                         {0x00FFFF, 0xFF0000, 0x0000FF, 0x000000}};
        const LONG h = heads_ < 1 ? 1 : heads_ > 4 ? 4 : heads_;
        for (LONG p = 0; p < h; ++p)
            planes_[p].colour = spot[h - 1][p];
        last_plane_ = heads_ - 1;
    }
}

void SCOLOR::SetColorPlane(LONG p, DWORD colour) {
    if (valid(p))
        planes_[p].colour = colour;
}

void SCOLOR::SetColorUsed(LONG p, LONG used) {
    if (valid(p))
        planes_[p].flags = used ? (planes_[p].flags | 1) : (planes_[p].flags & ~1);
}

DWORD SCOLOR::GetColor(LONG p) const {
    if (!GetColorUsed(p) || (p == 3 && mode_ == kFourColour))
        return 0xFFFFFF;
    return planes_[p].colour;
}

bool SCOLOR::EnumColorPreset(LONG i, DWORD *colour, LONG *string_id) {
    if (i < 0 || i >= kPresets)
        return false;
    if (colour)
        *colour = color_map[i].colour;
    if (string_id)
        *string_id = color_map[i].string_id;
    return true;
}

LONG SCOLOR::GetColorPlaneID(LONG p) const {
    for (const ColorPreset &c : color_map)
        if (valid(p) && c.colour == planes_[p].colour)
            return c.string_id;
    return kUnnamedColour;
}

void SCOLOR::GeneratePalette(DWORD *out) const {
    const DWORD c[4] = {GetColor(0), GetColor(1), GetColor(2), GetColor(3)};
    for (int i = 0; i < 16; ++i) {
        DWORD v = 0xFFFFFF;
        if (i >= 8)
            v = AddColors(v, c[0]);
        if (i & 4)
            v = AddColors(v, c[1]);
        if (i & 2)
            v = AddColors(v, c[2]);
        if (i & 1)
            v = AddColors(v, c[3]);
        out[i] = v;
    }
}

bool SCOLOR::Load(prtreg &reg) {
    SCOLOR stored;
    if (!reg.LoadRaw(kSpotColor, reinterpret_cast<unsigned char *>(&stored), sizeof stored, false))
        return true;
    // Heads and mode index the planes and choose tables: a record from
    // outside with either out of range is not taken.
    if (stored.heads_ < 1 || stored.heads_ > 4 || stored.mode_ < kSpot || stored.mode_ > kFourColourAlt)
        return true;
    *this = stored;
    return true;
}

bool SCOLOR::Save(prtreg &reg) const {
    SCOLOR copy = *this;
    return reg.SaveRaw(kSpotColor, reinterpret_cast<const unsigned char *>(&copy), sizeof copy, false);
}
