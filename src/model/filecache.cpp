#include "filecache.h"

#include "prtfile.h"

#include <mutex>
#include <memory>
#include <string>

namespace filecache {
namespace {

struct Entry {
    std::u16string path;
    int64_t size;
    int64_t mtime;
    Bytes bytes;
};

// A package has one data file; a few entries cover every package of a machine.
constexpr size_t kMaxEntries = 8;
constexpr int64_t kMaxFileSize = 64 << 20;

std::mutex lock;
std::vector<Entry> entries;

std::u16string key_of(const WCHAR *path) {
    std::u16string k;
    for (; *path; ++path)
        k.push_back(static_cast<char16_t>(*path));
    return k;
}

Bytes read_whole(const WCHAR *path, int64_t size) {
    prtfile f;
    if (!f.Open(path, prtfile::kRead) || f.size() != size)
        return nullptr;
    auto bytes = std::make_shared<std::vector<unsigned char>>(static_cast<size_t>(size));
    if (size && f.Read(bytes->data(), static_cast<LONG>(size)) != size)
        return nullptr;
    return bytes;
}

Bytes get(const WCHAR *path) {
    int64_t size = 0, mtime = 0;
    if (!path || !prtfile::Stamp(path, &size, &mtime) || size < 0 || size > kMaxFileSize)
        return nullptr;
    std::u16string key = key_of(path);
    {
        std::lock_guard<std::mutex> hold(lock);
        for (Entry &e : entries)
            if (e.path == key && e.size == size && e.mtime == mtime)
                return e.bytes;
    }
    Bytes bytes = read_whole(path, size);
    int64_t size_after = 0, mtime_after = 0;
    // Changed while being read: use nothing from this attempt.
    if (!bytes || !prtfile::Stamp(path, &size_after, &mtime_after) || size_after != size || mtime_after != mtime)
        return nullptr;
    std::lock_guard<std::mutex> hold(lock);
    for (auto it = entries.begin(); it != entries.end(); ++it)
        if (it->path == key) {
            entries.erase(it);
            break;
        }
    if (entries.size() >= kMaxEntries)
        entries.erase(entries.begin());
    entries.push_back(Entry{key, size, mtime, bytes});
    return bytes;
}

} // namespace

// Callers are spooler entry points: running out of memory here means reading
// the file directly, never an exception through an export.
Bytes Get(const WCHAR *path) {
    try {
        return get(path);
    } catch (...) {
        return nullptr;
    }
}

void Clear() {
    std::lock_guard<std::mutex> hold(lock);
    entries.clear();
}

} // namespace filecache
