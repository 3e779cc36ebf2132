// Printer replies to the configuration queries: any bytes, with the exact
// length the stream received. A reply that parses fills only the seven
// settings with byte values, and sets built from them go out with a checksum
// that covers every byte.
#include "store/printerconfig.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<unsigned char> reply(data, data + size); // exactly size bytes: reads past them are caught
    PrinterSettings s;
    if (ParseSettingsReply(reply.data(), reply.size(), &s)) {
        const int *v = &s.valueC;
        for (int i = 0; i < 7; ++i)
            if (v[i] < -128 || v[i] > 127)
                std::abort();
        unsigned char cmd[kConfigCommandBytes];
        BuildConfigCommand(s, cmd);
        unsigned char x = 0xFF;
        for (unsigned char b : cmd)
            x ^= b;
        if (x != 0)
            std::abort();
    }
    const char *text = FirmwareText(reinterpret_cast<const char *>(reply.data()), reply.size());
    if (text && (size <= 5 || text != reinterpret_cast<const char *>(reply.data()) + 5))
        std::abort();
    return 0;
}
