#include "prtform.h"

#include "../foundation/lebytes.h"
#include "../foundation/units.h"
#include "../foundation/util.h"
#include "../model/model.h"

namespace {

void copy_name(char *dst, const char *src) {
    int32_t n = 0;
    if (src)
        while (n < kFormNameSize - 1 && src[n])
            ++n;
    mrl::__memset(dst, 0, kFormNameSize);
    mrl::__memcpy(dst, src, n);
}

// Paper loaded against one edge: the unprintable strip there eats into that
// edge's margin first and into the label only beyond it.
void load_against_edge(int64_t strip, int32_t margin, int64_t max_width, int64_t paper_width, int64_t &printable,
                       int64_t &near_offset, int64_t &far_offset) {
    if (strip > margin)
        printable -= strip - margin;
    else
        strip = margin;
    if (printable > max_width)
        printable = max_width;
    near_offset = strip;
    far_offset = paper_width - printable - near_offset;
}

} // namespace

bool SfmReadHeader(const unsigned char *bytes, LONG n, uint32_t *record_size) {
    if (!bytes || n < kSfmHeaderSize)
        return false;
    for (int i = 0; i < 4; ++i)
        if (bytes[i] != static_cast<unsigned char>(kSfmMagic[i]))
            return false;
    if (record_size)
        *record_size = static_cast<uint32_t>(le::i32(bytes + 4));
    return true;
}

const char *SfmProblem(const unsigned char *file, size_t n, size_t *record) {
    *record = 0;
    uint32_t size = 0;
    if (n < size_t(kSfmHeaderSize) || !SfmReadHeader(file, kSfmHeaderSize, &size))
        return "not a form list (no \"SFM1\" header with a record size)";
    if (size < uint32_t(kSfmMinImportRecord) || size > uint32_t(kFormRecordSize))
        return "record size outside 60 to 92 bytes";
    const size_t body = n - kSfmHeaderSize;
    if (body % size) {
        *record = body / size + 1;
        return "the last record is cut short";
    }
    for (size_t at = kSfmHeaderSize; at < n; at += size) {
        *record = (at - kSfmHeaderSize) / size + 1;
        const unsigned char *r = file + at;
        const unsigned char *name = r + 28;
        const size_t room = size - 28;
        size_t len = 0;
        while (len < room && name[len])
            ++len;
        if (len == room)
            return "the name does not end inside the record";
        if (len == 0)
            return "empty name";
        for (size_t i = 0; i < len; ++i)
            if (name[i] < 0x20 || name[i] == 0x7F)
                return "control character in the name";
        if (le::i32(r) <= 0 || le::i32(r + 4) <= 0)
            return "label width or length not positive";
        for (int m = 8; m < 24; m += 4)
            if (le::i32(r + m) < 0)
                return "negative margin";
        if (static_cast<uint32_t>(le::i32(r + 24)) & ~uint32_t(FORMF_USER | FORMF_PREDEFINED | FORMF_GLOBAL))
            return "unknown flags";
    }
    *record = 0;
    return nullptr;
}

void SfmWriteHeader(unsigned char *out) {
    mrl::__memcpy(out, kSfmMagic, 4);
    le::put32(out + 4, kFormRecordSize);
}

void FormRecordFromBytes(const unsigned char *bytes, LONG n, FormRecord *rec) {
    unsigned char raw[kFormRecordSize] = {};
    if (bytes && n > 0)
        mrl::__memcpy(raw, bytes, n < kFormRecordSize ? n : kFormRecordSize);
    rec->width = le::i32(raw + 0);
    rec->height = le::i32(raw + 4);
    rec->left = le::i32(raw + 8);
    rec->right = le::i32(raw + 12);
    rec->top = le::i32(raw + 16);
    rec->bottom = le::i32(raw + 20);
    rec->flags = static_cast<uint32_t>(le::i32(raw + 24));
    mrl::__memcpy(rec->name, raw + 28, kFormNameSize);
    rec->name[kFormNameSize - 1] = 0;
}

