// The private part of the device mode: a stored format shared with the
// rendering module, so every size and offset below is fixed.
//
//   DEVMODEW public part          dmSize bytes (220 in the current layout)
//   COMMONPRIVATEDM               164 bytes at offset dmSize
//   configuration block           1076 bytes, the last ones of the private part,
//                                 ending in the 8-byte tail (endconfig)
//
// A device mode is untrusted input. The only size the driver is told is
// dmSize + dmDriverExtra; besides that only the 72-byte header that carries
// those two fields is assumed readable. Every locator here returns null
// rather than a pointer to a record that would not lie wholly inside that size.
#pragma once

#include "../foundation/compat.h"
#include "../foundation/lebytes.h"

#include <cstddef>
#include <cstdint>

class _MODEL;
struct PDT;

namespace devmode {

// Version and sizes of the layout this driver writes.
constexpr WORD kSpecVersion = 0x0401;
constexpr WORD kDriverVersion = 0x0400;
constexpr WORD kPublicSize = 220;
constexpr WORD kCommonSize = 164;
constexpr WORD kConfigSize = 1076;
constexpr WORD kPrivateSize = kCommonSize + kConfigSize; // 1240
constexpr LONG kFullSize = kPublicSize + kPrivateSize;    // 1460
// End of dmDriverExtra: the part of DEVMODEW every device mode must hold.
constexpr WORD kHeaderSize = 72;

// True when the public field at [offset, offset + size) lies inside dm's dmSize.
inline bool has_field(const DEVMODEW *dm, size_t offset, size_t size) {
    return dm && offset + size <= dm->dmSize;
}
// has_field for a named DEVMODEW member.
#define MRL_DM_HAS(dm, field) ::devmode::has_field((dm), offsetof(DEVMODEW, field), sizeof(DEVMODEW::field))
// dmSize + dmDriverExtra: the whole device mode as its owner claims it.
inline LONG total_size(const DEVMODEW *dm) { return dm ? LONG(dm->dmSize) + dm->dmDriverExtra : 0; }
inline unsigned char *private_part(DEVMODEW *dm) { return reinterpret_cast<unsigned char *>(dm) + dm->dmSize; }
inline const unsigned char *private_part(const DEVMODEW *dm) {
    return reinterpret_cast<const unsigned char *>(dm) + dm->dmSize;
}

// User strings are at most 255 characters: clears the last byte of each slot
// that lies in the first n bytes of a block carried in from outside, so that
// no caller meets an unterminated one.
void terminate_user(unsigned char *block, LONG n);

} // namespace devmode

#pragma pack(push, 1)

// Layouts of the Windows halftone records, kept here so that the stored format
// does not depend on which platform headers are in use.
struct MRL_CIECHROMA {
    LONG x, y, Y; // 1/10000
};
struct MRL_COLORINFO {
    MRL_CIECHROMA Red, Green, Blue, Cyan, Magenta, Yellow, AlignmentWhite;
    LONG RedGamma, GreenGamma, BlueGamma;
    LONG MagentaInCyanDye, YellowInCyanDye, CyanInMagentaDye;
    LONG YellowInMagentaDye, CyanInYellowDye, MagentaInYellowDye;
};
struct MRL_DEVHTINFO {
    DWORD HTFlags;
    DWORD HTPatternSize;
    DWORD DevPelsDPI;
    MRL_COLORINFO ColorInfo;
};
struct MRL_COLORADJUSTMENT {
    WORD caSize, caFlags, caIlluminantIndex;
    WORD caRedGamma, caGreenGamma, caBlueGamma;
    WORD caReferenceBlack, caReferenceWhite;
    SHORT caContrast, caBrightness, caColorfulness, caRedGreenTint;
};

// Common private header at offset dmSize.
struct COMMONPRIVATEDM {
    WORD size;      // 164
    WORD version;   // 1
    BYTE signature[4]; // "MDTN"
    MRL_DEVHTINFO ht;
    MRL_COLORADJUSTMENT ca;
};

