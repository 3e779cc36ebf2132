// The printer's serial configuration protocol: RS "C" 0x01 asks for the
// firmware text, RS 0x10 for the settings as key/value pairs, RS "ACE" sets
// them. Replies are outside bytes: every read is bounds-checked.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr unsigned char kRS = 0x1E;
constexpr char kQueryFirmware[] = "\x1e" "C\x01";
constexpr char kQuerySettings[] = "\x1e\x10";
constexpr size_t kConfigCommandBytes = 20;

// The seven settings, named after their keys on the wire.
struct PrinterSettings {
    int valueC = 0, value1 = 0, value2 = 0, value4 = 0, value7 = 0, value8 = 0, valueF = 0;
};

// The set-configuration command: RS "ACE", 7, the pairs in key order, checksum.
void BuildConfigCommand(const PrinterSettings &s, unsigned char out[kConfigCommandBytes]);
// Reads a reply to RS 0x10: byte 2 the pair count, then key/value pairs; keys
// not among the seven are skipped. false when the reply is too short for its count.
bool ParseSettingsReply(const unsigned char *reply, size_t n, PrinterSettings *s);
// The firmware text of a reply to RS "C" 0x01 (from byte 5 on); null when shorter.
const char *FirmwareText(const char *reply, size_t n);
// A setting by its key, or null for another key.
int *SettingByKey(PrinterSettings &s, char key);
