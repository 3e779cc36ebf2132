// The pages each sheet shows. Page classes join here as their pages land.
#include "../model/model.h"
#include "../pageframe/prtui.h"
#include "../pages/ppadvanced.h"
#include "../pages/pppaper.h"
#include "../pages/ppregional.h"

long prtui::AddPages(unsigned long flags) {
    long count = 0;
    if (flags & kDevicePages)
        count += AddPage("PAGE_REGIONAL", ppRegional::WinProc) ? 1 : 0;
    if (flags & kSetupPages)
        count += AddPage("PAGE_SETUP", ppPaper::WinProc) ? 1 : 0;
    // Document sheets: units are chosen where lengths are edited.
    if ((flags & kRegionalPage) && !(flags & kDevicePages))
        count += AddPage("PAGE_REGIONAL", ppRegional::WinProc) ? 1 : 0;
    return count;
}

long extui::AddPages(unsigned long flags) {
    long count = prtui::AddPages(flags);
    if (flags & kGraphicsPages)
        count += AddPage("PAGE_OPTIONS", pp_option::WinProc) ? 1 : 0;
    return count;
}
