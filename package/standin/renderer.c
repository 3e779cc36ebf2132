/* Stand-in for a package's rendering module. The user-interface module finds
   the package prefix in its file name; and when a job's device context refuses
   the driver's escapes (under Wine every printer context is the PostScript
   driver's), the stream hands them here: raw data goes into the job's output
   unchanged, line and font records become commands of the sample printer
   language named by this module's prefix (docs/printer-languages.md). The job
   reaches the printer as one raw spooler document. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

enum { ESC_LINE = 11010, ESC_RAW = 11026, ESC_FONT = 12011, ESC_FONT_DATA = 12012, ESC_BITMAP_CHAR = 12013 };
enum { ESC_SET_REGISTRATION = 12021, ESC_REGISTRATION_TEST = 12022, ESC_ALIGNMENT_PATTERN = 12023 };

/* One language: printf formats of the box (left, top, width, height; or the
   two corners when corners is set), the
   font header (command, characters, height, orientation, size, widest,
   average width, ascent, printer name), the font data and bitmap character
   heads (their byte counts last; the bytes follow unchanged); the colour
   commands: plane colour (plane, RRGGBB), registration (head count, four
   horizontal, four vertical offsets), registration test (head count) and
   alignment pattern (head, reference head, x range, y range). */
typedef struct {
    const char *prefix;
    const char *box;
    const char *font;
    const char *font_data;
    const char *bitmap_char;
    int corners;
    const char *plane;
    const char *registration;
    const char *registration_test;
    const char *alignment;
} Language;

static const Language kLanguages[] = {
    {"zpl", "^BX%ld,%ld,%ld,%ld\n", "^FH%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%s\n", "^FD%lu\n",
     "^FC%u,%u,%u,%u,%u,%lu\n", 0, "^CP%d,%06lX\n", "^CR%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld\n", "^CT%u\n",
     "^CA%u,%u,%ld,%ld,%ld,%ld\n"},
    {"ipl", "\033B%ld;%ld;%ld;%ld\r\n", "\033F%ld;%ld;%ld;%ld;%ld;%ld;%ld;%ld;%s\r\n", "\033D%lu\r\n",
     "\033C%u;%u;%u;%u;%u;%lu\r\n", 0, "\033P%d;%06lX\r\n", "\033R%ld;%ld;%ld;%ld;%ld;%ld;%ld;%ld;%ld\r\n",
     "\033T%u\r\n", "\033A%u;%u;%ld;%ld;%ld;%ld\r\n"},
    {"tec", "{XB;%ld,%ld,%ld,%ld|}\n", "{FH;%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%s|}\n", "{FD;%lu|}",
     "{FC;%u,%u,%u,%u,%u,%lu|}", 1, "{CP;%d,%06lX|}\n", "{CR;%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld|}\n", "{CT;%u|}\n",
     "{CA;%u,%u,%ld,%ld,%ld,%ld|}\n"},
};

typedef struct {
    HANDLE printer;
    const Language *lang;
    BOOL ok;
} Job;

static HINSTANCE g_instance;

static unsigned u16(const unsigned char *p) { return (unsigned)(p[0] | p[1] << 8); }
static long i32(const unsigned char *p) { return (long)(int)(p[0] | p[1] << 8 | p[2] << 16 | (unsigned)p[3] << 24); }

/* The language of this module: the three letters before "32k" in its name. */
static const Language *language(void) {
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(g_instance, path, MAX_PATH);
    const WCHAR *name = path + n;
    while (name > path && name[-1] != '\\' && name[-1] != '/')
        --name;
    for (size_t i = 0; i < sizeof kLanguages / sizeof kLanguages[0]; ++i) {
        const char *p = kLanguages[i].prefix;
        if ((name[0] | 0x20) == p[0] && (name[1] | 0x20) == p[1] && (name[2] | 0x20) == p[2])
            return &kLanguages[i];
    }
    return &kLanguages[0];
}

static BOOL put(Job *job, const void *data, DWORD n) {
    DWORD written = 0;
    if (!n)
        return TRUE;
    if (!WritePrinter(job->printer, (LPVOID)data, n, &written) || written != n)
        job->ok = FALSE;
    return job->ok;
}

static BOOL put_text(Job *job, int n, const char *text) {
    return n > 0 && n < 512 ? put(job, text, (DWORD)n) : FALSE;
}

/* The colour of every plane in use, from the driver's colour settings of the
   printer (the 76-byte "Spot Color" record), as RRGGBB: the printer draws its
   colour patterns in them. Without the record the printer keeps its own. */
static BOOL put_planes(Job *job) {
    unsigned char rec[76];
    DWORD type = 0, needed = 0;
    char text[64];
    if (GetPrinterDataW(job->printer, (LPWSTR)L"Spot Color", &type, rec, sizeof rec, &needed) != ERROR_SUCCESS ||
        needed != sizeof rec)
        return TRUE;
    for (int p = 0; p < 4; ++p) {
        unsigned long bgr = (unsigned long)i32(rec + 12 + 16 * p) & 0xFFFFFF;
        unsigned long rgb = (bgr & 0xFF) << 16 | (bgr & 0xFF00) | bgr >> 16;
        if ((i32(rec + 8 + 16 * p) & 1) && !put_text(job, snprintf(text, sizeof text, job->lang->plane, p, rgb), text))
            return FALSE;
    }
    return TRUE;
}

