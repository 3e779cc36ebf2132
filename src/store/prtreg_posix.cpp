// Host stand-in of the registry and the spooler's printer data: values in
// memory with the same answers (a value longer than the buffer is not read).
#include "prtreg.h"

#include "../foundation/util.h"

#include <cctype>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Value {
    DWORD type;
    std::vector<unsigned char> data;
};

std::mutex g_lock;
std::map<std::string, std::map<std::string, Value>> g_places;

// Key paths and value names compare without regard to case, as in the registry.
std::string folded(const char *s) {
    std::string out;
    for (; s && *s; ++s)
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(*s)));
    return out;
}

std::string place_of(HANDLE printer, bool path, const char *key_path, bool global) {
    if (global)
        return "hklm\\" + folded(GLOBAL_KEY);
    if (path)
        return "hklm\\" + folded(key_path);
    return "printer:" + std::to_string(reinterpret_cast<uintptr_t>(printer));
}

} // namespace

void prtreg_host_clear() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_places.clear();
}

void prtreg::close_keys() {}

bool prtreg::GetData(const char *name, unsigned char *buf, LONG size, DWORD, bool global) {
    std::lock_guard<std::mutex> hold(g_lock);
    auto place = g_places.find(place_of(printer_, path_flag_, key_path_.nstring(), global));
    if (place == g_places.end())
        return false;
    auto value = place->second.find(folded(name));
    if (value == place->second.end() || size < 0 || value->second.data.size() > static_cast<size_t>(size))
        return false;
    if (!value->second.data.empty())
        mrl::__memcpy(buf, value->second.data.data(), static_cast<int32_t>(value->second.data.size()));
    return true;
}

bool prtreg::SetData(const char *name, const unsigned char *buf, LONG size, DWORD type, bool global) {
    if (size < 0)
        return false;
    std::lock_guard<std::mutex> hold(g_lock);
    Value &v = g_places[place_of(printer_, path_flag_, key_path_.nstring(), global)][folded(name)];
    v.type = type;
    v.data.assign(buf, buf + size);
    return true;
}
