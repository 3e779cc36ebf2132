// Views through which pages read and write a device mode. Each holds borrowed
// pointers; a missing device mode or block reads as the default and writes
// nothing. Public fields outside the device mode's dmSize count as missing.
#pragma once

#include "layout.h"

class prtform;

// Page settings: paper, copies, orientation and the image flags of the block.
class cfgpage {
public:
    cfgpage() = default;
    explicit cfgpage(DEVMODEW *dm) { init(dm); }

    // Keeps dm and finds its configuration block (either may end up null).
    void init(DEVMODEW *dm);
    DEVMODEW *get_dm() const { return dm_; }
    prtconfig *get_cfg() const { return cfg_; }

    // dmPaperSize when DM_PAPERSIZE is set, else 256 (user size).
    SHORT get_size() const;
    // dmCopies when DM_COPIES is set, else 1.
    SHORT get_copies() const;
    // 0 portrait, 1 landscape, 2 portrait turned 180°, 3 landscape turned 180°.
    int get_orientation() const;
    bool get_mirror() const;
    bool get_inverse() const;

    void set_size(SHORT id);
    void set_copies(SHORT n);
    void set_orientation(int v);
    void set_mirror(bool on);
    void set_inverse(bool on);
    // What prtform hands over: paper id, size in 0.1 mm, whether it is a user
    // form (which also sets DM_PAPERLENGTH and DM_PAPERWIDTH) and its name
    // (at most 32 characters are kept).
    void set_form(SHORT paper_id, LONG width, LONG length, bool user, const WCHAR *name);
    // The same from a label stock: its paper id, paper size and name.
    void set_form(const prtform *form);

private:
    void set_image_flag(WORD flag, bool on);

    DEVMODEW *dm_ = nullptr;
    prtconfig *cfg_ = nullptr;
};

// Graphics settings: colour and, with the ICM switch on, the rendering intent.
class cfggfx {
public:
    cfggfx() = default;
    explicit cfggfx(DEVMODEW *dm) { init(dm); }

    // Keeps dm; the ICM switch goes off.
    void init(DEVMODEW *dm);
    void set_icm(bool on) { icm_ = on; }
    bool get_icm() const { return icm_; }

    // dmColor: 1 monochrome, 2 colour; 1 without a device mode.
    SHORT get_color() const;
    void set_color(SHORT v);
    // dmICMIntent when the switch is on, else 1.
    DWORD get_icmintent() const;
    // Writes dmICMIntent (dmFields untouched) only when the switch is on.
    void set_icmintent(DWORD v);

private:
    bool icm_ = false;
    DEVMODEW *dm_ = nullptr;
};
