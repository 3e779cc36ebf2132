// Device-settings file: writing a device mode and applying one to the working device mode.
#include "sdm.h"

#include "../foundation/lebytes.h"
#include "../foundation/util.h"
#include "rules.h"

#include <algorithm>

namespace {

void apply_public(const unsigned char *data, LONG n, DEVMODEW *dm) {
    const LONG from = offsetof(DEVMODEW, dmFields);
    if (n < devmode::kHeaderSize)
        return;
    LONG end = std::min<LONG>({le::u16(data + offsetof(DEVMODEW, dmSize)), dm->dmSize, n});
    if (end > from)
        mrl::__memcpy(reinterpret_cast<unsigned char *>(dm) + from, data + from, end - from);
}

void apply_config(const unsigned char *data, LONG n, DEVMODEW *dm, const char *prefix) {
    prtconfig *cfg = prtconfig::get_cfg(dm);
    devmode::ConfigBlock b = devmode::locate_config(data, n, devmode::BlockUse::carry);
    if (!cfg || !prefix || !b || mrl::__memcmp(b.tail->prefix, prefix, 3) || b.version() != cfg->version)
        return;
    LONG count = std::min(b.carried(), LONG(prtconfig::kDataSize));
    auto *dst = reinterpret_cast<unsigned char *>(cfg);
    mrl::__memcpy(dst, b.start, count);
    devmode::terminate_user(dst, count);
}

} // namespace

namespace sdm {

std::vector<unsigned char> Save(const DEVMODEW *dm) {
    std::vector<unsigned char> file;
    if (!dm)
        return file;
    const LONG n = devmode::total_size(dm);
    file.resize(size_t(kHeaderSize + n));
    mrl::__memcpy(file.data(), DMID, 4);
    le::put32(file.data() + 4, uint32_t(n));
    mrl::__memcpy(file.data() + kHeaderSize, dm, n);
    return file;
}

bool Load(const unsigned char *file, size_t n, DEVMODEW *dm, const char *prefix) {
    if (!file || n < 2 || file[0] != 'D' || file[1] != 'M')
        return false;
    if (!dm || n < size_t(kHeaderSize))
        return true;
    const size_t present = n - kHeaderSize;
    const uint32_t claimed = le::u32(file + 4);
    const LONG len = LONG(std::min<size_t>({present, claimed, size_t(0x7FFFFFFF)}));
    const unsigned char *data = file + kHeaderSize;
    if (file[2] == DMID[2] && file[3] == DMID[3])
        apply_public(data, len, dm);
    apply_config(data, len, dm, prefix);
    return true;
}

const char *Problem(const unsigned char *file, size_t n, const char *prefix, WORD version) {
    if (!file || n < size_t(kHeaderSize) || file[0] != 'D' || file[1] != 'M')
        return "not a device-settings file (no \"DM32\" header)";
    const LONG len = LONG(std::min<size_t>({n - kHeaderSize, le::u32(file + 4), size_t(0x7FFFFFFF)}));
    devmode::ConfigBlock b = devmode::locate_config(file + kHeaderSize, len, devmode::BlockUse::carry);
    if (!b)
        return "no settings of this driver in it";
    if (!prefix || mrl::__memcmp(b.tail->prefix, prefix, 3))
        return "settings of another printer family";
    if (b.version() != version)
        return "settings of another driver version";
    return nullptr;
}

const DEVMODEW *Whole(const unsigned char *file, size_t n, const char **why) {
    if (!file || n < size_t(kHeaderSize) || mrl::__memcmp(file, DMID, 4)) {
        *why = "not a device-settings file (no \"DM32\" header)";
        return nullptr;
    }
    const uint32_t claimed = le::u32(file + 4);
    if (claimed != n - kHeaderSize) {
        *why = claimed > n - kHeaderSize ? "cut short: its length field claims more than the file holds"
                                         : "its length field does not cover the whole file";
        return nullptr;
    }
    const unsigned char *data = file + kHeaderSize;
    if (claimed < devmode::kHeaderSize ||
        uint32_t(le::u16(data + offsetof(DEVMODEW, dmSize))) + le::u16(data + offsetof(DEVMODEW, dmDriverExtra)) !=
            claimed) {
        *why = "does not hold one whole device mode (dmSize + dmDriverExtra)";
        return nullptr;
    }
    auto *dm = reinterpret_cast<const DEVMODEW *>(data);
    if (!CheckDevmodeVersion(dm)) {
        *why = "holds a device mode of an unknown version";
        return nullptr;
    }
    *why = nullptr;
    return dm;
}

} // namespace sdm
