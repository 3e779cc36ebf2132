// Talking to the printer through the spooler: a query travels to the port
// software encoded in the name of a printer-data value and the answer comes
// back as the value's data; raw data goes out as a one-document job. The
// encoding and the rules for judging an answer are platform-free; the calls
// are the Win32 shell's.
#pragma once

#include "../foundation/compat.h"

#include <cstdarg>

class prtui;

// Value name that carries a query, and the separator between its fields.
constexpr WCHAR kQueryValueName[] = WSTR("MRLGetPrinterData");
constexpr LONG kQueryValueNameUnits = 17;
constexpr WCHAR kQuerySeparator = 0x00A6;
// Bytes of the request block before the command bytes: name, three separators,
// the length unit and the minimum-reply unit.
constexpr LONG kQueryHeaderBytes = (kQueryValueNameUnits + 5) * 2;
// Length and minimum-reply units that stand for 0, so that the name never ends early.
constexpr uint16_t kQueryNoLength = 0xFFFF;
constexpr uint16_t kQueryNoMinimum = 0xFFFF;
// The longest command the 16-bit length unit can carry.
constexpr unsigned kQueryMaxCommand = 0xFFFE;
// Minimum-reply unit of a query that wants no reply at all.
constexpr uint16_t kQueryNoReply = 0xFFFE;
// The status a parallel port always gives: it cannot answer.
constexpr DWORD kParallelPortStatus = 0xFFFF;

// Language string ids of the messages shown here.
enum : LONG {
    IDS_CAPTION_WARNING = 474,
    IDS_CAPTION_QUERY = 476,
    IDS_CAPTION_SEND = 477,
    IDS_SPL_OTHER = 1229,
    IDS_PORT_SETTING_BAD = 1233,
    IDS_SPL_BUSY = 1236,
    IDS_SPL_INVALID_PARAMETER = 1237,
    IDS_SPL_INVALID_LEVEL = 1238,
    IDS_SPL_PARALLEL_PORT = 1239,
    IDS_SPL_INVALID_HANDLE = 1240,
    IDS_ENQ_SERIAL_OK = 1261,
    IDS_ENQ_SERIAL_OK_HEAD = 1262,
    IDS_ENQ_NO_ANSWER = 1263,
    IDS_ENQ_CAPTION = 1264,
};

// Size in bytes of the request block for a command of cmd_len bytes; 0 when
// the command is too long to encode.
LONG QueryRequestBytes(unsigned cmd_len);
// Writes the request into block (zeroed first). Returns the bytes used, or 0
// when the command is too long, block_bytes is smaller than
// QueryRequestBytes(cmd_len) or cmd is null while cmd_len is not 0.
LONG BuildQueryRequest(const char *cmd, unsigned cmd_len, unsigned reply_size, unsigned min_reply, WCHAR *block,
                       LONG block_bytes);

// A request as the port software reads it back.
struct QueryRequest {
    unsigned cmd_len;
    unsigned min_reply; // 0 also when the request wants no reply
    bool wants_reply;
    const unsigned char *cmd; // cmd_len bytes inside the request
};
// Parses avail_bytes of a request name; false when it is not a well-formed
// request or its command runs past avail_bytes.
bool ParseQueryRequest(const WCHAR *name, LONG avail_bytes, QueryRequest *out);

// The status of a query after the port rules: a parallel port never answers;
// an empty command counts as answered whatever the call returned.
DWORD QueryStatus(DWORD call_status, int port_type, unsigned cmd_len);
// Whether the answer counts: status 0 with enough bytes, or more data than fitted.
bool QuerySucceeded(DWORD status, DWORD needed, unsigned min_reply);
unsigned short QueryReplyLength(DWORD needed, unsigned reply_size);

// 2 "LPT", 1 "COM", 3 "FIL", 4 two backslashes, else 0 (case-sensitive prefix).
int GetPortType(const WCHAR *port);

// Message box texts for a spooler error code, and captions by context.
LONG ErrorTextId(DWORD code);
LONG ErrorCaptionId(DWORD context);

#ifdef _WIN32
// Sends cmd to the printer and reads its answer into reply; nonzero on
// success, with *reply_len the bytes of the answer that fitted.
int VXGetPrinterData(HWND wnd, HANDLE printer, prtui *ui, const char *cmd, unsigned cmd_len, char *reply,
                     unsigned reply_size, unsigned min_reply, unsigned short *reply_len);
// The same for the printer of a UI object.
template <class UI>
int VXGetPrinterData(HWND wnd, UI *ui, const char *cmd, unsigned cmd_len, char *reply, unsigned reply_size,
                     unsigned min_reply, unsigned short *reply_len) {
    return VXGetPrinterData(wnd, ui ? ui->get_printer() : nullptr, ui, cmd, cmd_len, reply, reply_size, min_reply,
                            reply_len);
}
// Sends data as one raw job; nonzero on success.
int VXWritePrinterData(HWND wnd, void *printer, const char *data, unsigned len, prtui *ui);
// Warning box for a spooler error code.
void VXDisplayErrorMessage(HWND wnd, unsigned long code, unsigned long context, prtui *ui);
// wvsprintfW into one process-wide buffer, then a message box; UI thread only.
int VXMessageBox(HWND wnd, const WCHAR *format, const WCHAR *caption, unsigned type, ...);
int vVXMessageBox(HWND wnd, const WCHAR *format, const WCHAR *caption, unsigned type, va_list args);
// Deletes every value value_name of every subkey named subkey_name below key.
void VXFindAndDeleteRegValue(HKEY key, const WCHAR *subkey_name, const WCHAR *value_name);
void VXDeleteMRLDrvValueFromRegistry(WCHAR *server, const WCHAR *value_name);
// The stored setting (e.g. "9600,n,8,1") of a serial port, or null; free with MEMFREE.
WCHAR *GetCurrentPortSettingFromRegistry(const WCHAR *port);
// Items of the queue's PRINTER_INFO_2, newly allocated (free with MEMFREE).
enum : unsigned short { PII_SERVER = 1, PII_PORT = 2, PII_PRINTER = 3, PII_DEVMODE = 4 };
WCHAR *GetPrinterInfoItem(void *printer, unsigned short item);
#endif
