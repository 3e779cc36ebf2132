// The one way the pages talk to the printer: bytes gathered into a buffer and
// sent in packets, inside a print job as raw-data escapes or, without a job,
// as one raw spooler document per packet; queries through the printer-data
// channel; whether the port is serial.
#pragma once

#include "../foundation/olist.h"
#include "../foundation/ostring.h"
#include "../store/printerconfig.h"

class prtui;
class prtlocale;

// What a stream or job needs of its printer; a UI object hands it over
// (prtstream::init(prtui*) joins the two in the page framework).
struct PrinterTarget {
    HANDLE printer = nullptr;
    const WCHAR *printer_name = nullptr;
    const WCHAR *port_name = nullptr;
    const DEVMODEW *devmode = nullptr;
    prtlocale *locale = nullptr; // texts of the stream's messages; null: the module's
    long dpi = 0;
};

// Escape codes the rendering module receives.
enum : int {
    kEscRawData = 11026,
    kEscLine = 11010,
    kEscFontHeader = 12011,
    kEscFontData = 12012,
    kEscBitmapChar = 12013,
};

// One GDI print job on the printer. Escapes the context's own renderer refuses
// go to the package's stand-in renderer (platform::renderer()), which then
// owns the job's output: the GDI document is abandoned, not delivered.
class prtspool {
public:
    explicit prtspool(const PrinterTarget &target);
    ~prtspool();
    prtspool(const prtspool &) = delete;
    prtspool &operator=(const prtspool &) = delete;

    bool StartDocW(const WCHAR *name);
    bool StartPage();
    bool EndPage();
    // false also when an escape was refused or the stand-in could not deliver.
    bool EndDoc();
    unsigned long Escape(int code, int in_size, const void *in, int out_size, void *out);
    HDC GetDC() const { return dc_; }
    bool WriteDirect(const unsigned char *data, unsigned short n);
    bool GetPrintableArea(POINT *pt);

private:
    HDC dc_ = nullptr;
    OString printer_;
    OString module_;   // the driver's renderer module
    OString document_;
    int own_ = -1;     // the context takes our escapes: -1 not asked yet
    void *standin_ = nullptr;
    bool ended_ = false;
    bool failed_ = false;
};

class prtstream : public OList {
public:
    enum : long { kCapacity = 8192, kPacket = 32000 };

    prtstream();
    ~prtstream() override;
    prtstream(const prtstream &) = delete;
    prtstream &operator=(const prtstream &) = delete;

    void init();
    void init(prtui *ui); // defined by the page framework
    void init(prtui *ui, const PrinterTarget &target);
    void kill();
    void set_timeout(short a, short b, short c, short d);

    prtstream &write(const char *data, long n);
    prtstream &write(const unsigned char *data, long n) { return write(reinterpret_cast<const char *>(data), n); }
    prtstream &operator<<(const char *text);
    void flush();
    void clear();
    void write_direct(const char *data, long n);
    virtual void write_packet(const char *data, int n);
    // false when the file cannot be opened or read to its end (what was read is sent).
    bool write_file(const char *path);
    bool write_file(const WCHAR *path);
    long inquire(const char *command, long n);
    const char *reply() const { return reply_; }
    bool is_serial(bool complain);

    bool StartJob(const WCHAR *name);
    // false when no job was open or the job did not reach the printer whole.
    bool EndJob();
    unsigned long Escape(int code, int in_size, const void *in, int out_size, void *out);
    HDC GetDC() const;
    long GetPageHeight() const;
    long GetDPI() const;

    bool DownloadFont(const void *info208);
    bool DownloadFontData(const unsigned char *data, unsigned long n);
    bool DownloadBitmapData(const void *record);

    bool job_open() const { return job_ != nullptr; }
    const OString &printer_name() const { return printer_name_; }
    unsigned short timeout(int i) const { return timeouts_[i & 3]; }

protected:
    OString port_name_;
    OString printer_name_;
    long count_ = 0;
    long capacity_ = kCapacity;
    char *buffer_ = nullptr;
    char *reply_ = nullptr;
    prtui *ui_ = nullptr;
    HANDLE printer_ = nullptr;
    PrinterTarget target_;
    unsigned short timeouts_[4] = {10, 10, 0, 20};
    prtspool *job_ = nullptr;
};

class extstream : public prtstream {
public:
    ~extstream() override = default;
    // The NUL-terminated answer to command, or null when none came.
    char *inquire_line(const char *command);
};

// The debug page's feeds: one line feed in a "LineFeed" job; a form feed is a
// "FormFeed" job of as many line feeds (a sixth of an inch each) as the page
// is high, then the line feed job. Both answer the line feeds sent.
long LineFeed(prtstream &st);
long FormFeed(prtstream &st);

// The printer's own configuration as it answered the two queries.
struct PrinterConfigReply {
    OString firmware;           // empty when no answer came
    PrinterSettings settings;   // zero unless a settings reply came
    long settings_bytes = 0;    // length of the answer to the settings query (0: none)
    bool settings_read = false; // that answer was a settings reply
};
// Asks the printer for its firmware text and its settings.
void ReadPrinterConfig(extstream &st, PrinterConfigReply &out);
// Sends the set-configuration command as one "Configure" job; false when the
// job did not reach the printer whole.
bool SendPrinterConfig(prtstream &st, const PrinterSettings &settings);

// Prints the driver's test page: two frames and the word TEST in bars, as line
// escapes when the model has a line command, else as black GDI rectangles.
void PrintTestPage(const PrinterTarget &target, long printer_dpi, bool line_commands);
// One bar of the test page in thousandths of an inch, as the 24-byte line record.
void TestPageLine(long x1, long y1, long x2, long y2, long dpi, unsigned char record[24]);
// Prints the test page of a UI object's printer (the page framework's).
void PrtTest(prtui *ui, long unused);
