// One header instead of <windows.h> for the platform-free core.
// On Windows it is <windows.h>; on the host it defines the few types and
// records the core uses, with the Windows layouts.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#define WSTR(s) L##s
#else

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int BOOL;
typedef int16_t SHORT;
typedef char16_t WCHAR;
typedef char CHAR;
typedef void *HANDLE;
typedef void *LPVOID;
typedef void *HWND;
typedef void *HINSTANCE;
typedef DWORD LCID;
typedef unsigned int UINT;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;
typedef char *LPSTR;
typedef const char *LPCSTR;

#define WSTR(s) u##s
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#define CP_ACP 0
#define CCHDEVICENAME 32
#define CCHFORMNAME 32

#define DM_ORIENTATION 0x00000001L
#define DM_PAPERSIZE 0x00000002L
#define DM_PAPERLENGTH 0x00000004L
#define DM_PAPERWIDTH 0x00000008L
#define DM_SCALE 0x00000010L
#define DM_COPIES 0x00000100L
#define DM_DEFAULTSOURCE 0x00000200L
#define DM_PRINTQUALITY 0x00000400L
#define DM_COLOR 0x00000800L
#define DM_DUPLEX 0x00001000L
#define DM_YRESOLUTION 0x00002000L
#define DM_TTOPTION 0x00004000L
#define DM_COLLATE 0x00008000L
#define DM_FORMNAME 0x00010000L
#define DMPAPER_USER 256

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_MORE_DATA 234L

typedef struct _POINTL {
    LONG x;
    LONG y;
} POINTL;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct _devicemodeW {
    WCHAR dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    union {
        struct {
            SHORT dmOrientation;
            SHORT dmPaperSize;
            SHORT dmPaperLength;
            SHORT dmPaperWidth;
            SHORT dmScale;
            SHORT dmCopies;
            SHORT dmDefaultSource;
            SHORT dmPrintQuality;
        };
        struct {
            POINTL dmPosition;
            DWORD dmDisplayOrientation;
            DWORD dmDisplayFixedOutput;
        };
    };
    SHORT dmColor;
    SHORT dmDuplex;
    SHORT dmYResolution;
    SHORT dmTTOption;
    SHORT dmCollate;
    WCHAR dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    union {
        DWORD dmDisplayFlags;
        DWORD dmNup;
    };
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
} DEVMODEW, *PDEVMODEW, *LPDEVMODEW;

// The host stands in for the ANSI code page with Latin-1.
int MultiByteToWideChar(UINT cp, DWORD flags, const char *src, int srclen, WCHAR *dst, int dstlen);
int WideCharToMultiByte(UINT cp, DWORD flags, const WCHAR *src, int srclen, char *dst, int dstlen,
                        const char *defchar, BOOL *useddef);
#endif

static_assert(sizeof(WCHAR) == 2, "UTF-16 code units");
static_assert(sizeof(DEVMODEW) == 220, "public device mode");
static_assert(offsetof(DEVMODEW, dmFields) == 72, "dmFields");
static_assert(offsetof(DEVMODEW, dmOrientation) == 76, "dmOrientation");
static_assert(offsetof(DEVMODEW, dmColor) == 92, "dmColor");
static_assert(offsetof(DEVMODEW, dmFormName) == 102, "dmFormName");
static_assert(offsetof(DEVMODEW, dmICMIntent) == 192, "dmICMIntent");
