// Accessor of everything kept outside the device mode: named values in the
// printer's driver data (per queue), in the driver maker's machine-wide key, or
// in a key below HKEY_LOCAL_MACHINE that the caller names.
#pragma once

#include "../foundation/compat.h"
#include "../foundation/ostring.h"

// Machine-wide values of the driver maker, below HKEY_LOCAL_MACHINE.
constexpr char GLOBAL_KEY[] = "System\\CurrentControlSet\\Control\\Print\\Marlin";
constexpr WCHAR GLOBAL_KEY_WINNT[] = WSTR("System\\CurrentControlSet\\Control\\Print\\Marlin");
// Driver files of a queue: this key + the printer name (SetDriverPath).
constexpr char DRIVER_FILES_KEY[] =
    "System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-2\\";
// Serial port settings (baud rate strings named by port).
constexpr WCHAR PORTS_KEY[] = WSTR("Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports");
// Searched for "PrinterDriverData" subkeys after a printer query.
constexpr WCHAR SPOOLER_KEY[] = WSTR("SYSTEM\\CurrentControlSet\\Control\\Print");

// Value kinds as the registry numbers them.
constexpr DWORD kRegSz = 1;
constexpr DWORD kRegBinary = 3;

class prtreg {
public:
    prtreg();
    // A bare handle: no printer name. The handle is never closed here.
    explicit prtreg(void *printer);
    ~prtreg();
    prtreg(const prtreg &) = delete;
    prtreg &operator=(const prtreg &) = delete;

    // The printer handle and name (a UI object hands over its own).
    void init(void *printer, const WCHAR *printer_name);

    // Non-null: per-printer values go to HKEY_LOCAL_MACHINE\path until SetPath(nullptr).
    void SetPath(const char *path);
    // Per-printer values go to the queue's driver-files key.
    void SetDriverPath();

    // A binary value of exactly `size` bytes into buf. A shorter stored value
    // leaves the rest of buf from a zeroed scratch block; a longer one fails.
    // False with buf untouched when size is not positive or the read fails.
    bool LoadRaw(const char *name, unsigned char *buf, LONG size, bool global);
    bool SaveRaw(const char *name, const unsigned char *buf, LONG size, bool global);
    // A string value of at most `size` bytes; buf gets the text and its NUL,
    // cut to size - 1 characters when the stored text has no NUL in time.
    bool LoadStr(const char *name, unsigned char *buf, LONG size, bool global);
    bool SaveStr(const char *name, const unsigned char *buf, LONG size, bool global);

    // A machine-wide stamp that grows with every saved list, so that a reader
    // that kept an answer can tell with one read whether anything changed since.
    // False when none is stored.
    bool LoadChangeStamp(uint64_t *stamp);
    // Moves the stamp past both the stored one and the clock: it never repeats,
    // not even after the machine-wide key was deleted.
    bool BumpChangeStamp();

    HANDLE get_printer() const { return printer_; }
    const OString &get_printer_name() const { return printer_name_; }
    bool is_path() const { return path_flag_; }
    const OString &get_path() const { return key_path_; }

protected:
    // Routing of every read and write, under the printer-data lock:
    // global -> machine-wide key; path flag -> key path; else printer data.
    bool GetData(const char *name, unsigned char *buf, LONG size, DWORD type, bool global);
    bool SetData(const char *name, const unsigned char *buf, LONG size, DWORD type, bool global);

private:
    // Closes the registry keys kept open for reading (none in the host build).
    void close_keys();

    OString printer_name_;
    OString key_path_;
    bool path_flag_;
    HANDLE printer_;
    // Machine-wide key and key path, opened on the first read and kept for the
    // next ones: a form list reads many values in a row.
    void *read_keys_[2] = {nullptr, nullptr};
};

#ifndef _WIN32
// The host build keeps values in memory, one place per printer handle and per
// key path; tests start from an empty store.
void prtreg_host_clear();
#endif
