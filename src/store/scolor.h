// Colour settings of a printer: how many print heads the model has, the
// colour each head's plane carries and which planes are in use, kept whole as
// "Spot Color" in the printer's data. The previews and colour pages get their
// 16-colour palette (every combination of planes) from here.
#pragma once

#include "../foundation/compat.h"

class _MODEL;
class prtreg;

// One plane, as stored.
struct SCOLORPLANE {
    LONG flags;   // bit 0: in use
    DWORD colour; // 0x00BBGGRR
    LONG x_offset, y_offset; // registration of the head, set by the colour pages
};

class SCOLOR {
public:
    enum { kSpot = 1, kFourColour = 2, kFourColourAlt = 3 };
    enum { kPresets = 24, kUnnamedColour = 2225 };

    SCOLOR();

    void Init(const _MODEL *model);
    // The model's colour flags decide heads and mode (Init without a model record).
    void InitFlags(WORD color_flags);
    void SetMode(LONG mode, bool force);
    LONG GetMode() const { return mode_; }
    LONG GetHeads() const { return heads_; }
    LONG GetLastPlane() const { return last_plane_; }

    DWORD GetColorPlane(LONG p) const { return valid(p) ? planes_[p].colour : 0xFFFFFF; }
    void SetColorPlane(LONG p, DWORD colour);
    LONG GetColorUsed(LONG p) const { return valid(p) ? planes_[p].flags & 1 : 0; }
    void SetColorUsed(LONG p, LONG used);
    // White for a plane out of use, and for the fourth plane in mode 2.
    DWORD GetColor(LONG p) const;
    SCOLORPLANE *Plane(LONG p) { return valid(p) ? &planes_[p] : nullptr; }
    const SCOLORPLANE *Plane(LONG p) const { return valid(p) ? &planes_[p] : nullptr; }
    // The colour registration dialog's reference head.
    void SetLastPlane(LONG p) { last_plane_ = valid(p) ? p : last_plane_; }

    static bool EnumColorPreset(LONG i, DWORD *colour, LONG *string_id);
    // String id of the first preset of plane p's colour; kUnnamedColour when none.
    LONG GetColorPlaneID(LONG p) const;
    void GeneratePalette(DWORD *out) const;

    // A missing or malformed stored record leaves this one as it was.
    bool Load(prtreg &reg);
    bool Save(prtreg &reg) const;

private:
    static bool valid(LONG p) { return p >= 0 && p < 4; }

    // The stored layout, in order.
    LONG mode_;
    LONG last_plane_;
    SCOLORPLANE planes_[4];
    LONG heads_;
};

// Subtractive mix: what two inks on top of each other leave.
DWORD AddColors(DWORD a, DWORD b);
