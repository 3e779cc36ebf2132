// The printer model a queue uses: its records in the driver data file.
#pragma once

#include "../foundation/compat.h"
#include "../foundation/olist.h"
#include "../foundation/ostring.h"
#include "records.h"

class _MODEL : public ONode {
public:
    // Builds the model from a printer handle (spooler driver information).
    explicit _MODEL(void *printer);
    ~_MODEL() override;

    // True when the directory, printer data table and capability table were all
    // found and are long enough for every field this module reads. Callers must
    // not use a model that is not valid.
    bool is_valid() const { return pdt_ != nullptr && caps_ != nullptr; }

    const char *GetOEM() const { return oem_; }
    const char *GetPrefix() const { return prefix_; }
    MDT *GetMDT() const { return mdt_; }
    PDT *GetPDT() const { return pdt_; }
    VXCapabilitiesData *GetVXM() const { return caps_; }

    // Device-mode services of the model (devmode/).
    static LONG DevmodeSize();
    DEVMODEW *NewDevmode(const WCHAR *name) const;
    bool DefaultDevmode(DEVMODEW *dm, const WCHAR *name) const;
    bool MergeDevmode(DEVMODEW *dst, const DEVMODEW *src) const;
    bool CopyDevmode(DEVMODEW *dst, const DEVMODEW *src) const;

protected:
    // For subclasses that set the records themselves (tests, tools).
    _MODEL() = default;

    MDT *mdt_ = nullptr;
    PDT *pdt_ = nullptr;
    VXCapabilitiesData *caps_ = nullptr;
    OString model_name_;
    char oem_[4] = {0, 0, 0, 0};
    char prefix_[4] = {0, 0, 0, 0};
};