void FormRecordToBytes(const FormRecord &rec, unsigned char *out) {
    le::put32(out + 0, static_cast<uint32_t>(rec.width));
    le::put32(out + 4, static_cast<uint32_t>(rec.height));
    le::put32(out + 8, static_cast<uint32_t>(rec.left));
    le::put32(out + 12, static_cast<uint32_t>(rec.right));
    le::put32(out + 16, static_cast<uint32_t>(rec.top));
    le::put32(out + 20, static_cast<uint32_t>(rec.bottom));
    le::put32(out + 24, rec.flags);
    copy_name(reinterpret_cast<char *>(out + 28), rec.name);
}

prtform::prtform()
    : width_(0), height_(0), left_(0), right_(0), top_(0), bottom_(0), flags_(0), name_(), paper_width_(0),
      paper_length_(0), printable_width_(0), printable_length_(0), left_offset_(0), right_offset_(0),
      top_offset_(0), bottom_offset_(0), paper_id_(0) {}

prtform::~prtform() { Remove(); }

void prtform::set_name(const char *name) { copy_name(name_, name); }

void prtform::get_record(FormRecord *rec) const {
    rec->width = width_;
    rec->height = height_;
    rec->left = left_;
    rec->right = right_;
    rec->top = top_;
    rec->bottom = bottom_;
    rec->flags = flags_;
    copy_name(rec->name, name_);
}

void prtform::set_record(const FormRecord &rec) {
    width_ = rec.width;
    height_ = rec.height;
    left_ = rec.left;
    right_ = rec.right;
    top_ = rec.top;
    bottom_ = rec.bottom;
    flags_ = rec.flags;
    copy_name(name_, rec.name);
}

void prtform::copy_from(const prtform &other) {
    FormRecord rec;
    other.get_record(&rec);
    set_record(rec);
}

void prtform::GetFormSize(POINT *size) const {
    if (!size)
        return;
    size->x = units::clamp32((int64_t(width_) + left_ + right_ + 50) / 100);
    size->y = units::clamp32((int64_t(height_) + top_ + bottom_ + 50) / 100);
}

void prtform::CalculatePrintableArea() {
    auto *list = dynamic_cast<prtformlist *>(GetOwner());
    const PDT *pdt = list ? list->GetPdt() : nullptr;
    int64_t paper_width = int64_t(width_) + left_ + right_;
    int64_t paper_length = int64_t(height_) + top_ + bottom_;
    int64_t printable_width = width_;
    int64_t printable_length = height_;
    paper_width_ = units::clamp32(paper_width);
    paper_length_ = units::clamp32(paper_length);
    if (pdt) {
        int64_t u = list->GetUnprintableWidth();
        int64_t max_width = pdt->printable_width;
        int64_t left_offset = left_offset_;
        int64_t right_offset = right_offset_;
        switch (pdt->paper_loading) {
        case 1:
            load_against_edge(u, left_, max_width, paper_width, printable_width, left_offset, right_offset);
            break;
        case 0:
            load_against_edge(u, right_, max_width, paper_width, printable_width, right_offset, left_offset);
            break;
        case 2: { // centred
            if (printable_width > max_width)
                printable_width = max_width;
            int64_t half = (paper_width - printable_width) / 2;
            left_offset = u + (half > left_ ? half : left_);
            right_offset = paper_width - printable_width - left_offset;
            break;
        }
        default:
            break;
        }
        left_offset_ = units::clamp32(left_offset);
        right_offset_ = units::clamp32(right_offset);
        if (printable_length > pdt->printable_length)
            printable_length = pdt->printable_length;
    }
    printable_width_ = units::clamp32(printable_width);
    printable_length_ = units::clamp32(printable_length);
    top_offset_ = 0;
    bottom_offset_ = units::clamp32(paper_length - printable_length);
}
