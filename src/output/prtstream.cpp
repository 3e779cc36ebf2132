#include "prtstream.h"

#include "../foundation/lebytes.h"
#include "../foundation/memory.h"
#include "../locale/prtlocale.h"
#include "../platform/globals.h"
#include "../platform/seam.h"
#include "../store/printerquery.h"

#include <cstring>
#include <new>

// ---- prtspool ---------------------------------------------------------------

prtspool::prtspool(const PrinterTarget &target) {
    if (!target.printer_name)
        return;
    printer_ = target.printer_name;
    dc_ = CreateDCW(WSTR("WINSPOOL"), printer_.wstring(), nullptr, target.devmode);
    if (dc_ && target.devmode && GetDeviceCaps(dc_, VERTRES) <= 0) {
        // A foreign printer driver (Wine's PostScript driver) knows no label
        // paper and makes a page without height: the label by its sizes alone.
        DEVMODEW pub = *target.devmode;
        pub.dmDriverExtra = 0;
        if (pub.dmFields & DM_PAPERLENGTH && pub.dmFields & DM_PAPERWIDTH)
            pub.dmFields &= ~DM_PAPERSIZE;
        DeleteDC(dc_);
        dc_ = CreateDCW(WSTR("WINSPOOL"), printer_.wstring(), nullptr, &pub);
    }
    if (auto *info = static_cast<DRIVER_INFO_2W *>(MyGetPrinterDriver(target.printer, 2))) {
        if (info->pDriverPath)
            module_ = info->pDriverPath;
        MEMFREE(info);
    }
}

prtspool::~prtspool() {
    if (!ended_ && standin_)
        EndDoc();
    if (dc_)
        DeleteDC(dc_);
}

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(DOCINFOW) == 20, "DOCINFOW as NT 4 knows it");
#endif

bool prtspool::StartDocW(const WCHAR *name) {
    if (!dc_)
        return false;
    document_ = name ? name : WSTR("");
    DOCINFOW doc = {};
    doc.cbSize = sizeof doc; // 20 bytes in a 32-bit module
    doc.lpszDocName = document_.wstring();
    failed_ |= ::StartDocW(dc_, &doc) <= 0;
    return true;
}

bool prtspool::StartPage() { return dc_ && (::StartPage(dc_), true); }
bool prtspool::EndPage() { return dc_ && (::EndPage(dc_), true); }

bool prtspool::EndDoc() {
    if (!dc_ || ended_)
        return false;
    ended_ = true;
    if (standin_) {
        // The stand-in delivers the job; the context's empty document is dropped.
        failed_ |= !platform::renderer().end(standin_);
        standin_ = nullptr;
        ::AbortDoc(dc_);
    } else if (failed_) {
        ::AbortDoc(dc_); // a job missing what was refused is not printed at all
    } else {
        failed_ |= ::EndDoc(dc_) <= 0;
    }
    return !failed_;
}

unsigned long prtspool::Escape(int code, int in_size, const void *in, int out_size, void *out) {
    if (!dc_)
        return 0;
    if (own_ < 0) {
        int query = code;
        own_ = ExtEscape(dc_, QUERYESCSUPPORT, sizeof query, reinterpret_cast<LPCSTR>(&query), 0, nullptr) > 0;
    }
    if (own_)
        return static_cast<unsigned long>(
            ExtEscape(dc_, code, in_size, static_cast<LPCSTR>(in), out_size, static_cast<LPSTR>(out)));
    if (!standin_ && !failed_)
        standin_ = platform::renderer().begin(module_.wstring(), printer_.wstring(), document_.wstring());
    unsigned long done = standin_ ? platform::renderer().escape(standin_, code, in_size, in) : 0;
    failed_ |= !done;
    return done;
}

bool prtspool::WriteDirect(const unsigned char *data, unsigned short n) {
    if (!dc_)
        return false;
    MemBlock<unsigned char> record(static_cast<unsigned char *>(MEMALLOC(n + 2u)));
    if (!record)
        return false;
    le::put16(record.get(), n);
    if (n)
        std::memcpy(record.get() + 2, data, n);
    Escape(kEscRawData, n + 2, record.get(), 0, nullptr);
    return true;
}

bool prtspool::GetPrintableArea(POINT *pt) {
    if (!dc_ || !pt)
        return false;
    pt->x = GetDeviceCaps(dc_, HORZRES);
    pt->y = GetDeviceCaps(dc_, VERTRES);
    return true;
}

