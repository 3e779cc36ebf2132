// Device-settings file (".sdm"): "DM32", the length n of the device mode, then
// the whole device mode (public and private part, n bytes). The file I/O lives
// with the dialog; these work on the file's bytes.
#pragma once

#include "layout.h"

#include <vector>

namespace sdm {

// The file's magic, DMID.
constexpr char DMID[4] = {'D', 'M', '3', '2'};
constexpr LONG kHeaderSize = 8;

// The file's bytes for dm (its claimed dmSize + dmDriverExtra); empty for null.
std::vector<unsigned char> Save(const DEVMODEW *dm);

// Applies a file's bytes to dm, the working device mode of a model whose
// database prefix is prefix (three characters):
// - the public fields from dmFields on, up to the smaller dmSize, only when
//   the magic is exactly "DM32" (name, versions and sizes stay dm's);
// - the configuration block when the data ends in a tail for the same prefix
//   and the block's version equals dm's.
// Reads only inside the n bytes given; a length field that claims more than
// the file holds counts only what is there. False when the file does not
// start with "DM" (nothing applied), true otherwise.
bool Load(const unsigned char *file, size_t n, DEVMODEW *dm, const char *prefix);

// Why Load would not take a file whole, or null: it must start with "DM" and
// hold a configuration block for the model database prefix of block version
// `version`. Settings of another model or version would be taken only in
// part (the public fields), so a dialog refuses such a file instead.
const char *Problem(const unsigned char *file, size_t n, const char *prefix, WORD version);

// The device mode in a file's bytes when the file is exactly one whole device
// mode: "DM32", a length equal to the bytes that follow, and a device mode of
// that size (dmSize + dmDriverExtra, its header included) whose version is
// usable. Null otherwise, with why set. What a caller takes from it goes
// through the merge rules (_MODEL::MergeDevmode), not Load.
const DEVMODEW *Whole(const unsigned char *file, size_t n, const char **why);

} // namespace sdm
