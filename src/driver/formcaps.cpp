#include "devcaps.h"

// The form list arrives with the printer data store; until then no form is listed.
DWORD FormCapabilities(HANDLE, _MODEL &, WORD, PVOID) { return 0; }