// ---- prtstream --------------------------------------------------------------

prtstream::prtstream() { init(); }

prtstream::~prtstream() {
    kill();
    if (job_)
        EndJob();
}

void prtstream::init() {
    OList::init();
    count_ = 0;
    capacity_ = kCapacity;
    buffer_ = nullptr;
    reply_ = nullptr;
    ui_ = nullptr;
    printer_ = nullptr;
    set_timeout(10, 10, 0, 20);
    job_ = nullptr;
}

void prtstream::init(prtui *ui, const PrinterTarget &target) {
    init();
    ui_ = ui;
    target_ = target;
    port_name_ = target.port_name ? target.port_name : WSTR("");
    printer_name_ = target.printer_name ? target.printer_name : WSTR("");
    target_.printer_name = printer_name_.wstring();
    target_.port_name = port_name_.wstring();
    printer_ = target.printer;
}

void prtstream::kill() {
    flush();
    MEMFREE(buffer_);
    MEMFREE(reply_);
    buffer_ = reply_ = nullptr;
}

void prtstream::set_timeout(short a, short b, short c, short d) {
    timeouts_[0] = a;
    timeouts_[1] = b;
    timeouts_[2] = c;
    timeouts_[3] = d;
}

prtstream &prtstream::write(const char *data, long n) {
    if (n <= 0 || !data)
        return *this;
    if (count_ + n > capacity_)
        flush();
    if (n <= capacity_) {
        if (!buffer_)
            buffer_ = static_cast<char *>(MEMALLOC(capacity_));
        if (buffer_) {
            std::memcpy(buffer_ + count_, data, n);
            count_ += n;
            return *this;
        }
    }
    write_direct(data, n);
    return *this;
}

prtstream &prtstream::operator<<(const char *text) { return text ? write(text, long(std::strlen(text))) : *this; }

void prtstream::flush() {
    if (!buffer_)
        return;
    // Cleared before sending: a packet that reports a failure is never sent again.
    char *data = buffer_;
    long n = count_;
    buffer_ = nullptr;
    count_ = 0;
    if (n)
        write_direct(data, n);
    MEMFREE(data);
}

void prtstream::clear() {
    count_ = 0;
    MEMFREE(buffer_);
    buffer_ = nullptr;
}

void prtstream::write_direct(const char *data, long n) {
    while (n > kPacket) {
        write_packet(data, kPacket);
        data += kPacket;
        n -= kPacket;
    }
    write_packet(data, int(n));
}

void prtstream::write_packet(const char *data, int n) {
    if (n <= 0)
        return;
    if (job_)
        job_->WriteDirect(reinterpret_cast<const unsigned char *>(data), static_cast<unsigned short>(n));
    else
        VXWritePrinterData(nullptr, printer_, data, unsigned(n), ui_);
}

bool prtstream::write_file(const WCHAR *path) {
    HANDLE file = path ? CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                       : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool whole = false;
    if (char *block = static_cast<char *>(MEMALLOC(kPacket))) {
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file, block, kPacket, &got, nullptr))
                break;
            if (got == 0) {
                whole = true;
                break;
            }
            write_direct(block, long(got));
        }
        MEMFREE(block);
    }
    CloseHandle(file);
    return whole;
}

bool prtstream::write_file(const char *path) {
    OString wide(path ? path : "");
    return path && write_file(wide.wstring());
}

long prtstream::inquire(const char *command, long n) {
    if (!reply_)
        reply_ = static_cast<char *>(MEMALLOC(capacity_));
    if (!reply_ || !command)
        return 0;
    if (n < 0)
        n = long(std::strlen(command));
    unsigned short got = 0;
    // One byte stays free for the terminator, whatever the printer sends.
    if (!VXGetPrinterData(nullptr, printer_, ui_, command, unsigned(n), reply_, unsigned(capacity_ - 1), 0, &got))
        return 0;
    if (got > capacity_ - 1)
        got = static_cast<unsigned short>(capacity_ - 1);
    reply_[got] = 0;
    return got;
}

