// Process-wide cache of driver data files, keyed by path, size and last-write
// time: every model built for a printer reads the same file, and a changed
// file is read again.
#pragma once

#include "../foundation/compat.h"

#include <memory>
#include <vector>

namespace filecache {

using Bytes = std::shared_ptr<const std::vector<unsigned char>>;

// The whole file as it is now, or null when it cannot be read in one piece.
Bytes Get(const WCHAR *path);
// Forgets every file (tests, and memory after a package change).
void Clear();

} // namespace filecache
