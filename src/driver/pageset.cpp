// The pages each sheet shows. Page classes join here as their pages land.
#include "../model/model.h"
#include "../pageframe/prtui.h"
#include "../pages/ppgraphics.h"
#include "../pages/ppregional.h"
#include "devcaps.h"

long prtui::AddPages(unsigned long flags) {
    long count = 0;
    if (flags & kGraphicsPages)
        count += AddPage("PAGE_GRAPHICS", ppGraphics::WinProc) ? 1 : 0;
    if (flags & (kDevicePages | kRegionalPage))
        count += AddPage("PAGE_REGIONAL", ppRegional::WinProc) ? 1 : 0;
    return count;
}

DWORD prtui::DeviceCapabilitiesW(WORD index, void *out) {
    if (!model_)
        return DWORD(-1);
    return DeviceCapabilitiesFor(printer_, printer_name_.wstring(), *model_, devmode(), index, out);
}
