#include "ppgraphics.h"
#include "ppcolor.h"

#include "resource_ids.h"
#include "../devmode/rules.h"
#include "../foundation/util.h"
#include "../imaging/bmdither.h"
#include "../imaging/dibcheck.h"
#include "../imaging/prtbitmap.h"
#include "../pageframe/prtui.h"
#include "../platform/globals.h"
#include "../store/scolor.h"

#include <cwchar>
#include <vector>

namespace {

constexpr long kHelpGraphics = 160, kHelpDitherColor = 1640, kHelpDitherSetup = 1650;

// Radio buttons 1320..1324 in the order of the template, and the method each sets.
const SHORT kMethodOfButton[5] = {dithercfg::kThreshold, dithercfg::kCluster, dithercfg::kBayer,
                                  dithercfg::kAlgebraic, dithercfg::kDiffusion};

long button_of_method(SHORT method) {
    for (long i = 0; i < 5; ++i)
        if (kMethodOfButton[i] == method)
            return IDC_GFX_METHOD0 + i;
    return IDC_GFX_METHOD0;
}

// The halftone user interface of the system; Wine's package ships a stand-in.
typedef LONG(APIENTRY *HTUI_COLORADJUSTMENT)(LPSTR title, HANDLE dib, LPSTR dib_title, MRL_COLORADJUSTMENT *ca,
                                             BOOL mono_only, BOOL update);
struct MRL_DEVHTADJDATA {
    DWORD DeviceFlags, DeviceXDPI, DeviceYDPI;
    MRL_DEVHTINFO *pDefHTInfo, *pAdjHTInfo;
};
typedef LONG(APIENTRY *HTUI_DEVICECOLORADJUSTMENT)(LPSTR device, MRL_DEVHTADJDATA *data);

// One record for the process, as the halftone interface keeps pointers only for the call.
MRL_DEVHTADJDATA gDevHTAdjData;
MRL_DEVHTINFO gDefaultHTInfo;

// The system's htui.dll first; else the one beside this module (the driver
// folder, where the package installs its stand-in).
HMODULE load_htui() {
    if (HMODULE m = LoadLibraryW(L"htui.dll"))
        return m;
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(ghInstance, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    wchar_t *slash = wcsrchr(path, L'\\');
    if (!slash || size_t(slash - path) + 10 >= MAX_PATH)
        return nullptr;
    wcscpy(slash + 1, L"htui.dll");
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

struct Library {
    HMODULE module = load_htui();
    ~Library() {
        if (module)
            FreeLibrary(module);
    }
    template <class Fn> Fn find(const char *name) const {
        FARPROC p = module ? GetProcAddress(module, name) : nullptr;
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
    }
};

struct Scroll {
    long bar, text;
    SHORT dithercfg::*word;
};
const Scroll kScrolls[] = {{IDC_ADJ_BRIGHTNESS, IDC_ADJ_BRIGHTNESS_TEXT, &dithercfg::brightness},
                           {IDC_ADJ_CONTRAST, IDC_ADJ_CONTRAST_TEXT, &dithercfg::contrast},
                           {IDC_ADJ_RED, IDC_ADJ_RED_TEXT, &dithercfg::red},
                           {IDC_ADJ_GREEN, IDC_ADJ_GREEN_TEXT, &dithercfg::green},
                           {IDC_ADJ_BLUE, IDC_ADJ_BLUE_TEXT, &dithercfg::blue}};
const struct {
    long box;
    SHORT bit;
} kChecks[] = {{IDC_ADJ_MIRROR, dithercfg::kMirror}, {IDC_ADJ_FLIP, dithercfg::kFlip}, {IDC_ADJ_NEGATIVE, dithercfg::kNegative}};

} // namespace

void ppGraphics::Init() {
    prtpage::Init();
    SetHelp(kHelpGraphics, false);
    gfx.init(ui->devmode());
}

void ppGraphics::Refresh(bool full) {
    if (!config)
        return;
    _MODEL *model = ui->model();
    const PDT *pdt = model ? model->GetPDT() : nullptr;
    static_cast<extconfig *>(config)->Validate(pdt);
    dithercfg &d = config->dither;

    if (full) {
        CB_ResetContent(IDC_GFX_RESOLUTION);
        LONG count = LONG(ui->DeviceCapabilitiesW(DC_ENUMRESOLUTIONS, nullptr));
        if (count > 0 && count < 64) {
            std::vector<LONG> pairs(size_t(count) * 2);
            ui->DeviceCapabilitiesW(DC_ENUMRESOLUTIONS, pairs.data());
            for (LONG i = 0; i < count; ++i) {
                OString text;
                dpi_to_string(text, pairs[size_t(2 * i)], pairs[size_t(2 * i + 1)]);
                CB_AddString(IDC_GFX_RESOLUTION, text.wstring(), i);
            }
        }
        CB_SetCurSel(IDC_GFX_RESOLUTION, 0);

        CB_ResetContent(IDC_GFX_COLOUR);
        CB_AddString(IDC_GFX_COLOUR, GetString(IDS_MONOCHROME), 1);
        if (pdt && pdt->color_type == 2)
            CB_AddString(IDC_GFX_COLOUR, GetString(IDS_COLOUR), 2);
        CB_SetCurSel(IDC_GFX_COLOUR, gfx.get_color() - 1);
    }
    if (full || colourDirty) {
        const bool colour = gfx.get_color() != 1;
        WM_Enable(IDC_GFX_ICM, false);
        WM_Enable(IDC_GFX_ICM_LABEL, false);
        LONG used = 0;
        if (colour) {
            SCOLOR sc;
            sc.Init(model);
            sc.Load(reg);
            for (LONG p = 0; p < sc.GetHeads(); ++p)
                used += sc.GetColorUsed(p) ? 1 : 0;
        }
        const bool defaults = is_default_dm();
        WM_Enable(IDC_GFX_REGISTRATION, colour && used > 1 && defaults);
        WM_Enable(IDC_GFX_SPOT, colour && pdt && (pdt->color_flags & 0x7) && defaults);
        colourDirty = false;
    }
    if (full)
        for (long id = IDC_GFX_METHOD0; id < IDC_GFX_METHOD0 + 5; ++id)
            BM_SetCheck(id, id == button_of_method(d.method) ? BST_CHECKED : BST_UNCHECKED);
    if (full || methodDirty) {
        WM_Enable(IDC_GFX_SETUP, d.method != dithercfg::kThreshold);
        methodDirty = false;
    }
    if (full || previewDirty) {
        BuildPreview();
        previewDirty = false;
    }
}

void ppGraphics::BuildPreview() {
    DWORD size = 0;
    BITMAPINFO *picture = ui->locale().LockBitmap(IDB_SAMPLE, &size);
    dib::Layout l{};
    if (!picture || !dib::drawable(picture, size, &l) || l.bit_count != 24)
        return;
    const LONG w = l.width, h = l.height;
    const bool top_down = picture->bmiHeader.biHeight < 0;
    // Rows top first, width x 3 bytes each, WORD-aligned for CreateBitmap.
    const LONG stride = (w * 3 + 1) & ~1;
    std::vector<BYTE> bits(size_t(stride) * size_t(h));
    const BYTE *base = reinterpret_cast<const BYTE *>(picture) + l.bits_offset;
    for (LONG y = 0; y < h; ++y)
        mrl::__memcpy(&bits[size_t(y) * stride], base + size_t(top_down ? y : h - 1 - y) * l.stride, w * 3);

    bmDither engine;
    engine.SetBitmap(bits.data(), w, h, stride);
    engine.SetDither(config->dither);
    if (gfx.get_color() == 1) {
        engine.SetColorMode(bmDither::kMono, false);
    } else {
        SCOLOR sc;
        sc.Init(ui->model());
        sc.Load(reg);
        DWORD palette[16];
        sc.GeneratePalette(palette);
        engine.SetPalette(palette, 16);
        engine.SetColorMode(SHORT(sc.GetMode()), false);
    }
    engine.DitherSmooth();
    if (HBITMAP bitmap = CreateBitmap(w, h, 1, 24, bits.data()))
        if (!prtbitmap::SetBitmapHandle(GetItem(IDC_GFX_PREVIEW), bitmap))
            DeleteObject(bitmap);
}

bool ppGraphics::Command(WORD id, WORD code, LONG) {
    if (!config)
        return true;
    dithercfg &d = config->dither;
    if (id >= IDC_GFX_METHOD0 && id < IDC_GFX_METHOD0 + 5) {
        if (code != BN_CLICKED)
            return true;
        d.method = kMethodOfButton[id - IDC_GFX_METHOD0];
        methodDirty = previewDirty = true;
        return false;
    }
    switch (id) {
    case IDC_GFX_COLOUR:
        if (code != CBN_SELCHANGE)
            return true;
        gfx.set_color(SHORT(CB_GetCurSel(IDC_GFX_COLOUR) + 1));
        colourDirty = previewDirty = true;
        return false;
    case IDC_GFX_ICM:
        if (code != CBN_SELCHANGE)
            return true;
        gfx.set_icmintent(DWORD(CB_GetCurSel(IDC_GFX_ICM) + 1));
        return false;
    case IDC_GFX_ADJUST:
        if (code != BN_CLICKED)
            return true;
        if (ColorAdjustment() == 1)
            previewDirty = true;
        return false;
    case IDC_GFX_SETUP:
        if (code != BN_CLICKED)
            return true;
        if (DitherSetup() == 1)
            previewDirty = true;
        return false;
    case IDC_GFX_REGISTRATION:
        if (code != BN_CLICKED)
            return true;
        DialogModal(L"DLG_COLOR_REGISTRATION", ppColorRegistration::WinProc);
        return false;
    case IDC_GFX_SPOT:
        if (code != BN_CLICKED)
            return true;
        if (DialogModal(L"DLG_COLOR_SPOT", ppColorSetup::WinProc) == IDOK)
            colourDirty = previewDirty = true;
        return false;
    default:
        return true;
    }
}

bool ppGraphics::PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) {
    Forward(IDC_GFX_PREVIEW, msg, wParam, lParam);
    return false;
}

INT_PTR ppGraphics::ColorAdjustment() {
    if (config->dither.method != dithercfg::kCluster)
        return DialogModal(L"DLG_DITHER_COLORADJ", ppDitherColor::WinProc);
    COMMONPRIVATEDM *common = GetCommonPrivateDm(ui->devmode());
    if (!common)
        return 0;
    Library htui;
    auto adjust = htui.find<HTUI_COLORADJUSTMENT>("HTUI_ColorAdjustment");
    if (!adjust)
        return 0;
    LONG result = adjust(const_cast<LPSTR>(ui->printer_name().nstring()), nullptr, nullptr, &common->ca,
                         gfx.get_color() != 2, TRUE);
    return result > 0 ? 1 : 2;
}

INT_PTR ppGraphics::DitherSetup() {
    if (config->dither.method != dithercfg::kCluster)
        return DialogModal(L"DLG_DITHER_SETUP", ppDitherSetup::WinProc);
    Library htui;
    auto adjust = htui.find<HTUI_DEVICECOLORADJUSTMENT>("HTUI_DeviceColorAdjustment");
    COMMONPRIVATEDM *common = GetCommonPrivateDm(ui->devmode());
    const PDT *pdt = ui->model() ? ui->model()->GetPDT() : nullptr;
    if (!adjust || !common || !pdt)
        return 0;
    DefaultDevHTInfo(&gDefaultHTInfo, nullptr);
    gDefaultHTInfo.HTPatternSize = 5;
    gDefaultHTInfo.DevPelsDPI = 0;
    gDevHTAdjData.DeviceFlags = gfx.get_color() == 2 ? 1 : 0; // DEVHTADJF_COLOR_DEVICE
    gDevHTAdjData.DeviceXDPI = DWORD(pdt->dpi);
    gDevHTAdjData.DeviceYDPI = DWORD(pdt->printer_dpi);
    gDevHTAdjData.pDefHTInfo = &gDefaultHTInfo;
    gDevHTAdjData.pAdjHTInfo = &common->ht;
    LONG result = adjust(const_cast<LPSTR>(ui->printer_name().nstring()), &gDevHTAdjData);
    return result > 0 ? 1 : 2;
}

void ppDitherColor::Init() {
    prtpage::Init();
    SetHelp(kHelpDitherColor, false);
}

void ppDitherColor::Refresh(bool full) {
    if (!full || !config)
        return;
    for (const Scroll &s : kScrolls) {
        SBM_LinkText(s.bar, s.text);
        SBM_SetRange(s.bar, -100, 100, 1);
        SBM_SetPos(s.bar, config->dither.*s.word);
    }
    for (const auto &c : kChecks)
        BM_SetCheck(c.box, (config->dither.flags & c.bit) ? BST_CHECKED : BST_UNCHECKED);
}

bool ppDitherColor::Command(WORD id, WORD code, LONG lParam) {
    if (!config)
        return true;
    for (const Scroll &s : kScrolls)
        if (id == s.bar) {
            config->dither.*s.word = SHORT(lParam);
            return false;
        }
    for (const auto &c : kChecks)
        if (id == c.box && code == BN_CLICKED) {
            const bool on = BM_GetCheck(c.box);
            config->dither.flags = SHORT(on ? (config->dither.flags | c.bit) : (config->dither.flags & ~c.bit));
            return false;
        }
    return true;
}

void ppDitherSetup::Init() {
    prtpage::Init();
    SetHelp(kHelpDitherSetup, false);
}

void ppDitherSetup::Refresh(bool full) {
    if (!full || !config)
        return;
    const dithercfg &d = config->dither;
    CB_ResetContent(IDC_DITHER_CHOICE);
    wchar_t text[96];
    switch (d.method) {
    case dithercfg::kBayer: {
        const wchar_t *sizes[3] = {L"2 x 2 ", L"4 x 4 ", L"8 x 8 "};
        for (int i = 0; i < 3; ++i) {
            std::swprintf(text, 96, L"%ls%ls", sizes[i], GetString(IDS_MATRIX));
            CB_AddString(IDC_DITHER_CHOICE, text, i);
        }
        CB_SetCurSelData(IDC_DITHER_CHOICE, d.bayer_size);
        break;
    }
    case dithercfg::kAlgebraic:
        for (SHORT i = 0; i <= 19; ++i) {
            LONG A = 0, B = 0, C = 0;
            bmDither::GetAlgebraicSequence(i, &A, &B, &C);
            std::swprintf(text, 96, L"A = %ld, B = %ld, C = %ld", long(A), long(B), long(C));
            CB_AddString(IDC_DITHER_CHOICE, text, i);
        }
        CB_SetCurSelData(IDC_DITHER_CHOICE, d.algebraic);
        break;
    case dithercfg::kDiffusion:
        CB_AddString(IDC_DITHER_CHOICE, L"Floyd-Steinberg", 0);
        CB_AddString(IDC_DITHER_CHOICE, L"Jarvis", 1);
        CB_SetCurSelData(IDC_DITHER_CHOICE, d.kernel);
        break;
    default:
        break;
    }
}

bool ppDitherSetup::Command(WORD id, WORD code, LONG) {
    if (!config || id != IDC_DITHER_CHOICE || code != CBN_SELCHANGE)
        return true;
    const SHORT value = SHORT(CB_GetCurSelData(IDC_DITHER_CHOICE));
    dithercfg &d = config->dither;
    if (d.method == dithercfg::kBayer)
        d.bayer_size = value;
    else if (d.method == dithercfg::kAlgebraic)
        d.algebraic = value;
    else if (d.method == dithercfg::kDiffusion)
        d.kernel = value;
    return false;
}
