// Label stocks (forms): the size of one label and the liner around it, and the
// per-queue list of them that the paper pages edit and capability queries list.
// Lengths are micrometres unless said otherwise.
#pragma once

#include "../foundation/compat.h"
#include "../foundation/olist.h"
#include "../model/records.h"

class _MODEL;
class prtreg;
class prtformlist;
class prtform;

#pragma pack(push, 1)
// A form as stored in printer data and in form-list files (little-endian).
struct FormRecord {
    int32_t width;
    int32_t height;
    int32_t left;
    int32_t right;
    int32_t top;
    int32_t bottom;
    uint32_t flags;
    char name[64]; // NUL-terminated
};
#pragma pack(pop)
static_assert(sizeof(FormRecord) == 92, "form record");
static_assert(offsetof(FormRecord, width) == 0, "form record");
static_assert(offsetof(FormRecord, height) == 4, "form record");
static_assert(offsetof(FormRecord, left) == 8, "form record");
static_assert(offsetof(FormRecord, right) == 12, "form record");
static_assert(offsetof(FormRecord, top) == 16, "form record");
static_assert(offsetof(FormRecord, bottom) == 20, "form record");
static_assert(offsetof(FormRecord, flags) == 24, "form record");
static_assert(offsetof(FormRecord, name) == 28, "form record");

constexpr LONG kFormRecordSize = 92;
constexpr LONG kFormNameSize = 64;
// Form-list files: magic, record size, then records to the end.
constexpr char kSfmMagic[4] = {'S', 'F', 'M', '1'};
constexpr LONG kSfmHeaderSize = 8;
// More stocks than this in one stored list or file is not a list anyone made;
// taking them all would only stall the caller (validation is quadratic).
constexpr LONG kMaxForms = 1024;

enum : uint32_t { FORMF_USER = 1, FORMF_PREDEFINED = 2, FORMF_GLOBAL = 4 };
// Paper ids: the user form, then the offered forms upward; 0 is not offered.
constexpr uint16_t kUserPaperId = 256;
constexpr uint16_t kFirstPaperId = 257;
// Name of the default user form.
constexpr char kUserFormName[] = "USER";
// Modes of prtformlist::Load(path, mode): how the file's forms are flagged.
enum : LONG { SFM_IMPORT = 0, SFM_PREDEFINED_GLOBAL = 1, SFM_PREDEFINED = 2 };

// Reads a form-list header; true with the record size when the magic is right.
bool SfmReadHeader(const unsigned char *bytes, LONG n, uint32_t *record_size);
// Smallest record an import takes: the seven fields and 32 bytes of name.
constexpr LONG kSfmMinImportRecord = 60;
// Why a whole form-list file cannot be imported (null when it can): the
// magic, a record size from kSfmMinImportRecord to kFormRecordSize, only whole
// records, and in each a name of printable characters ending inside the
// record, a positive label size, no negative margin and no unknown flag.
// *record is the 1-based record at fault (0 for the file as a whole).
// Load(path) stays as lenient as it is; importing refuses such files whole.
const char *SfmProblem(const unsigned char *file, size_t n, size_t *record);
// Fills the 8-byte header of a file of kFormRecordSize records.
void SfmWriteHeader(unsigned char *out);
// A record from n stored bytes (n may be short or long): missing bytes are 0
// and the name always ends inside its field.
void FormRecordFromBytes(const unsigned char *bytes, LONG n, FormRecord *rec);
// The 92 stored bytes of a record, little-endian, the name zero-padded.
void FormRecordToBytes(const FormRecord &rec, unsigned char *out);

// What prtformlist::Import did with a file's stocks; `names` receives each
// stock that replaced a listed one or was dropped for one, when it is set.
struct FormImport {
    LONG added = 0;
    LONG unchanged = 0;
    LONG replaced = 0;
    LONG kept = 0;
    void (*note)(void *context, const prtform &listed, bool replaced) = nullptr;
    void *context = nullptr;
};

class prtform : public ONode {
public:
    prtform();
    // Unlinks the form from its list first.
    ~prtform() override;

    bool is_user() const { return (flags_ & FORMF_USER) != 0; }
    bool is_predefined() const { return (flags_ & FORMF_PREDEFINED) != 0; }
    bool is_global() const { return (flags_ & FORMF_GLOBAL) != 0; }
    void set_predefined(bool on) { flags_ = on ? (flags_ | FORMF_PREDEFINED) : (flags_ & ~FORMF_PREDEFINED); }
    void set_global(bool on) { flags_ = on ? (flags_ | FORMF_GLOBAL) : (flags_ & ~FORMF_GLOBAL); }
    bool can_rename() const { return is_global(); }
    bool can_delete() const { return is_global(); }
    bool can_resize() const { return is_user() || is_global(); }

    // The paper (label and margins) in tenths of a millimetre, rounded.
    void GetFormSize(POINT *size) const;
    // Paper, printable size and offsets from the list's unprintable width and
    // the model's limits (a form outside a list gets paper and label size only).
    void CalculatePrintableArea();

    void get_record(FormRecord *rec) const;
    void set_record(const FormRecord &rec);
    // Copies the stored fields of another form (not its list links or computed fields).
    void copy_from(const prtform &other);

