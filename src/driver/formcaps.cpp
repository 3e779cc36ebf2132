#include "devcaps.h"

#include "../model/model.h"
#include "../store/listlock.h"
#include "../store/prtform.h"
#include "../store/prtreg.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace {

// The three answers for one printer, kept while the store's change stamp
// stays the same: applications ask for papers, sizes and names in a row, and
// reading the list costs many spooler and registry calls.
struct Answers {
    std::u16string printer;
    std::string model; // OEM code and the printer data table: all the list takes from the model
    uint64_t stamp = 0;
    std::vector<unsigned short> ids;
    std::vector<POINT> sizes;
    std::vector<WCHAR> names;
};

constexpr size_t kMaxKept = 16;
std::mutex kept_lock;
std::vector<Answers> kept;

std::u16string printer_key(const WCHAR *name) {
    std::u16string k;
    for (; name && *name; ++name)
        k.push_back(static_cast<char16_t>(*name));
    return k;
}

std::string model_key(const _MODEL &model) {
    std::string k(model.GetOEM(), 4);
    k.append(reinterpret_cast<const char *>(model.GetPDT()), sizeof(PDT));
    return k;
}

void take(Answers &a, const prtformlist &forms) {
    LONG n = forms.enum_paper_id(nullptr);
    a.ids.resize(n);
    a.sizes.resize(n);
    a.names.resize(static_cast<size_t>(n) * kFormNameSize);
    forms.enum_paper_id(a.ids.data());
    forms.enum_paper_size(a.sizes.data());
    forms.enum_paper_name(a.names.data());
}

// Loaded then saved at once, so the first query stores the model's list for a
// printer that has none yet; the lock keeps another process's save from
// interleaving with ours. Without the lock the list is only read.
bool read_list(HANDLE hPrinter, _MODEL &model, Answers &a) {
    prtformlist forms(&model);
    prtreg store(hPrinter);
    ListLock hold(kFormListLock);
    forms.Load(store);
    if (hold.held()) {
        forms.SaveIfChanged(store);
        // A store that never saw a save has no stamp yet: give it one to key on.
        if (!store.LoadChangeStamp(&a.stamp) && store.BumpChangeStamp())
            store.LoadChangeStamp(&a.stamp);
    }
    take(a, forms);
    return hold.held() && a.stamp != 0;
}

// Fills `a` from a kept answer with its printer, model and stamp.
bool find_kept(Answers &a) {
    std::lock_guard<std::mutex> guard(kept_lock);
    for (const Answers &e : kept)
        if (e.stamp == a.stamp && e.printer == a.printer && e.model == a.model) {
            a = e;
            return true;
        }
    return false;
}

void keep(const Answers &a) {
    std::lock_guard<std::mutex> guard(kept_lock);
    for (auto it = kept.begin(); it != kept.end(); ++it)
        if (it->printer == a.printer && it->model == a.model) {
            kept.erase(it);
            break;
        }
    if (kept.size() >= kMaxKept)
        kept.erase(kept.begin());
    kept.push_back(a);
}

DWORD answer(const Answers &a, WORD index, PVOID out) {
    size_t n = a.ids.size();
    if (out) {
        switch (index) {
        case DC_PAPERS:
            std::copy(a.ids.begin(), a.ids.end(), static_cast<unsigned short *>(out));
            break;
        case DC_PAPERSIZE:
            std::copy(a.sizes.begin(), a.sizes.end(), static_cast<POINT *>(out));
            break;
        default:
            std::copy(a.names.begin(), a.names.end(), static_cast<WCHAR *>(out));
            break;
        }
    }
    return static_cast<DWORD>(n);
}

} // namespace

DWORD FormCapabilities(HANDLE hPrinter, const WCHAR *printer_name, _MODEL &model, WORD index, PVOID out) {
    if (index != DC_PAPERS && index != DC_PAPERSIZE && index != DC_PAPERNAMES)
        return static_cast<DWORD>(GDI_ERROR);
    try {
        Answers a;
        a.printer = printer_key(printer_name);
        a.model = model_key(model);
        // Kept answers are only for a printer known by name, and only while the
        // stamp read now is the one they were made under.
        bool named = !a.printer.empty();
        if (named) {
            prtreg store(hPrinter);
            if (store.LoadChangeStamp(&a.stamp) && find_kept(a))
                return answer(a, index, out);
        }
        if (read_list(hPrinter, model, a) && named)
            keep(a);
        return answer(a, index, out);
    } catch (...) {
        // Out of memory for the answers: as for a model that cannot be made.
        return static_cast<DWORD>(GDI_ERROR);
    }
}
