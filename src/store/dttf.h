// The fonts the driver copied into the printer's memory, kept per printer so
// that the font page can list them, delete them from the printer or send them
// all again. Each is stored as a 14-byte cache header and its 340-byte settings.
#pragma once

#include "../foundation/compat.h"
#include "../foundation/olist.h"

#include <cstddef>
#include <cstdint>

class prtreg;
class prtstream;

#pragma pack(push, 1)
// The font record sent to the printer ahead of a font's data.
struct VXFontInfo {
    char full_name[64];
    char typed_name[32];
    char printer_name[64];
    char second_name[16];
    int32_t command;     // 1 TrueType, 2 bitmap, 3 delete, 4 end of download
    int32_t char_count;  // bitmap characters that follow
    int32_t cell_height; // printer pixels
    int32_t orientation; // 0 upright, 1 rotated
    int32_t data_size;   // TrueType: file size; bitmap: -1
    int32_t max_width;
    int32_t avg_width;
    int32_t ascent;
};
static_assert(sizeof(VXFontInfo) == 208, "font record");
static_assert(offsetof(VXFontInfo, command) == 176, "font record");
static_assert(offsetof(VXFontInfo, data_size) == 192, "font record");

// A downloaded font's settings.
struct DTTFInfo {
    uint16_t type;   // 1 TrueType, 2 bitmap
    uint16_t status; // 1 and 3 are transient: never kept over a load
    int32_t point_size; // tenths of a point
    uint32_t charset[8]; // bit c: character c is sent as a bitmap glyph
    VXFontInfo font;
    uint8_t logfont[92]; // LOGFONTW of the chosen font, as the font dialog returned it
};
static_assert(sizeof(DTTFInfo) == 340, "font settings");
static_assert(offsetof(DTTFInfo, font) == 40, "font settings");
#pragma pack(pop)

constexpr LONG kCacheHeaderSize = 14;
constexpr LONG kDttfStoredSize = kCacheHeaderSize + static_cast<LONG>(sizeof(DTTFInfo));
// More stored fonts than this is not a list any printer memory held.
constexpr LONG kMaxDownloadedFonts = 1024;

// An item the printer keeps in its memory, with the small header stored with it.
class prtcachenode : public ONode {
public:
    prtcachenode();
    // Unlinks the node from its list.
    ~prtcachenode() override;
    virtual bool Erase(prtstream *) { return false; }
    virtual bool Print(prtstream *, LONG) { return false; }
    // The header to out (when set); its size.
    virtual LONG write(unsigned char *out) const;
    // The header from in (when set); its size.
    virtual LONG read(const unsigned char *in);

    int32_t cache_size() const;
    void set_cache_size(int32_t size);

protected:
    unsigned char header_[kCacheHeaderSize];
};

class prtdttf_list;

class prtdttf_node : public prtcachenode {
public:
    prtdttf_node();
    // Leaves its list's count and total as if it had never been added.
    ~prtdttf_node() override;

    // Prefix + "Size" must be 354, prefix + "Data" the header and settings.
    bool Load(prtreg &store, const char *prefix);
    bool Save(prtreg &store, const char *prefix) const;

    prtdttf_node *get_next() const { return static_cast<prtdttf_node *>(GetNext()); }

    DTTFInfo info;

private:
    friend class prtdttf_list;
    int32_t added_ = 0; // what AddFont put into the list's total
};

class prtdttf_list : public OList {
public:
    prtdttf_list() = default;
    // Deletes the fonts while the list is still whole (they update it).
    ~prtdttf_list() override { Clear(); }
    prtdttf_node *get_first() const { return static_cast<prtdttf_node *>(GetHead()); }

    // Reads "Font Download Count" fonts; one that cannot be read is skipped.
    void Load(prtreg &store);
    void Save(prtreg &store);
    void AddFont(prtdttf_node *node);
    // Count, cache sizes and the total of the fonts the printer holds.
    void RefreshInfo();

    int32_t total_size() const { return total_; }
    int32_t count() const { return count_; }

private:
    friend class prtdttf_node;
    int32_t total_ = 0;
    int32_t count_ = 0;
};
