#include "sheetfn.h"

#include "../foundation/memory.h"
#include "../foundation/util.h"

sheetfn::~sheetfn() { MEMFREE(handles_); }

LONG_PTR sheetfn::call(LONG function, LPARAM a, LPARAM b) const {
    return fn_ ? fn_(sheet_, static_cast<UINT>(function), a, b) : 0;
}

LONG_PTR sheetfn::insert(HANDLE hInsert, INSERTPSUIPAGE_INFO *info) {
    LONG_PTR page = call(CPSFUNC_INSERT_PSUIPAGEW, reinterpret_cast<LPARAM>(hInsert), reinterpret_cast<LPARAM>(info));
    if (page || !info || info->Type != PSUIPAGEINSERT_PROPSHEETPAGE)
        return page;
    // Wine: inserting answers 0, adding the same record works (at the end only).
    page = call(CPSFUNC_ADD_PROPSHEETPAGEW, static_cast<LPARAM>(info->dwData1), 0);
    if (!page)
        return 0;
    limited_ = true;
    if (count_ == capacity_) {
        LONG grown = capacity_ ? capacity_ * 2 : 8;
        auto *more = static_cast<HANDLE *>(MEMALLOC(sizeof(HANDLE) * grown));
        if (!more)
            return page;
        mrl::__memcpy(more, handles_, sizeof(HANDLE) * count_);
        MEMFREE(handles_);
        handles_ = more;
        capacity_ = grown;
    }
    handles_[count_++] = reinterpret_cast<HANDLE>(page);
    return page;
}

LONG sheetfn::pages(HANDLE **handles) {
    *handles = nullptr;
    LONG n = static_cast<LONG>(call(CPSFUNC_GET_PAGECOUNT, 0, 0));
    if (n > 0) {
        auto *got = static_cast<HANDLE *>(MEMALLOC(sizeof(HANDLE) * n));
        if (got && call(CPSFUNC_GET_HPSUIPAGES, reinterpret_cast<LPARAM>(got), n) > 0) {
            MEMFREE(handles_);
            handles_ = got;
            count_ = capacity_ = n;
            *handles = handles_;
            return n;
        }
        MEMFREE(got);
    }
    limited_ = limited_ || count_ > 0;
    *handles = handles_;
    return count_;
}

bool sheetfn::set_result(HANDLE page, LONG result) {
    if (call(CPSFUNC_SET_RESULT, reinterpret_cast<LPARAM>(page), result))
        return true;
    limited_ = true;
    return false;
}
