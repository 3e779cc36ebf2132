// Win32 side of the locale: the user's region settings, the language modules
// and the resources in them.
#include "prtlocale.h"

#include "../foundation/util.h"
#include "../model/prtfile.h"
#include "../platform/seam.h"

#include <mutex>
#include <new>
#include <string>
#include <vector>

dlgtemp_node::dlgtemp_node(const WCHAR *name_in, DWORD size_in)
    : size(size_in), block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size_in)),
      data(block ? static_cast<unsigned char *>(GlobalLock(block)) : nullptr) {
    name = name_in;
}

dlgtemp_node::~dlgtemp_node() {
    if (block) {
        if (data)
            GlobalUnlock(block);
        GlobalFree(block);
    }
}

bool prtlocale::read_region(Region what, char *buf, LONG n) {
    static const LCTYPE types[] = {LOCALE_IMEASURE, LOCALE_ILZERO, LOCALE_SABBREVLANGNAME, LOCALE_SDECIMAL,
                                   LOCALE_STHOUSAND};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, types[what], buf, n) > 0;
}

bool prtlocale::IsValidLocale(LCID lcid) { return ::IsValidLocale(lcid, LCID_INSTALLED) != 0; }

namespace {

// Mapping a language module is most of what a UI object costs to make, and
// every sheet of a process maps the same three: they stay mapped, keyed by
// path, size and last-write time, so a replaced file is mapped anew.
struct MappedModule {
    std::wstring path;
    int64_t size;
    int64_t mtime;
    HINSTANCE module;
    LONG users;
};

// Three modules per package and language; a few packages in one process.
constexpr size_t kMaxMapped = 12;

std::mutex mapped_lock;
std::vector<MappedModule> mapped;

// Unmaps the first module no locale uses; false when every one is in use.
bool unmap_unused(const std::wstring *path) {
    for (auto it = mapped.begin(); it != mapped.end(); ++it)
        if (it->users == 0 && (!path || it->path == *path)) {
            FreeLibrary(it->module);
            mapped.erase(it);
            return true;
        }
    return false;
}

} // namespace

HINSTANCE prtlocale::LoadLanguage(const char *name) {
    WCHAR dir[MAX_PATH];
    if (!prtfile::GetDriverDirectory(dir, MAX_PATH))
        dir[0] = 0;
    OString path;
    path = dir;
    path += name;
    int64_t size = 0, mtime = 0;
    if (!prtfile::Stamp(path.wstring(), &size, &mtime))
        return nullptr;
    try {
        std::wstring key(path.wstring());
        std::lock_guard<std::mutex> hold(mapped_lock);
        for (MappedModule &m : mapped)
            if (m.path == key && m.size == size && m.mtime == mtime) {
                ++m.users;
                return m.module;
            }
        // An older mapping of a replaced file goes once no locale uses it.
        unmap_unused(&key);
        mapped.reserve(mapped.size() + 1); // nothing throws once the module is mapped
        // Only the resources are used: the module's code never runs.
        HINSTANCE module = LoadLibraryExW(key.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module || (mapped.size() >= kMaxMapped && !unmap_unused(nullptr)))
            return module; // not kept: free_module unmaps it
        mapped.push_back(MappedModule{key, size, mtime, module, 1});
        return module;
    } catch (...) {
        return LoadLibraryExW(path.wstring(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
}

void prtlocale::free_module(HINSTANCE module) {
    {
        std::lock_guard<std::mutex> hold(mapped_lock);
        for (MappedModule &m : mapped)
            if (m.module == module && m.users > 0) {
                --m.users;
                return;
            }
    }
    FreeLibrary(module);
}

void prtlocale::UnmapLanguageModules() {
    std::lock_guard<std::mutex> hold(mapped_lock);
    while (unmap_unused(nullptr)) {
    }
}

LONG prtlocale::module_string(HINSTANCE module, LONG id, WCHAR *buf, LONG n) {
    int len = LoadStringW(module, static_cast<UINT>(id), buf, n);
    return len > 0 ? len : 0;
}

bool prtlocale::confirm(HWND owner, const WCHAR *text, const WCHAR *caption) {
    return platform::windows().MessageBoxW(owner, text, caption, MB_OKCANCEL) == IDOK;
}

unsigned char *prtlocale::GetDialog(const WCHAR *name, bool detach, DWORD *size) {
    if (!name)
        return nullptr;
    // A numbered template goes by its "#id" name, which FindResourceW also takes.
    WCHAR number[16];
    if (IS_INTRESOURCE(name)) {
        wsprintfW(number, L"#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
        name = number;
    }
    dlgtemp_node *node = nullptr;
    for (ONode *n = templates_.GetHead(); n && !node; n = n->GetNext()) {
        auto *t = static_cast<dlgtemp_node *>(n);
        if (lstrcmpW(t->name.wstring(), name) == 0)
            node = t;
    }
    if (!node) {
        HRSRC found = nullptr;
        HINSTANCE module = nullptr;
        for (HINSTANCE m : modules_)
            if (m && (found = FindResourceW(m, name, MAKEINTRESOURCEW(5) /* RT_DIALOG */)) != nullptr) {
                module = m;
                break;
            }
        if (!found)
            return nullptr;
        HGLOBAL res = LoadResource(module, found);
        DWORD bytes = SizeofResource(module, found);
        const void *src = res ? LockResource(res) : nullptr;
        if (!src || bytes == 0)
            return nullptr;
        node = new (std::nothrow) dlgtemp_node(name, bytes);
        if (!node)
            return nullptr;
        if (!node->data) {
            delete node;
            return nullptr;
        }
        mrl::__memcpy(node->data, src, static_cast<int32_t>(bytes));
        if (!detach)
            templates_.AddHead(node);
    } else if (detach) {
        return nullptr; // a cached template stays with the cache
    }
    if (size)
        *size = node->size;
    if (!detach)
        return node->data;
    HGLOBAL block = node->block;
    GlobalUnlock(block);
    node->block = nullptr;
    delete node;
    return static_cast<unsigned char *>(block);
}

BITMAPINFO *prtlocale::LockBitmap(LONG id, DWORD *size) {
    // Bitmaps are looked up in the common, then OEM, then model module.
    const HINSTANCE order[] = {modules_[kCommon], modules_[kOem], modules_[kModel]};
    for (HINSTANCE m : order) {
        if (!m)
            continue;
        HRSRC found = FindResourceW(m, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
        if (!found)
            continue;
        HGLOBAL res = LoadResource(m, found);
        if (!res)
            return nullptr;
        if (size)
            *size = SizeofResource(m, found);
        return static_cast<BITMAPINFO *>(LockResource(res));
    }
    return nullptr;
}

int prtlocale::GetLocaleInfoW(LCID lcid, LCTYPE type, WCHAR *buf, LONG size) {
    return ::GetLocaleInfoW(lcid, type, buf, size);
}

bool prtlocale::GetComputerNameW(WCHAR *buf, DWORD *size) { return ::GetComputerNameW(buf, size) != 0; }

bool prtlocale::GetUserNameW(WCHAR *buf, DWORD *size) { return ::GetUserNameW(buf, size) != 0; }

bool prtlocale::GetFileName(OPENFILENAMEW *ofn, bool save) {
    const platform::Dialogs &d = platform::dialogs();
    return (save ? d.GetSaveFileNameW(ofn) : d.GetOpenFileNameW(ofn)) != 0;
}
