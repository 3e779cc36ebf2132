// The one place where the UI object talks to the common property sheet
// (compstui). It asks for what the Windows sheet offers first; where a sheet
// answers 0 (Wine's compstui implements only the ADD_* functions) it inserts
// the same page record with ADD_PROPSHEETPAGEW and keeps the page handles
// itself. Windows never takes the fallbacks.
#pragma once

#include "../platform/ddiui.h"

class sheetfn {
public:
    sheetfn() = default;
    ~sheetfn();
    sheetfn(const sheetfn &) = delete;
    sheetfn &operator=(const sheetfn &) = delete;

    void bind(PFNCOMPROPSHEET fn, HANDLE sheet) { fn_ = fn, sheet_ = sheet; }
    bool bound() const { return fn_ != nullptr; }
    // CPSFUNC_INSERT_PSUIPAGEW; a PROPSHEETPAGEW insert that answers 0 is
    // added with CPSFUNC_ADD_PROPSHEETPAGEW instead. The page handle, or 0.
    LONG_PTR insert(HANDLE hInsert, INSERTPSUIPAGE_INFO *info);
    // Page count and handles: the sheet's own when it reports them, else the
    // handles kept by insert. The array stays owned here.
    LONG pages(HANDLE **handles);
    // CPSFUNC_SET_RESULT; false when the sheet cannot pass a result on (the
    // caller then does what the SET_RESULT reason would do).
    bool set_result(HANDLE page, LONG result);
    // True once a sheet function has answered 0 to a Windows-only request.
    bool limited() const { return limited_; }

private:
    LONG_PTR call(LONG function, LPARAM a, LPARAM b) const;

    PFNCOMPROPSHEET fn_ = nullptr;
    HANDLE sheet_ = nullptr;
    HANDLE *handles_ = nullptr;
    LONG count_ = 0;
    LONG capacity_ = 0;
    bool limited_ = false;
};