__declspec(dllexport) void *WINAPI StandinStartDoc(const WCHAR *printer, const WCHAR *document) {
    Job *job = (Job *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Job));
    DOC_INFO_1W doc = {(LPWSTR)(document && *document ? document : L"Document"), NULL, (LPWSTR)L"RAW"};
    if (!job)
        return NULL;
    job->lang = language();
    job->ok = TRUE;
    if (!OpenPrinterW((LPWSTR)printer, &job->printer, NULL)) {
        HeapFree(GetProcessHeap(), 0, job);
        return NULL;
    }
    if (!StartDocPrinterW(job->printer, 1, (LPBYTE)&doc)) {
        ClosePrinter(job->printer);
        HeapFree(GetProcessHeap(), 0, job);
        return NULL;
    }
    return job;
}

__declspec(dllexport) BOOL WINAPI StandinEscape(void *handle, int code, int size, const void *in) {
    Job *job = (Job *)handle;
    const unsigned char *p = (const unsigned char *)in;
    char text[512];
    if (!job || size < 0 || (size && !p))
        return FALSE;
    switch (code) {
    case ESC_RAW:
    case ESC_FONT_DATA: {
        unsigned n = size >= 2 ? u16(p) : 0;
        if (size < 2 || (unsigned)size - 2 < n)
            return FALSE;
        if (code == ESC_FONT_DATA &&
            !put_text(job, snprintf(text, sizeof text, job->lang->font_data, (unsigned long)n), text))
            return FALSE;
        return put(job, p + 2, n);
    }
    case ESC_LINE: {
        long x, y, len, thick;
        if (size < 24 || u16(p) < 24)
            return FALSE;
        x = u16(p + 2), y = u16(p + 4), len = u16(p + 6), thick = u16(p + 8);
        /* The start lies on the middle of the line's thickness. */
        long left = u16(p + 12) == 0 ? x : x - thick / 2, top = u16(p + 12) == 0 ? y - thick / 2 : y;
        long w = u16(p + 12) == 0 ? len : thick, h = u16(p + 12) == 0 ? thick : len;
        if (job->lang->corners)
            w += left, h += top;
        return put_text(job, snprintf(text, sizeof text, job->lang->box, left, top, w, h), text);
    }
    case ESC_FONT: {
        char name[65];
        if (size < 208)
            return FALSE;
        memcpy(name, p + 96, 64);
        name[64] = 0;
        for (char *c = name; *c; ++c)
            if ((unsigned char)*c < 0x20 || *c == ',' || *c == ';' || *c == '|')
                *c = '_';
        return put_text(job,
                        snprintf(text, sizeof text, job->lang->font, i32(p + 176), i32(p + 180), i32(p + 184),
                                 i32(p + 188), i32(p + 192), i32(p + 196), i32(p + 200), i32(p + 204), name),
                        text);
    }
    case ESC_BITMAP_CHAR: {
        unsigned long n;
        if (size < 16)
            return FALSE;
        n = (unsigned long)i32(p + 12);
        if ((unsigned long)size - 16 < n)
            return FALSE;
        if (!put_text(job,
                      snprintf(text, sizeof text, job->lang->bitmap_char, u16(p), u16(p + 2), u16(p + 4), u16(p + 6),
                               u16(p + 8), n),
                      text))
            return FALSE;
        return put(job, p + 16, (DWORD)n);
    }
    case ESC_SET_REGISTRATION:
        if (size < 36)
            return FALSE;
        return put_text(job,
                        snprintf(text, sizeof text, job->lang->registration, i32(p), i32(p + 4), i32(p + 8),
                                 i32(p + 12), i32(p + 16), i32(p + 20), i32(p + 24), i32(p + 28), i32(p + 32)),
                        text);
    case ESC_REGISTRATION_TEST:
        if (size < 4 || !put_planes(job))
            return FALSE;
        return put_text(job, snprintf(text, sizeof text, job->lang->registration_test, u16(p)), text);
    case ESC_ALIGNMENT_PATTERN:
        if (size < 20 || !put_planes(job))
            return FALSE;
        return put_text(job,
                        snprintf(text, sizeof text, job->lang->alignment, u16(p), u16(p + 2), i32(p + 4), i32(p + 8),
                                 i32(p + 12), i32(p + 16)),
                        text);
    default:
        return FALSE;
    }
}

__declspec(dllexport) BOOL WINAPI StandinEndDoc(void *handle) {
    Job *job = (Job *)handle;
    BOOL ok;
    if (!job)
        return FALSE;
    ok = EndDocPrinter(job->printer) && job->ok;
    ClosePrinter(job->printer);
    HeapFree(GetProcessHeap(), 0, job);
    return ok;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        g_instance = instance;
    return TRUE;
}
