// The pages each sheet shows, in the order the sheets show them.
#include "../model/model.h"
#include "../pageframe/prtui.h"
#include "../pages/ppabout.h"
#include "../pages/ppadvanced.h"
#include "../pages/ppbarfont.h"
#include "../pages/ppdebug.h"
#include "../pages/ppfont.h"
#include "../pages/pppaper.h"
#include "../pages/ppgraphics.h"
#include "../pages/ppregional.h"
#include "devcaps.h"

long prtui::AddPages(unsigned long flags) {
    long count = 0;
    if (flags & kDevicePages)
        count += AddPage("PAGE_REGIONAL", ppRegional::WinProc) ? 1 : 0;
    if (flags & kSetupPages)
        count += AddPage("PAGE_SETUP", ppPaper::WinProc) ? 1 : 0;
    if (flags & kGraphicsPages)
        count += AddPage("PAGE_GRAPHICS", ppGraphics::WinProc) ? 1 : 0;
    // Document sheets: units are chosen where lengths are edited.
    if ((flags & kRegionalPage) && !(flags & kDevicePages))
        count += AddPage("PAGE_REGIONAL", ppRegional::WinProc) ? 1 : 0;
    // The font page where the model downloads fonts of either type.
    const PDT *pdt = model_ ? model_->GetPDT() : nullptr;
    if ((flags & kDevicePages) && pdt && (pdt->font_modes & 3))
        count += AddPage("PAGE_FONT", ppFont::WinProc) ? 1 : 0;
    // The bar font page where the capability table names a line command.
    VXCapabilitiesData *caps = model_ ? model_->GetVXM() : nullptr;
    if ((flags & kDevicePages) && caps && caps->line_command != 0)
        count += AddPage("PAGE_BARFONT", ppBarFont::WinProc) ? 1 : 0;
    return count;
}

long extui::AddPages(unsigned long flags) {
    long count = prtui::AddPages(flags);
    if (flags & kGraphicsPages)
        count += AddPage("PAGE_OPTIONS", pp_option::WinProc) ? 1 : 0;
    if (flags & kDevicePages)
        count += AddPage("PAGE_DEBUG", pp_debug::WinProc) ? 1 : 0;
    return count;
}

bool prtui::AddAboutPage() { return AddPage("PAGE_ABOUT", ppAbout::WinProc); }

DWORD prtui::DeviceCapabilitiesW(WORD index, void *out) {
    if (!model_)
        return DWORD(-1);
    return DeviceCapabilitiesFor(printer_, printer_name_.wstring(), *model_, devmode(), index, out);
}
