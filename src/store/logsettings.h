// The printer's logging settings, kept in its printer data and read by the
// components that write the logs: print jobs saved as files in a directory
// (overwriting or not) and a text log file. The logging dialog edits them;
// mrlprint logs reads them.
#pragma once

#include "../foundation/ostring.h"

class prtreg;

struct LogSettings {
    // The texts are read into 260 bytes: at most 129 characters before the terminator.
    enum : LONG { kValueBytes = 260, kChars = kValueBytes / 2 - 1 };

    bool logging = false;      // "Log Logging"
    bool overwrite = false;    // "Log OverWriteFile"
    bool generateFile = false; // "Log GenerateFile"
    OString directory;         // "Log Directory", always ending with a backslash
    OString logFile;           // "Log File"

    // Defaults from the printer name ("C:\NAME\", "C:\NAME\Log.txt"), then every
    // stored value over them; a value that cannot be read keeps its default.
    void Load(prtreg &reg, const WCHAR *printer_name);
    // The flags as one byte each, the texts as UTF-16 with their terminator
    // (cut to kChars, so that they read back whole). False when a write failed.
    bool Save(prtreg &reg) const;
};

// Appends a backslash when the path does not end with one.
void MakeValidPath(OString &path);