// Dither settings: twelve signed words (the engine applies them).
struct dithercfg {
    SHORT method;     // 0 threshold, 1 Bayer, 2 clustered dot, 3 algebraic, 4 error diffusion
    SHORT brightness; // -100 .. 100
    SHORT contrast;   // -100 .. 100
    SHORT red, green, blue; // offsets, -100 .. 100
    SHORT bayer_size;     // 0 = 2x2, 1 = 4x4, 2 = 8x8
    SHORT cluster_size;   // 0 = 2x2 .. 3 = 8x8; -1 = chosen from the resolution
    SHORT kernel;         // 0 Floyd-Steinberg, 1 Jarvis
    SHORT algebraic;      // sequence index
    SHORT flags;          // bit 0 mirror, bit 1 flip, bit 2 negative
    SHORT reserved;

    enum { kThreshold = 0, kBayer = 1, kCluster = 2, kAlgebraic = 3, kDiffusion = 4 };
    enum { kMirror = 1, kFlip = 2, kNegative = 4 };

    void Reset();
    // Resolves an automatic clustered-dot size from the model's dpi, then clamps.
    void Validate(const PDT *pdt);
    static void validate_range(SHORT &v, SHORT lo, SHORT hi);
};

// The tail: the last 8 bytes of the private part; it finds the block.
struct endconfig {
    char magic[3];  // "mrl"
    char prefix[3]; // model database prefix the device mode was made for
    WORD size;      // whole configuration block, tail included: 1076
};

// Configuration block. The fields from option_value on are the model-family
// extension; extconfig adds its rules but no storage, so one record covers
// the whole 1076 bytes.
struct prtconfig {
    char user[4][256];
    WORD data_size;   // bytes carried between device modes: 1068 (all but the tail)
    WORD version;     // 1027
    WORD image_flags; // kRotate180 | kMirror | kNegative | kDistance
    WORD reserved1030;
    LONG distance; // µm, in force with kDistance
    dithercfg dither;
    SHORT option_value; // at least 1
    WORD reserved1062;
    WORD option_flags; // kOptionOn
    WORD reserved1066;
    endconfig tail;

    static constexpr WORD kVersion = 1027;
    static constexpr WORD kDataSize = 1068;
    static constexpr LONG kDefaultDistance = 6350; // a quarter inch
    enum : WORD { kRotate180 = 1, kMirror = 2, kNegative = 4, kDistance = 16 };
    enum : WORD { kOptionOn = 1 };

    // The tail of dm, or null: see layout.cpp for the exact conditions.
    static const endconfig *get_tail(const DEVMODEW *dm);
    static endconfig *get_tail(DEVMODEW *dm);
    // The configuration block of dm, or null when it is missing or would not
    // lie wholly inside dm's private part.
    static const prtconfig *get_cfg(const DEVMODEW *dm);
    static prtconfig *get_cfg(DEVMODEW *dm);
    static LONG GetTotalSize() { return devmode::kConfigSize; }

    // Zeroes the user strings, image flags and distance rules, resets dithering.
    void Reset();
    // Defaults of the whole block (null-safe).
    static void Reset(prtconfig *cfg, const _MODEL *model);
    // Clears image flags the model cannot print; true when one was cleared.
    bool Validate(const PDT *pdt);
    void set_user(const char *text, int slot);
    const char *get_user(int slot) const;
};

struct extconfig : prtconfig {
    void Reset(const _MODEL *model);
    bool Validate(const PDT *pdt);
    bool Validate(const _MODEL *model);
};

#pragma pack(pop)

static_assert(sizeof(MRL_CIECHROMA) == 12, "CIECHROMA");
static_assert(sizeof(MRL_COLORINFO) == 120, "COLORINFO");
static_assert(offsetof(MRL_COLORINFO, RedGamma) == 84, "COLORINFO");
static_assert(offsetof(MRL_COLORINFO, MagentaInYellowDye) == 116, "COLORINFO");
static_assert(sizeof(MRL_DEVHTINFO) == 132, "DEVHTINFO");
static_assert(offsetof(MRL_DEVHTINFO, ColorInfo) == 12, "DEVHTINFO");
static_assert(sizeof(MRL_COLORADJUSTMENT) == 24, "COLORADJUSTMENT");
static_assert(offsetof(MRL_COLORADJUSTMENT, caContrast) == 16, "COLORADJUSTMENT");

