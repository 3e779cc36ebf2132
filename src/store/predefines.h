// Printer set-up (creation or driver upgrade): the package's predefined lists
// into the printer data store.
#pragma once

#include "../foundation/ostring.h"

class _MODEL;
class prtreg;

// Driver directory + OEM code + "xxeng" + extension (".sfm", ".sbf"); false
// without a model or when the driver directory cannot be found.
bool PredefinedFileName(const _MODEL *model, const char *extension, OString &path);

// Merges the predefined forms of the model's OEM into the stored form list
// (flagged global as well for the driver maker's own package, "omr"), then its
// predefined bar fonts into the bar-font list. False when the driver directory
// cannot be found or a list stays locked.
bool InstallPredefines(prtreg &store, _MODEL *model);
