// Device-mode defaults, merging and conversion under a model's limits.
//
// Buffer contract (device modes are untrusted):
// - A source device mode is read only inside its 72-byte header and its
//   claimed size dmSize + dmDriverExtra; the caller guarantees that much is
//   readable.
// - A destination is written only inside its own dmSize + dmDriverExtra; the
//   caller guarantees a buffer that large. Functions that make a device mode
//   from nothing (SetDefaultDevMode, SetDefaultPrivateDevMode,
//   DefaultDevmode) need a buffer of devmode::kFullSize bytes.
// - Public fields are read and written only when they lie inside dmSize; a
//   private record only when it lies wholly inside dmDriverExtra.
#pragma once

#include "layout.h"

struct PDT;
class _MODEL;

// Layout version of dm: 0x0320 (188-byte public part), 0x0400 (212), 0x0401
// (220), otherwise its own dmSpecVersion; 0 when unusable (null, dmSize
// 0xFFFF or smaller than its own header, dmDriverVersion above 0x0500).
WORD CheckDevmodeVersion(const DEVMODEW *dm);

// Copies what fits of in into out's version and sizes, keeping out's version
// and size fields. Returns the bytes copied (public + private), 1 with out
// untouched when in is unusable, -1 when out is unusable. in and out may overlap.
LONG ConvertDevmode(const DEVMODEW *in, DEVMODEW *out);

// Public defaults for the model, then the common private header. The buffer
// must hold devmode::kFullSize bytes. False only for a null dm.
bool SetDefaultDevMode(DEVMODEW *dm, const WCHAR *name, const PDT *pdt);

// Merges the public fields of src into dst within the model's limits, then
// takes src's common header when src is usable. 0 when the scratch copy cannot
// be made or src cannot be brought into dst's layout; else 1.
int ValidateSetDevMode(DEVMODEW *dst, const DEVMODEW *src, const PDT *pdt);

// Writes the default common header at offset dmSize; the buffer must hold
// dmSize + 164 bytes.
bool SetDefaultCommonPrivDm(DEVMODEW *dm);
// Copies src's common header over dst's when both have one of equal version.
void CopyCommonPrivateDm(DEVMODEW *dst, const DEVMODEW *src);
// Halftone defaults for dm's resolution (the smaller of print quality and
// y resolution; read as 0 when dm lacks them).
bool DefaultDevHTInfo(MRL_DEVHTINFO *ht, const DEVMODEW *dm);

// Sizes the private part (1240 bytes), writes the tail for the model's prefix
// and resets the configuration block. The buffer must hold dmSize + 1240 bytes.
void SetDefaultPrivateDevMode(DEVMODEW *dm, const _MODEL *model);
// Carries src's configuration block into dst when both were made for the
// same model database and block version; else dst keeps its own. Always 1.
int ValidateSetPrivateDevMode(DEVMODEW *dst, const DEVMODEW *src);
