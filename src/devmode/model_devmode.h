// Device modes made and merged for a printer model: what the exports and the
// UI object call. They live with the device-mode rules they apply; the model
// record below knows nothing of device modes.
#pragma once

#include "../foundation/memory.h"
#include "layout.h"

class _MODEL;

// A default device mode of devmode::kFullSize bytes; null when memory runs out.
MemBlock<DEVMODEW> NewDevmode(const _MODEL &model, const WCHAR *name);
// The model's defaults into a buffer of devmode::kFullSize bytes; false for a null dm.
bool DefaultDevmode(const _MODEL &model, DEVMODEW *dm, const WCHAR *name);
// Merges src into dst within the model's limits; false when either is null or
// the public part cannot be merged.
bool MergeDevmode(const _MODEL &model, DEVMODEW *dst, const DEVMODEW *src);
// Copies src's claimed size into dst; false when either is null.
bool CopyDevmode(DEVMODEW *dst, const DEVMODEW *src);