    LONG get_width() const { return width_; }
    LONG get_height() const { return height_; }
    LONG get_left() const { return left_; }
    LONG get_right() const { return right_; }
    LONG get_top() const { return top_; }
    LONG get_bottom() const { return bottom_; }
    uint32_t get_flags() const { return flags_; }
    const char *get_name() const { return name_; }
    void set_width(LONG v) { width_ = v; }
    void set_height(LONG v) { height_ = v; }
    void set_left(LONG v) { left_ = v; }
    void set_right(LONG v) { right_ = v; }
    void set_top(LONG v) { top_ = v; }
    void set_bottom(LONG v) { bottom_ = v; }
    void set_flags(uint32_t v) { flags_ = v; }
    // At most 63 characters are kept.
    void set_name(const char *name);

    LONG get_paper_width() const { return paper_width_; }
    LONG get_paper_length() const { return paper_length_; }
    LONG get_printable_width() const { return printable_width_; }
    LONG get_printable_length() const { return printable_length_; }
    LONG get_left_offset() const { return left_offset_; }
    LONG get_right_offset() const { return right_offset_; }
    LONG get_top_offset() const { return top_offset_; }
    LONG get_bottom_offset() const { return bottom_offset_; }
    uint16_t get_paper_id() const { return paper_id_; }
    void set_paper_id(uint16_t id) { paper_id_ = id; }

    prtform *get_next() const { return static_cast<prtform *>(GetNext()); }

private:
    int32_t width_;
    int32_t height_;
    int32_t left_;
    int32_t right_;
    int32_t top_;
    int32_t bottom_;
    uint32_t flags_;
    char name_[kFormNameSize];
    int32_t paper_width_;
    int32_t paper_length_;
    int32_t printable_width_;
    int32_t printable_length_;
    int32_t left_offset_;
    int32_t right_offset_;
    int32_t top_offset_;
    int32_t bottom_offset_;
    uint16_t paper_id_;
};

class prtformlist : public OList {
public:
    prtformlist();
    explicit prtformlist(_MODEL *model);
    ~prtformlist() override;

    // Keeps the model, takes its unprintable width and puts the default user form at the head.
    void init(_MODEL *model);

    // Adds the forms stored for the printer, machine-wide and for the OEM; validates.
    bool Load(prtreg &store);
    // False, with nothing written, when the list cannot be stored whole (can_save).
    bool Save(prtreg &store);
    // Save, unless the store it was just loaded from already holds exactly the
    // values Save would write (a capability query loads and saves every time).
    bool SaveIfChanged(prtreg &store);
    // Adds the forms of a form-list file, flagged by mode (SFM_*); validates.
    // False, with the list unchanged, when the file cannot be opened, is not a
    // form list or holds more than kMaxForms records.
    bool Load(const WCHAR *path, LONG mode);
    // Merges a form-list file's stocks (shared by the machine) into the list and
    // validates. A stock equal in name and sizes to a listed one changes nothing;
    // of two that share a name but not their sizes, the listed one gives way when
    // it may be deleted (FormImport::replaced) and stays otherwise (kept). False,
    // with the list unchanged, when Load(path) refuses the file.
    bool Import(const WCHAR *path, FormImport &report);
    // Writes every form but the user form; false when the file cannot be written.
    bool Save(const WCHAR *path);

    prtform *Find(short paper_id) const;
    // Orders by name (greatest first), removes duplicate names, computes areas and paper ids.
    bool Validate();

    // For every offered form (nonzero paper id), in list order; out may be null.
    LONG enum_paper_size(POINT *out) const;
    LONG enum_paper_id(unsigned short *out) const;
    // Names in slots of kFormNameSize units, each terminated.
    LONG enum_paper_name(WCHAR *out) const;

    prtform *get_first() const { return static_cast<prtform *>(GetHead()); }
    _MODEL *get_model() const { return model_; }
    PDT *GetPdt() const;
    LONG GetUnprintableWidth() const { return unprintable_width_; }
    void SetUnprintableWidth(LONG width) { unprintable_width_ = width; }

    // Adds a form at the tail (the list owns it from then on).
    void Add(prtform *form) { AddTail(form); }

    // The stocks Save stores machine-wide (predefined false) or for the OEM.
    LONG CountStored(bool predefined) const;
    // Save writes only a list that the last Load read whole (a stored count
    // above kMaxForms or a stored stock that could not be read would be lost for
    // good) and whose two stored lists each hold at most kMaxForms stocks.
    bool can_save() const;

private:
    // Calls write(form, index) for every offered form when writing; returns their count.
    template <class Write> LONG for_each_offered(Write write, bool writing) const {
        LONG n = 0;
        for (prtform *f = get_first(); f; f = f->get_next()) {
            if (!f->get_paper_id())
                continue;
            if (writing)
                write(f, n);
            ++n;
        }
        return n;
    }

    int32_t unprintable_width_;
    _MODEL *model_;
    // What the last Load read and from which store, for SaveIfChanged: an
    // order-independent digest of (place, name, bytes) of the values read.
    const prtreg *loaded_from_ = nullptr;
    uint64_t loaded_digest_ = 0;
    bool read_whole_ = true;
};