bool prtstream::is_serial(bool complain) {
    bool serial = false;
    if (auto *info = static_cast<PRINTER_INFO_2W *>(MyGetPrinter(printer_, 2))) {
        const WCHAR *p = info->pPortName;
        serial = p && (p[0] | 0x20) == 'c' && (p[1] | 0x20) == 'o' && (p[2] | 0x20) == 'm';
        MEMFREE(info);
    }
    if (!serial && complain) {
        OString text(target_.locale ? target_.locale->GetString(1235) : platform::windows().lang_string(ui_, 1235));
        platform::windows().MessageBoxW(nullptr, text.wstring(), printer_name_.wstring(), MB_ICONHAND);
    }
    return serial;
}

bool prtstream::StartJob(const WCHAR *name) {
    if (job_)
        EndJob();
    job_ = new (std::nothrow) prtspool(target_);
    if (!job_)
        return false;
    job_->StartDocW(name);
    job_->StartPage();
    job_->WriteDirect(nullptr, 0);
    return true;
}

bool prtstream::EndJob() {
    if (!job_)
        return false;
    flush();
    job_->EndPage();
    bool ok = job_->EndDoc();
    delete job_;
    job_ = nullptr;
    return ok;
}

unsigned long prtstream::Escape(int code, int in_size, const void *in, int out_size, void *out) {
    return job_ ? job_->Escape(code, in_size, in, out_size, out) : 0;
}

HDC prtstream::GetDC() const { return job_ ? job_->GetDC() : nullptr; }

long prtstream::GetPageHeight() const { return job_ && job_->GetDC() ? GetDeviceCaps(job_->GetDC(), VERTRES) : 0; }

long prtstream::GetDPI() const { return target_.dpi; }

bool prtstream::DownloadFont(const void *info208) {
    unsigned char record[208];
    if (!info208)
        return false;
    std::memcpy(record, info208, sizeof record);
    return Escape(kEscFontHeader, sizeof record, record, 0, nullptr) != 0;
}

bool prtstream::DownloadFontData(const unsigned char *data, unsigned long n) {
    if (n > 0xFFFF || (n && !data))
        return false;
    MemBlock<unsigned char> record(static_cast<unsigned char *>(MEMALLOC(n + 2)));
    if (!record)
        return false;
    le::put16(record.get(), static_cast<uint16_t>(n));
    if (n)
        std::memcpy(record.get() + 2, data, n);
    return Escape(kEscFontData, int(n + 2), record.get(), 0, nullptr) != 0;
}

bool prtstream::DownloadBitmapData(const void *rec) {
    if (!rec)
        return false;
    const auto *head = static_cast<const unsigned char *>(rec);
    uint32_t n = le::u32(head + 12);
    if (n > 0x100000)
        return false;
    MemBlock<unsigned char> record(static_cast<unsigned char *>(MEMALLOC(16 + n)));
    if (!record)
        return false;
    std::memcpy(record.get(), head, 16 + n);
    return Escape(kEscBitmapChar, int(16 + n), record.get(), 0, nullptr) != 0;
}

char *extstream::inquire_line(const char *command) {
    return inquire(command, -1) > 0 ? reply_ : nullptr;
}

void ReadPrinterConfig(extstream &st, PrinterConfigReply &out) {
    // Both answers land in the stream's reply buffer: the first is copied out.
    long n = st.inquire(kQueryFirmware, -1);
    const char *text = FirmwareText(st.reply(), n > 0 ? size_t(n) : 0);
    out.firmware = text ? text : "";
    out.settings = PrinterSettings();
    out.settings_bytes = st.inquire(kQuerySettings, -1);
    out.settings_read = out.settings_bytes > 0 &&
                        ParseSettingsReply(reinterpret_cast<const unsigned char *>(st.reply()),
                                           size_t(out.settings_bytes), &out.settings);
}

bool SendPrinterConfig(prtstream &st, const PrinterSettings &settings) {
    unsigned char cmd[kConfigCommandBytes];
    BuildConfigCommand(settings, cmd);
    st.StartJob(WSTR("Configure"));
    st.write(cmd, sizeof cmd);
    return st.EndJob();
}

long LineFeed(prtstream &st) {
    st.StartJob(WSTR("LineFeed"));
    st << "\n";
    st.EndJob();
    return 1;
}

long FormFeed(prtstream &st) {
    st.StartJob(WSTR("FormFeed"));
    long step = st.GetDPI() / 6;
    long count = step > 0 ? (st.GetPageHeight() + step - 1) / step : 0;
    for (long i = 0; i < count; ++i)
        st << "\n";
    st.EndJob();
    return count + LineFeed(st);
}
