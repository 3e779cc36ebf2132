#include "printerquery.h"

#include "../foundation/ostring.h"
#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "../platform/globals.h"
#include "../platform/regkey.h"
#include "../platform/seam.h"
#include "prtreg.h"

#include <winspool.h>

#include <vector>

namespace {

WCHAR g_message[1024];

const WCHAR *lang(prtui *ui, LONG id) { return platform::windows().lang_string(ui, id); }

// Callers free the copies with MEMFREE.
WCHAR *wide_copy(const WCHAR *s) {
    if (!s)
        return nullptr;
    int32_t bytes = (mrl::__wcslen(s) + 1) * static_cast<int32_t>(sizeof(WCHAR));
    auto *copy = static_cast<WCHAR *>(MEMALLOC(static_cast<size_t>(bytes)));
    if (copy)
        mrl::__memcpy(copy, s, bytes);
    return copy;
}

// "<ENQ>" as a whole command, without reading past cmd_len.
bool is_enq(const char *cmd, unsigned cmd_len) {
    static const char kEnq[] = "<ENQ>";
    if (!cmd || cmd_len < 5)
        return false;
    for (int i = 0; i < 5; ++i)
        if (cmd[i] != kEnq[i])
            return false;
    return cmd_len == 5 || cmd[5] == 0;
}

// No answer to an enquiry: on a serial port the usual cause is a port setting
// that Windows cannot use; on any other port the printer did not answer.
void report_enq_failure(HWND wnd, prtui *ui, const WCHAR *port) {
    const WCHAR *port_name = port ? port : WSTR("");
    if (GetPortType(port_name) != 1) {
        OString format(lang(ui, IDS_ENQ_NO_ANSWER));
        OString caption(lang(ui, IDS_ENQ_CAPTION));
        VXMessageBox(wnd, format.wstring(), caption.wstring(), MB_ICONINFORMATION, port_name);
        return;
    }
    OString device(port_name);
    if (MemBlock<WCHAR> setting{GetCurrentPortSettingFromRegistry(port_name)})
        device += setting.get();
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    if (!BuildCommDCBW(device.wstring(), &dcb)) {
        OString text(lang(ui, IDS_PORT_SETTING_BAD));
        OString caption(lang(ui, IDS_CAPTION_WARNING));
        platform::windows().MessageBoxW(wnd, text.wstring(), caption.wstring(), MB_ICONWARNING);
    }
}

// Stops at the first failure other than the end of an enumeration.
bool find_and_delete(HKEY key, const WCHAR *subkey_name, const WCHAR *value_name) {
    // Key names are sized by the key itself: Wine stores driver names longer
    // than the documented 255 characters, and one must not end the walk.
    DWORD longest = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<WCHAR> buffer(size_t(longest) + 1);
    WCHAR *name = buffer.data();
    for (DWORD i = 0;; ++i) {
        DWORD n = DWORD(buffer.size());
        LONG rc = RegEnumKeyExW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            return true;
        if (rc != ERROR_SUCCESS)
            return false;
        RegKey sub;
        if (RegOpenKeyExW(key, name, 0, KEY_ALL_ACCESS, sub.out()) != ERROR_SUCCESS)
            return false;
        bool go_on = true;
        if (lstrcmpiW(name, subkey_name) == 0) {
            // Deleting shifts the later values down: stay on the same index then.
            static WCHAR value[16384];
            for (DWORD v = 0;;) {
                DWORD vn = 16384;
                if (RegEnumValueW(sub.get(), v, value, &vn, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                    break;
                if (lstrcmpiW(value, value_name) == 0 && RegDeleteValueW(sub.get(), value) == ERROR_SUCCESS)
                    RegFlushKey(sub.get());
                else
                    ++v;
            }
        } else {
            go_on = find_and_delete(sub.get(), subkey_name, value_name);
        }
        if (!go_on)
            return false;
    }
}

} // namespace

int VXGetPrinterData(HWND wnd, HANDLE printer, prtui *ui, const char *cmd, unsigned cmd_len, char *reply,
                     unsigned reply_size, unsigned min_reply, unsigned short *reply_len) {
    LONG bytes = QueryRequestBytes(cmd_len);
    auto name = MemBlock<WCHAR>::alloc(bytes > 0 ? static_cast<size_t>(bytes) : 0);
    if (!bytes || !name || !BuildQueryRequest(cmd, cmd_len, reply_size, min_reply, name.get(), bytes))
        return 0;
    DWORD buffer_size = reply_size == 0 ? 1 : (reply_size > 0xFFFF ? 0xFFFF : reply_size);
    if (reply)
        mrl::__memset(reply, 0, buffer_size < 4 ? static_cast<int32_t>(buffer_size) : 4);
    MemBlock<WCHAR> server{GetPrinterInfoItem(printer, PII_SERVER)};
    MemBlock<WCHAR> port;
    DWORD status;
    bool ok;
    {
        // The query and the clean-up after it run under the lock; the messages
        // below do not, so that a box left open blocks no other printer access.
        LockGuard hold(gPrinterSemaphore);
        DWORD needed = 0;
        status = platform::spooler().GetPrinterDataW(printer, name.get(), nullptr, reinterpret_cast<LPBYTE>(reply),
                                                  buffer_size, &needed);
        port.reset(GetPrinterInfoItem(printer, PII_PORT));
        status = QueryStatus(status, GetPortType(port.get()), cmd_len);
        ok = QuerySucceeded(status, needed, min_reply);
        if (ok && reply_len)
            *reply_len = QueryReplyLength(needed, reply_size);
        VXDeleteMRLDrvValueFromRegistry(server.get(), kQueryValueName);
    }
    if (!ok) {
        if (is_enq(cmd, cmd_len))
            report_enq_failure(wnd, ui, port.get());
        else
            VXDisplayErrorMessage(wnd, status, IDS_CAPTION_QUERY, ui);
    }
    return ok ? 1 : 0;
}

int VXWritePrinterData(HWND wnd, void *printer, const char *data, unsigned len, prtui *ui) {
    DOC_INFO_1W doc = {nullptr, nullptr, const_cast<LPWSTR>(WSTR("RAW"))};
    bool ok = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc)) != 0;
    DWORD error = ok ? 0 : GetLastError();
    if (ok && len && data) {
        DWORD written = 0;
        if (!WritePrinter(printer, const_cast<char *>(data), len, &written) || written < len) {
            ok = false;
            error = GetLastError();
        }
    }
    EndDocPrinter(printer);
    if (!ok)
        VXDisplayErrorMessage(wnd, error, IDS_CAPTION_SEND, ui);
    return ok ? 1 : 0;
}