static_assert(sizeof(COMMONPRIVATEDM) == devmode::kCommonSize, "common private header");
static_assert(offsetof(COMMONPRIVATEDM, version) == 2, "common header");
static_assert(offsetof(COMMONPRIVATEDM, signature) == 4, "common header");
static_assert(offsetof(COMMONPRIVATEDM, ht) == 8, "common header");
static_assert(offsetof(COMMONPRIVATEDM, ca) == 140, "common header");

static_assert(sizeof(dithercfg) == 24, "dither settings");
static_assert(offsetof(dithercfg, bayer_size) == 12, "dither word 6");
static_assert(offsetof(dithercfg, cluster_size) == 14, "dither word 7");
static_assert(offsetof(dithercfg, algebraic) == 18, "dither word 9");
static_assert(offsetof(dithercfg, flags) == 20, "dither word 10");

static_assert(sizeof(endconfig) == 8, "tail");
static_assert(offsetof(endconfig, prefix) == 3, "tail");
static_assert(offsetof(endconfig, size) == 6, "tail");

static_assert(sizeof(prtconfig) == devmode::kConfigSize, "configuration block");
static_assert(sizeof(extconfig) == sizeof(prtconfig), "extconfig adds no storage");
static_assert(offsetof(prtconfig, data_size) == 1024, "configuration block");
static_assert(offsetof(prtconfig, version) == 1026, "configuration block");
static_assert(offsetof(prtconfig, image_flags) == 1028, "configuration block");
static_assert(offsetof(prtconfig, reserved1030) == 1030, "configuration block");
static_assert(offsetof(prtconfig, distance) == 1032, "configuration block");
static_assert(offsetof(prtconfig, dither) == 1036, "configuration block");
static_assert(offsetof(prtconfig, option_value) == 1060, "configuration block");
static_assert(offsetof(prtconfig, reserved1062) == 1062, "configuration block");
static_assert(offsetof(prtconfig, option_flags) == 1064, "configuration block");
static_assert(offsetof(prtconfig, reserved1066) == 1066, "configuration block");
static_assert(offsetof(prtconfig, tail) == prtconfig::kDataSize, "configuration block");
static_assert(devmode::kPrivateSize == 1240 && devmode::kFullSize == 1460, "device mode sizes");

namespace devmode {

// What a caller does with a configuration block found through its tail:
// - read: uses the whole 1076-byte record (views, pages). A block size below
//   1024 counts only the part after the user strings.
// - carry: copies the data the block says it holds (merging, device-settings
//   files). Its data-size and version words must lie inside it.
enum class BlockUse { read, carry };

struct ConfigBlock {
    const unsigned char *start = nullptr; // null: no block
    LONG size = 0;                        // from start to the end of the tail
    const endconfig *tail = nullptr;

    explicit operator bool() const { return start != nullptr; }
    WORD version() const { return le::u16(start + offsetof(prtconfig, version)); }
    // Bytes the block carries: its data size, never its tail.
    LONG carried() const {
        LONG n = le::u16(start + offsetof(prtconfig, data_size));
        return n < size - LONG(sizeof(endconfig)) ? n : size - LONG(sizeof(endconfig));
    }
};

// The block whose tail ("mrl") is the last 8 bytes of area[0, n), when it
// lies wholly inside the area by the rules of use; else an empty result.
ConfigBlock locate_config(const unsigned char *area, LONG n, BlockUse use);

} // namespace devmode

// The common private header at offset dmSize when its signature is "MDTN" and
// dmDriverExtra holds a whole header; null otherwise (also for a null dm).
const COMMONPRIVATEDM *GetCommonPrivateDm(const DEVMODEW *dm);
COMMONPRIVATEDM *GetCommonPrivateDm(DEVMODEW *dm);
