// Bar fonts: named bar-code setups that applications choose like fonts. One
// is a fixed 164-byte record, kept as it lies in the store and in bar-font-list
// files (".sbf"); a list holds the fonts users made (machine-wide) and those the
// driver package installs (per OEM).
#pragma once

#include "../foundation/compat.h"
#include "../foundation/olist.h"
#include "../model/records.h"

#include <cstddef>

class _MODEL;
class prtreg;

constexpr LONG kBarFontSize = 164;
constexpr LONG kBarFontNameSize = 32;
// Bar-font-list files: magic, record size, then records to the end.
constexpr char kSbfMagic[4] = {'S', 'B', 'F', '1'};
constexpr LONG kSbfHeaderSize = 8;
// More fonts than this in one stored group or file is not a list anyone made.
constexpr LONG kMaxBarFonts = 1024;
// Symbology ids this module knows (names 1500 + id).
constexpr LONG kSymbologyCount = 30;

enum : uint32_t { BFF_USER_OPTION = 1, BFF_DISPLAY = 2, BFF_PREDEFINED = 8 };

// Symbology ids with options of their own.
enum : LONG {
    kSymCode128 = 3,
    kSymCodabar = 4,
    kSymUpcFirst = 7,
    kSymUpcLast = 10,
    kSymAddOn2 = 11,
    kSymAddOn5 = 12,
    kSymPostnet = 13,
    kSymPdf417 = 15,
    kSymDataMatrix = 16,
    kSymMaxiCode = 17,
    kSymQrCode = 18,
    kSymJapanPost = 21,
    kSymMicroPdf = 28,
};

class barfont {
public:
    barfont() = default;

    void init();
    static bool is_2D(LONG id);
    bool is_linear() const { return get_dimension() != 2; }

    LONG get_symbology() const;
    void set_symbology(LONG id);
    LONG get_rotation() const;
    void set_rotation(LONG r);
    LONG get_x() const;
    void set_x(LONG dots);
    LONG get_mils() const;
    void set_mils(LONG mils);
    LONG get_ratio() const;
    void set_ratio(LONG r);
    LONG get_hr() const;
    void set_hr(LONG mode);
    bool get_displayfont() const { return (get_flags() & BFF_DISPLAY) != 0; }
    void set_displayfont(bool on);
    const char *get_name() const { return reinterpret_cast<const char *>(rec_ + kName); }
    // At most 31 characters of " +-,.()[]:;", digits and ASCII letters; others are dropped.
    void set_name(const char *name);
    void set_manufacturer(const char *name);
    void change_symbology(LONG id);
    // The model draws the symbology at all (its record says supported).
    bool is_supported(VXCapabilitiesData *caps) const;

    LONG get_dimension() const { return i32(kDimension); }
    LONG get_dpi() const { return i32(kDpi); }
    void set_dpi(LONG dpi) { put32(kDpi, dpi); }
    uint32_t get_flags() const { return static_cast<uint32_t>(i32(kFlags)); }
    void set_flags(uint32_t f) { put32(kFlags, static_cast<LONG>(f)); }

    // Fields of the symbology block by record offset, signed 16-bit.
    LONG get16(size_t offset) const;
    void set16(size_t offset, LONG v);
    // The linear distance at offset 100 (dots).
    LONG get_distance() const { return i32(kDistance); }
    void set_distance(LONG dots) { put32(kDistance, dots); }

    // Resolution 203, defaults, then prefix "Data Size" / "Data" over the record.
    bool Load(prtreg &store, const char *prefix, bool global);
    bool Save(prtreg &store, const char *prefix, bool global) const;

    const unsigned char *bytes() const { return rec_; }
    // The first n (at most kBarFontSize) bytes over the record; the rest stays.
    // The name always ends inside its field.
    void set_bytes(const unsigned char *bytes, size_t n);

    // Record offsets.
    static constexpr size_t kName = 12, kDimension = 44, kDpi = 48, kFlags = 52, kManufacturer = 56, kBlock = 72,
                            kDistance = 100, kSym1D = 104, kX1D = 106, kRatioWhole = 114, kRatioHundredths = 116,
                            kRot1D = 118, kCheckChar = 120, kReadable = 124, kReadablePlace = 126, kOpt1 = 128,
                            kOpt2 = 130, kAddOn = 140, kJapanPost = 160, kSym2D = 78, kRot2D = 96, kX2D = 98,
                            k2DOpt1 = 118, k2DOpt2 = 120, k2DOpt3 = 122, k2DOpt4 = 124, k2DOpt5 = 126,
                            k2DOpt6 = 128, k2DOpt7 = 130;

private:
    LONG i32(size_t offset) const;
    void put32(size_t offset, LONG v);

    unsigned char rec_[kBarFontSize] = {};
};
static_assert(sizeof(barfont) == kBarFontSize, "a bar font is its stored record");

class barfontnode : public ONode {
public:
    barfontnode() = default;
    // A new font for the model: its printer resolution and the defaults.
    explicit barfontnode(const PDT *pdt);
    // Unlinks the node from its list first.
    ~barfontnode() override;

    // Prefix "BCF" + two (or more) digits + " ".
    bool Load(prtreg &store, LONG index, bool global);
    bool Save(prtreg &store, LONG index, bool global) const;

    barfontnode *get_next() const { return static_cast<barfontnode *>(GetNext()); }

    barfont font;
    bool shown = true;
    bool supported = false;
    bool resolution_matches = false;
};

class barfontlist : public OList {
public:
    barfontnode *get_first() const { return static_cast<barfontnode *>(GetHead()); }

    // Both stored groups (machine-wide, then the OEM's), each in descending index order.
    bool Load(prtreg &store, _MODEL *model);
    // False, with nothing written, when the last Load could not read a whole
    // group (a stored count above kMaxBarFonts) or a group would exceed it.
    bool Save(prtreg &store, _MODEL *model);
    // A bar-font-list file: true with nothing added when it cannot be opened;
    // false for another magic; records larger than ours add nothing.
    bool Load(const WCHAR *path, bool predefined);
    // The shown fonts (every font when all is set); false when the file cannot be written.
    bool Save(const WCHAR *path, bool all) const;
    // Replaces a node of the same resolution and name, then appends.
    bool AddTail(barfontnode *node);
    // Each node's supported / resolution / shown flags against the model.
    bool Filter(_MODEL *model, bool strict);
    static bool SupportedRatio(LONG narrow, LONG wide, unsigned long options);

    // The fonts the store keeps machine-wide (predefined false) or for the OEM.
    LONG CountStored(bool predefined) const;

private:
    bool read_whole_ = true;
};

// Why a bar-font-list file cannot be imported (null when it can): the magic,
// a record size of exactly kBarFontSize, whole records, at most kMaxBarFonts,
// and in each a name of allowed characters ending inside its field, a known
// symbology id with a matching dimension and a resolution from 1 to 9999 dpi.
// *record is the 1-based record at fault (0 for the file as a whole).
const char *SbfProblem(const unsigned char *file, size_t n, size_t *record);
// The 8-byte header of a file of kBarFontSize records.
void SbfWriteHeader(unsigned char *out);
// The options panel family of a symbology ("CODE39", ...), null when it has none.
const char *SymbologyFamily(LONG id);