void VXDisplayErrorMessage(HWND wnd, unsigned long code, unsigned long context, prtui *ui) {
    OString text(lang(ui, ErrorTextId(code)));
    OString caption(lang(ui, ErrorCaptionId(context)));
    platform::windows().MessageBoxW(wnd, text.wstring(), caption.wstring(), MB_ICONWARNING);
}

int vVXMessageBox(HWND wnd, const WCHAR *format, const WCHAR *caption, unsigned type, va_list args) {
    g_message[0] = 0;
    if (format)
        wvsprintfW(g_message, format, args);
    return platform::windows().MessageBoxW(wnd, g_message, caption, type);
}

int VXMessageBox(HWND wnd, const WCHAR *format, const WCHAR *caption, unsigned type, ...) {
    va_list args;
    va_start(args, type);
    int rc = vVXMessageBox(wnd, format, caption, type, args);
    va_end(args);
    return rc;
}

void VXFindAndDeleteRegValue(HKEY key, const WCHAR *subkey_name, const WCHAR *value_name) {
    if (key && subkey_name && value_name)
        find_and_delete(key, subkey_name, value_name);
}

void VXDeleteMRLDrvValueFromRegistry(WCHAR *server, const WCHAR *value_name) {
    RegKey machine, print;
    if (RegConnectRegistryW(server, HKEY_LOCAL_MACHINE, machine.out()) == ERROR_SUCCESS &&
        RegOpenKeyExW(machine.get(), SPOOLER_KEY, 0, KEY_ALL_ACCESS, print.out()) == ERROR_SUCCESS)
        VXFindAndDeleteRegValue(print.get(), WSTR("PrinterDriverData"), value_name);
}

WCHAR *GetCurrentPortSettingFromRegistry(const WCHAR *port) {
    RegKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, PORTS_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(),
                        &disposition) != ERROR_SUCCESS)
        return nullptr;
    MemBlock<WCHAR> setting;
    DWORD size = 0;
    // A port setting is a short text; anything far larger is not one.
    if (port && disposition == REG_OPENED_EXISTING_KEY &&
        RegQueryValueExW(key.get(), port, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size <= 4096) {
        // Two zero units more than the data: stored text need not end in NUL.
        setting.reset(MEMALLOC(size + 2 * sizeof(WCHAR)));
        if (setting && RegQueryValueExW(key.get(), port, nullptr, nullptr, reinterpret_cast<LPBYTE>(setting.get()),
                                        &size) != ERROR_SUCCESS)
            setting.reset();
    }
    return setting.release();
}

WCHAR *GetPrinterInfoItem(void *printer, unsigned short item) {
    MemBlock<PRINTER_INFO_2W> info{MyGetPrinter(printer, 2)};
    if (!info) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    WCHAR *result = nullptr;
    switch (item) {
    case PII_SERVER:
        result = wide_copy(info->pServerName);
        break;
    case PII_PORT:
        result = wide_copy(info->pPortName);
        break;
    case PII_PRINTER:
        result = wide_copy(info->pPrinterName);
        break;
    case PII_DEVMODE:
        if (DEVMODEW *dm = info->pDevMode) {
            // 220 bytes are asked for; an older, shorter record gives what it has.
            LONG have = static_cast<LONG>(dm->dmSize) + dm->dmDriverExtra;
            result = static_cast<WCHAR *>(MEMALLOC(sizeof(DEVMODEW)));
            if (result)
                mrl::__memcpy(result, dm, have < static_cast<LONG>(sizeof(DEVMODEW)) ? have : sizeof(DEVMODEW));
        }
        break;
    default:
        break;
    }
    return result;
}
