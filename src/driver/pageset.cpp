// The pages each sheet shows. Page classes join here as their pages land.
#include "../model/model.h"
#include "../pageframe/prtui.h"
#include "../pages/ppabout.h"
#include "../pages/ppbarfont.h"
#include "../pages/ppdebug.h"
#include "../pages/ppregional.h"

long prtui::AddPages(unsigned long flags) {
    long count = 0;
    if (flags & (kDevicePages | kRegionalPage))
        count += AddPage("PAGE_REGIONAL", ppRegional::WinProc) ? 1 : 0;
    // The bar font page where the capability table names a line command.
    VXCapabilitiesData *caps = model_ ? model_->GetVXM() : nullptr;
    if ((flags & kDevicePages) && caps && caps->line_command != 0)
        count += AddPage("PAGE_BARFONT", ppBarFont::WinProc) ? 1 : 0;
    if (flags & kDevicePages)
        count += AddPage("PAGE_DEBUG", pp_debug::WinProc) ? 1 : 0;
    // Every sheet ends with the about page; a sheet limited to it shows it alone.
    count += AddPage("PAGE_ABOUT", ppAbout::WinProc) ? 1 : 0;
    return count;
}
