// Stand-in for the system's halftone user interface, which Wine lacks: the
// two entry points printer drivers call, each showing the values of the
// record it is handed and writing back what the user typed (within the
// record's ranges) on OK. It says what it is; on Windows the system's own
// htui.dll is found first.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

enum { kColourDialog = 100, kDeviceDialog = 200 };
enum { kBrightness = 101, kContrast, kColorfulness, kRedGamma, kGreenGamma, kBlueGamma, kPattern = 111, kNote = 120 };

HINSTANCE gModule;

// The device record as drivers pass it (winddi.h layout).
struct HtColorInfo {
    LONG chroma[7][3];
    LONG gamma[3];
    LONG dyes[6];
};
struct HtDevInfo {
    DWORD HTFlags, HTPatternSize, DevPelsDPI;
    HtColorInfo ColorInfo;
};
struct HtAdjData {
    DWORD DeviceFlags, DeviceXDPI, DeviceYDPI;
    HtDevInfo *pDefHTInfo, *pAdjHTInfo;
};

struct Field {
    int id;
    LONG lo, hi;
};
const Field kColourFields[] = {{kBrightness, -100, 100},    {kContrast, -100, 100},     {kColorfulness, -100, 100},
                               {kRedGamma, 2500, 65000},   {kGreenGamma, 2500, 65000}, {kBlueGamma, 2500, 65000}};

// Reads a whole number within lo..hi; false (and the field selected) otherwise.
bool read_field(HWND dlg, const Field &f, LONG *out) {
    wchar_t text[32] = {};
    GetDlgItemTextW(dlg, f.id, text, 32);
    wchar_t *end = nullptr;
    long v = std::wcstol(text, &end, 10);
    if (end == text || *end || v < f.lo || v > f.hi) {
        wchar_t msg[96];
        std::swprintf(msg, 96, L"Enter a whole number from %ld to %ld.", long(f.lo), long(f.hi));
        MessageBoxW(dlg, msg, L"Halftone adjustment", MB_OK | MB_ICONWARNING);
        SendDlgItemMessageW(dlg, f.id, EM_SETSEL, 0, -1);
        SetFocus(GetDlgItem(dlg, f.id));
        return false;
    }
    *out = v;
    return true;
}

INT_PTR CALLBACK ColourProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto *ca = reinterpret_cast<COLORADJUSTMENT *>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        ca = reinterpret_cast<COLORADJUSTMENT *>(lParam);
        const LONG values[6] = {ca->caBrightness, ca->caContrast, ca->caColorfulness,
                                ca->caRedGamma,   ca->caGreenGamma, ca->caBlueGamma};
        for (int i = 0; i < 6; ++i)
            SetDlgItemInt(dlg, kColourFields[i].id, UINT(values[i]), TRUE);
        SetDlgItemTextW(dlg, kNote, L"Stand-in for the system's halftone colour adjustment: the values are "
                                    L"stored with the printer's settings.");
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            LONG v[6];
            for (int i = 0; i < 6; ++i)
                if (!read_field(dlg, kColourFields[i], &v[i]))
                    return TRUE;
            ca->caBrightness = SHORT(v[0]), ca->caContrast = SHORT(v[1]), ca->caColorfulness = SHORT(v[2]);
            ca->caRedGamma = WORD(v[3]), ca->caGreenGamma = WORD(v[4]), ca->caBlueGamma = WORD(v[5]);
            EndDialog(dlg, 1);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, 0);
        }
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK DeviceProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto *data = reinterpret_cast<HtAdjData *>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        data = reinterpret_cast<HtAdjData *>(lParam);
        SetDlgItemInt(dlg, kPattern, data->pAdjHTInfo->HTPatternSize, FALSE);
        wchar_t note[160];
        std::swprintf(note, 160, L"Stand-in for the system's halftone device adjustment: %s device, %lu x %lu dpi.",
                      data->DeviceFlags & 1 ? L"colour" : L"monochrome", (unsigned long)data->DeviceXDPI,
                      (unsigned long)data->DeviceYDPI);
        SetDlgItemTextW(dlg, kNote, note);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            LONG v;
            if (!read_field(dlg, {kPattern, 0, 18}, &v))
                return TRUE;
            data->pAdjHTInfo->HTPatternSize = DWORD(v);
            EndDialog(dlg, 1);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, 0);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        gModule = instance;
    return TRUE;
}

// Positive when the user pressed OK and the record may have changed; 0 on
// Cancel; negative when there is nothing to show.
__declspec(dllexport) LONG APIENTRY HTUI_ColorAdjustment(LPSTR title, HANDLE, LPSTR, COLORADJUSTMENT *ca,
                                                         BOOL, BOOL update) {
    if (!ca || !update)
        return -1;
    COLORADJUSTMENT edit = *ca;
    INT_PTR r = DialogBoxParamW(gModule, MAKEINTRESOURCEW(kColourDialog), GetActiveWindow(), ColourProc,
                                reinterpret_cast<LPARAM>(&edit));
    (void)title;
    if (r != 1)
        return r < 0 ? -1 : 0;
    *ca = edit;
    return 1;
}

__declspec(dllexport) LONG APIENTRY HTUI_DeviceColorAdjustment(LPSTR, HtAdjData *data) {
    if (!data || !data->pAdjHTInfo)
        return -1;
    HtDevInfo edit = *data->pAdjHTInfo;
    HtAdjData copy = *data;
    copy.pAdjHTInfo = &edit;
    INT_PTR r = DialogBoxParamW(gModule, MAKEINTRESOURCEW(kDeviceDialog), GetActiveWindow(), DeviceProc,
                                reinterpret_cast<LPARAM>(&copy));
    if (r != 1)
        return r < 0 ? -1 : 0;
    *data->pAdjHTInfo = edit;
    return 1;
}

} // extern "C"
