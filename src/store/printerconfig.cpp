#include "printerconfig.h"

namespace {
const char kKeys[] = "C1247" "8F";
}

int *SettingByKey(PrinterSettings &s, char key) {
    switch (key) {
    case 'C': return &s.valueC;
    case '1': return &s.value1;
    case '2': return &s.value2;
    case '4': return &s.value4;
    case '7': return &s.value7;
    case '8': return &s.value8;
    case 'F': return &s.valueF;
    default: return nullptr;
    }
}

void BuildConfigCommand(const PrinterSettings &s, unsigned char out[kConfigCommandBytes]) {
    PrinterSettings copy = s;
    out[0] = kRS;
    out[1] = 'A';
    out[2] = 'C';
    out[3] = 'E';
    out[4] = 7;
    for (int i = 0; i < 7; ++i) {
        out[5 + 2 * i] = static_cast<unsigned char>(kKeys[i]);
        out[6 + 2 * i] = static_cast<unsigned char>(*SettingByKey(copy, kKeys[i]) & 0xFF);
    }
    unsigned char check = 0xFF;
    for (size_t i = 0; i < kConfigCommandBytes - 1; ++i)
        check ^= out[i];
    out[kConfigCommandBytes - 1] = check;
}

bool ParseSettingsReply(const unsigned char *reply, size_t n, PrinterSettings *s) {
    if (!reply || !s || n < 3)
        return false;
    size_t pairs = reply[2];
    if (n - 3 < 2 * pairs)
        return false;
    for (size_t i = 0; i < pairs; ++i) {
        int *slot = SettingByKey(*s, static_cast<char>(reply[3 + 2 * i]));
        if (slot)
            *slot = static_cast<signed char>(reply[4 + 2 * i]);
    }
    return true;
}

const char *FirmwareText(const char *reply, size_t n) { return reply && n > 5 ? reply + 5 : nullptr; }
