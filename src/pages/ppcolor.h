// The colour dialogs of a printer with several heads, opened from the graphics
// page in the default settings: which heads are in use and the colour each
// prints, and how far each head's plane lies from the reference head's, typed
// in or found by printing alignment patterns and picking where they meet.
#pragma once

#include "../foundation/ostring.h"
#include "../output/prtstream.h"
#include "../pageframe/prtpage.h"
#include "../store/scolor.h"

// One alignment pass, handed from the registration dialog to the align dialog
// through the UI object. Offsets in tenths of what the offset boxes show.
struct ALIGNRESULT {
    enum : LONG { kAccept = 0, kRefine = 1, kPrintAgain = 2 };
    LONG xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    LONG state = kRefine;
    OString title;
};

// The escape records of the registration dialog, as the renderer reads them.
enum : int { kEscSetRegistration = 12021, kEscRegistrationTest = 12022, kEscAlignmentPattern = 12023 };
void SetRegistrationRecord(const SCOLOR &colour, LONG heads, unsigned char out[36]);
void AlignmentPatternRecord(LONG head, LONG reference, const ALIGNRESULT &range, unsigned char out[20]);
// Each record goes in a job of its own; false when the job did not reach the printer.
bool SendColourEscape(prtstream &stream, int code, const unsigned char *record, int size);

class ppColorSetup : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppColorSetup>(hwnd, msg, wParam, lParam);
    }
    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    void Apply() override;
    bool VerifyOkay() override;

private:
    void SelectCustomColor(long head);

    SCOLOR colour;
    bool planesDirty = false;
    bool headsDirty = false;
};

class ppColorRegistration : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppColorRegistration>(hwnd, msg, wParam, lParam);
    }
    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    void Apply() override;

    void SetRegistration();
    // One head's alignment; false when the user cancelled a pass.
    bool Align(long head);

private:
    const WCHAR *PlaneName(long head);

    SCOLOR colour;
    ALIGNRESULT result;
    prtstream stream;
    LONG heads = 0;
    bool referenceDirty = false;
    bool offsetsDirty = false;
    bool filling = false; // writing the boxes raises EN_UPDATE: not the user's typing
};

class ppColorAlign : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppColorAlign>(hwnd, msg, wParam, lParam);
    }
    void Init() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;
    void Apply() override;
    bool PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    ALIGNRESULT *result = nullptr;
    LONG x = 0, y = 0;
};
