// The printer model a queue uses: its records in the driver data file.
#pragma once

#include "../foundation/compat.h"
#include "../foundation/olist.h"
#include "../foundation/ostring.h"
#include "prtres.h"
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
    const char *GetManufacturerName() const { return manufacturer_name_.nstring(); }
    const char *GetShortMfgName() const { return short_mfg_name_.nstring(); }
    const OString &GetModelName() const { return model_name_; }
    MDT *GetMDT() const { return mdt_; }
    PDT *GetPDT() const { return pdt_; }
    VXCapabilitiesData *GetVXM() const { return caps_; }
    // The model-family extension block (PDT + ext_offset), or null when that
    // offset lies outside the table; GetEXTPDTSize gives the bytes behind it.
    unsigned char *GetEXTPDT() const;
    LONG GetEXTPDTSize() const;

    // Fills the manufacturer names.
    void init_new_vx();

protected:
    // For subclasses that set the records themselves (tests, tools).
    _MODEL() = default;

    // The platform-free part of the build, run under the model lock: package
    // prefix and OEM code from the driver's file paths, then the driver data
    // file from the driver directory, then the directory search.
    void build(const WCHAR *model_name, const WCHAR *driver_path, const WCHAR *data_file);
    // Prefix: the three characters before "32k" in the renderer's path; OEM
    // code: the three before "32eng" in the language module's path.
    void take_codes(const WCHAR *driver_path, const WCHAR *data_file);
    // Searches directories 510 to 529 of res_ for model_name_ and sets the records.
    void resolve();

    MDT *mdt_ = nullptr;
    PDT *pdt_ = nullptr;
    VXCapabilitiesData *caps_ = nullptr;
    OString model_name_;
    OString manufacturer_name_;
    OString short_mfg_name_;
    char oem_[4] = {0, 0, 0, 0};
    char prefix_[4] = {0, 0, 0, 0};
    prtres res_;
    // Sizes of the resources behind mdt_ and pdt_, for reads past the fixed fields.
    uint32_t mdt_size_ = 0;
    uint32_t pdt_size_ = 0;
};

// The record of symbology id: caps + symbology_offset + symbology_size * id;
// null for an id outside 0 .. symbology_count - 1.
VXSymbologyData *GetSymbologyData(VXCapabilitiesData *caps, LONG id);
