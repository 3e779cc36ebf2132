// Shared by the form fuzz targets: a model, in-memory files and the
// invariants every validated form list keeps.
#pragma once

#include "model/model.h"
#include "test_model.h"
#include "store/prtform.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace formfuzz {

// The test model with a margin at the loading edge and the given paper loading.
class Model : public TestModel {
public:
    explicit Model(uint16_t loading) : TestModel("oin") {
        pdt.unprintable_width = 1500;
        pdt.paper_loading = loading;
    }
};

// A file in memory that the module opens by path.
class MemFile {
public:
    MemFile() : fd_(memfd_create("form", 0)) {}
    ~MemFile() { close(fd_); }
    void set(const uint8_t *data, size_t size) {
        ftruncate(fd_, 0);
        pwrite(fd_, data, size, 0);
    }
    std::basic_string<WCHAR> path() const {
        std::string p = "/proc/self/fd/" + std::to_string(fd_);
        return std::basic_string<WCHAR>(p.begin(), p.end());
    }

private:
    int fd_;
};

// Ordered by name, greatest first, one form per name, names terminated,
// the user form 256 and offered forms numbered from 257 without gaps.
inline std::vector<std::string> check(const prtformlist &list) {
    std::vector<std::string> names;
    uint32_t next_id = kFirstPaperId;
    LONG offered = 0;
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        const char *name = f->get_name();
        if (memchr(name, 0, kFormNameSize) == nullptr)
            std::abort();
        if (!names.empty() && !(names.back() > std::string(name)))
            std::abort();
        names.push_back(name);
        uint16_t id = f->get_paper_id();
        if (f->is_user() ? id != kUserPaperId : (id != 0 && id != next_id++))
            std::abort();
        offered += id != 0;
    }
    if (list.enum_paper_id(nullptr) != offered)
        std::abort();
    std::vector<unsigned short> ids(offered + 1);
    std::vector<POINT> sizes(offered + 1);
    std::vector<WCHAR> slots((offered + 1) * kFormNameSize);
    if (list.enum_paper_id(ids.data()) != offered || list.enum_paper_size(sizes.data()) != offered ||
        list.enum_paper_name(slots.data()) != offered)
        std::abort();
    return names;
}

} // namespace formfuzz
