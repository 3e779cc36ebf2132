#include "listlock.h"

#include <mutex>

// The host build has one process: a lock for its threads.
namespace {
std::recursive_mutex host_lists;
}

ListLock::ListLock(const WCHAR *, DWORD) {
    host_lists.lock();
    held_ = true;
}

ListLock::~ListLock() { host_lists.unlock(); }
