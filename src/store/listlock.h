// A machine-wide list of the store (stocks, bar fonts) is read, changed and
// written back as one step: its values are many, and two writers interleaving "Form Count" and "Form n" lose stocks.
#pragma once

#include "../foundation/compat.h"

// Names of the lists, one lock each.
constexpr WCHAR kFormListLock[] = WSTR("Forms");
constexpr WCHAR kBarFontListLock[] = WSTR("Bar Fonts");
// Long enough for any list save; short enough that a hung process does not
// hang the spooler with it. A tool run by a user may wait longer.
constexpr DWORD kListLockWaitMs = 10000;

// Held from construction to destruction: a named mutex shared by every process
// of the machine, then the printer-data lock for this process's threads (in
// that order, so that a thread waiting for another process never blocks the
// printer-data reads of its own process). A process that holds the list
// longer than wait_ms is not waited for: held() then says false and the
// caller must not write the list.
class ListLock {
public:
    explicit ListLock(const WCHAR *list, DWORD wait_ms = kListLockWaitMs);
    ~ListLock();
    ListLock(const ListLock &) = delete;
    ListLock &operator=(const ListLock &) = delete;

    bool held() const { return held_; }

private:
    void *mutex_ = nullptr;
    bool held_ = false;
};
