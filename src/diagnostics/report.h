// The version report support staff ask users for: eight sections of
// "label<TAB>value" lines about the driver, this computer and its printers.
// The version dialog shows it section by section; the dialog's Save and
// `mrlprint report` write all eight as one text file, the same bytes.
#pragma once

#include "../pageframe/prtui.h"

#include <string>
#include <vector>

namespace report {

constexpr int kSections = 8;
using Lines = std::vector<std::wstring>;

// The lines of section 0..7 for the UI object's printer and model.
Lines Section(prtui &ui, int section);

// Narrow (ANSI) text of one section as saved: its name, a rule of 60 '-',
// then each line (a label padded to 30 columns before its value), then a
// blank line; every line ends in CR LF.
void AppendSaved(std::string &out, const WCHAR *name, const Lines &lines);

// Sections made at most once: the system is asked again only for a new cache.
struct Cache {
    const Lines &get(prtui &ui, int section);
    Lines lines[kSections];
    bool made[kSections] = {};
};

// The whole report as saved.
std::string Saved(prtui &ui, Cache &cache);

// The folder-less part of a path.
std::wstring TrimPath(const WCHAR *path);

} // namespace report
