// Page and graphics views of a device mode.
#include "views.h"

#include "../store/prtform.h"

#include <algorithm>

namespace {

bool has_bit(const DEVMODEW *dm, DWORD bit) { return MRL_DM_HAS(dm, dmFields) && (dm->dmFields & bit); }

void set_bits(DEVMODEW *dm, DWORD bits) {
    if (MRL_DM_HAS(dm, dmFields))
        dm->dmFields |= bits;
}

} // namespace

void cfgpage::init(DEVMODEW *dm) {
    dm_ = dm;
    cfg_ = prtconfig::get_cfg(dm);
}

SHORT cfgpage::get_size() const {
    return has_bit(dm_, DM_PAPERSIZE) && MRL_DM_HAS(dm_, dmPaperSize) ? dm_->dmPaperSize : SHORT(DMPAPER_USER);
}

SHORT cfgpage::get_copies() const { return has_bit(dm_, DM_COPIES) && MRL_DM_HAS(dm_, dmCopies) ? dm_->dmCopies : 1; }

int cfgpage::get_orientation() const {
    int v = has_bit(dm_, DM_ORIENTATION) && MRL_DM_HAS(dm_, dmOrientation) ? dm_->dmOrientation - 1 : 0;
    if (cfg_ && (cfg_->image_flags & prtconfig::kRotate180))
        v += 2;
    return v;
}

bool cfgpage::get_mirror() const { return cfg_ && (cfg_->image_flags & prtconfig::kMirror); }
bool cfgpage::get_inverse() const { return cfg_ && (cfg_->image_flags & prtconfig::kNegative); }

void cfgpage::set_size(SHORT id) {
    if (!MRL_DM_HAS(dm_, dmPaperSize))
        return;
    dm_->dmPaperSize = id;
    set_bits(dm_, DM_PAPERSIZE);
}

void cfgpage::set_copies(SHORT n) {
    if (!MRL_DM_HAS(dm_, dmCopies))
        return;
    dm_->dmCopies = n;
    set_bits(dm_, DM_COPIES);
}

void cfgpage::set_orientation(int v) {
    set_image_flag(prtconfig::kRotate180, v >= 2);
    if (!MRL_DM_HAS(dm_, dmOrientation))
        return;
    dm_->dmOrientation = SHORT(v % 2 + 1);
    set_bits(dm_, DM_ORIENTATION);
}

void cfgpage::set_mirror(bool on) { set_image_flag(prtconfig::kMirror, on); }
void cfgpage::set_inverse(bool on) { set_image_flag(prtconfig::kNegative, on); }

void cfgpage::set_image_flag(WORD flag, bool on) {
    if (!cfg_)
        return;
    if (on)
        cfg_->image_flags |= flag;
    else
        cfg_->image_flags &= WORD(~flag);
}

void cfgpage::set_form(SHORT paper_id, LONG width, LONG length, bool user, const WCHAR *name) {
    set_size(paper_id);
    // dmPaperWidth follows dmPaperLength: one check covers both.
    if (MRL_DM_HAS(dm_, dmPaperWidth)) {
        // The fields are signed words; a larger size saturates instead of wrapping.
        dm_->dmPaperWidth = SHORT(std::clamp<LONG>(width, 0, 32767));
        dm_->dmPaperLength = SHORT(std::clamp<LONG>(length, 0, 32767));
        if (user)
            set_bits(dm_, DM_PAPERLENGTH | DM_PAPERWIDTH);
    }
    if (!MRL_DM_HAS(dm_, dmFormName))
        return;
    // Up to 32 characters; the rest of the field is cleared.
    int i = 0;
    for (; name && i < CCHFORMNAME && name[i]; ++i)
        dm_->dmFormName[i] = name[i];
    for (; i < CCHFORMNAME; ++i)
        dm_->dmFormName[i] = 0;
    set_bits(dm_, DM_FORMNAME);
}

void cfgpage::set_form(const prtform *form) {
    if (!form)
        return;
    POINT size;
    form->GetFormSize(&size);
    WCHAR name[kFormNameSize] = {};
    MultiByteToWideChar(CP_ACP, 0, form->get_name(), -1, name, kFormNameSize);
    name[kFormNameSize - 1] = 0;
    set_form(SHORT(form->get_paper_id()), size.x, size.y, form->is_user(), name);
}

void cfggfx::init(DEVMODEW *dm) {
    dm_ = dm;
    icm_ = false;
}

SHORT cfggfx::get_color() const { return MRL_DM_HAS(dm_, dmColor) ? dm_->dmColor : 1; }

void cfggfx::set_color(SHORT v) {
    if (!MRL_DM_HAS(dm_, dmColor))
        return;
    dm_->dmColor = v;
    set_bits(dm_, DM_COLOR);
}

DWORD cfggfx::get_icmintent() const { return icm_ && MRL_DM_HAS(dm_, dmICMIntent) ? dm_->dmICMIntent : 1; }

void cfggfx::set_icmintent(DWORD v) {
    if (icm_ && MRL_DM_HAS(dm_, dmICMIntent))
        dm_->dmICMIntent = v;
}
