#include "printerquery.h"

#include "../foundation/util.h"

LONG QueryRequestBytes(unsigned cmd_len) {
    if (cmd_len > kQueryMaxCommand)
        return 0;
    // Command bytes padded to whole units, then at least one zero unit.
    return static_cast<LONG>(((cmd_len + 1) & ~1u) + 48);
}

LONG BuildQueryRequest(const char *cmd, unsigned cmd_len, unsigned reply_size, unsigned min_reply, WCHAR *block,
                       LONG block_bytes) {
    LONG bytes = QueryRequestBytes(cmd_len);
    if (!bytes || !block || block_bytes < bytes || (cmd_len && !cmd))
        return 0;
    mrl::__memset(block, 0, bytes);
    WCHAR *p = block;
    for (LONG i = 0; i < kQueryValueNameUnits; ++i)
        *p++ = kQueryValueName[i];
    *p++ = kQuerySeparator;
    *p++ = cmd_len ? static_cast<WCHAR>(cmd_len & 0xFFFF) : kQueryNoLength;
    *p++ = kQuerySeparator;
    if (reply_size == 0)
        *p++ = kQueryNoReply;
    else
        *p++ = min_reply ? static_cast<WCHAR>(min_reply & 0xFFFF) : kQueryNoMinimum;
    *p++ = kQuerySeparator;
    mrl::__memcpy(p, cmd, static_cast<int32_t>(cmd_len));
    return bytes;
}

bool ParseQueryRequest(const WCHAR *name, LONG avail_bytes, QueryRequest *out) {
    if (!name || !out || avail_bytes < kQueryHeaderBytes)
        return false;
    for (LONG i = 0; i < kQueryValueNameUnits; ++i)
        if (name[i] != kQueryValueName[i])
            return false;
    const WCHAR *p = name + kQueryValueNameUnits;
    if (p[0] != kQuerySeparator || p[2] != kQuerySeparator || p[4] != kQuerySeparator)
        return false;
    uint16_t len = static_cast<uint16_t>(p[1]);
    uint16_t min = static_cast<uint16_t>(p[3]);
    out->cmd_len = len == kQueryNoLength ? 0 : len;
    out->wants_reply = min != kQueryNoReply;
    out->min_reply = (min == kQueryNoMinimum || min == kQueryNoReply) ? 0 : min;
    out->cmd = reinterpret_cast<const unsigned char *>(p + 5);
    return static_cast<int64_t>(kQueryHeaderBytes) + out->cmd_len <= avail_bytes;
}

DWORD QueryStatus(DWORD call_status, int port_type, unsigned cmd_len) {
    if (port_type == 2)
        return kParallelPortStatus;
    if (cmd_len == 0)
        return 0;
    return call_status;
}

bool QuerySucceeded(DWORD status, DWORD needed, unsigned min_reply) {
    return (status == 0 && needed >= min_reply) || status == ERROR_MORE_DATA;
}

unsigned short QueryReplyLength(DWORD needed, unsigned reply_size) {
    DWORD n = needed < reply_size ? needed : reply_size;
    return static_cast<unsigned short>(n > 0xFFFF ? 0xFFFF : n);
}

int GetPortType(const WCHAR *port) {
    if (!port)
        return 0;
    auto starts = [port](const char *prefix) {
        for (int i = 0; prefix[i]; ++i)
            if (port[i] != static_cast<WCHAR>(prefix[i]))
                return false;
        return true;
    };
    if (starts("LPT"))
        return 2;
    if (starts("COM"))
        return 1;
    if (starts("FIL"))
        return 3;
    if (starts("\\\\"))
        return 4;
    return 0;
}

LONG ErrorTextId(DWORD code) {
    switch (code) {
    case 124: // ERROR_INVALID_LEVEL
        return IDS_SPL_INVALID_LEVEL;
    case 6: // ERROR_INVALID_HANDLE
        return IDS_SPL_INVALID_HANDLE;
    case 87: // ERROR_INVALID_PARAMETER
        return IDS_SPL_INVALID_PARAMETER;
    case 170: // ERROR_BUSY
        return IDS_SPL_BUSY;
    case kParallelPortStatus:
        return IDS_SPL_PARALLEL_PORT;
    default:
        return IDS_SPL_OTHER;
    }
}

LONG ErrorCaptionId(DWORD context) {
    if (context == IDS_CAPTION_QUERY || context == IDS_CAPTION_SEND)
        return static_cast<LONG>(context);
    return IDS_CAPTION_WARNING;
}
