// Stored records of the driver data file, as far as this module reads them.
// Little-endian, packed; bytes not named here are opaque and carried as they are.
// A pointer to one of these is handed out only after the resource was checked to
// be at least the record's size (see model.cpp), so every named field is inside it.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

struct MDT {
    uint8_t opaque0[8];
    uint32_t model_count;
    uint32_t first_entry_offset;
    uint32_t manufacturer_name_offset;
    uint8_t opaque20[20];
    uint32_t short_name_offset;
};
static_assert(sizeof(MDT) == 44, "MDT header");
static_assert(offsetof(MDT, model_count) == 8, "MDT");
static_assert(offsetof(MDT, first_entry_offset) == 12, "MDT");
static_assert(offsetof(MDT, manufacturer_name_offset) == 16, "MDT");
static_assert(offsetof(MDT, short_name_offset) == 40, "MDT");

struct PDT {
    uint32_t ext_offset;
    uint8_t opaque4[28];
    int32_t unprintable_width; // µm
    int32_t printable_width;   // µm
    int32_t printable_length;  // µm
    uint16_t line_max_dots;
    uint16_t box_max_dots;
    int32_t max_copies;
    uint8_t opaque52[8];
    int16_t default_form_length; // 0.1 mm
    int16_t default_form_width;  // 0.1 mm
    int16_t dpi;
    int16_t printer_dpi;
    int16_t color_type;
    int16_t default_tt_option;
    uint16_t color_flags;
    uint16_t font_modes;
    uint8_t opaque76[2];
    uint16_t form_flags;
    uint8_t opaque80[2];
    uint16_t natural_orientation;
    uint16_t min_paper_length; // 0.1 mm
    uint16_t max_paper_length;
    uint16_t min_paper_width;
    uint16_t max_paper_width;
    uint16_t drawing_dpi;
    uint16_t paper_loading;
    uint8_t opaque96[12];
    int32_t capabilities_id;
    uint8_t opaque112[2];
    uint16_t image_flags;
};
static_assert(sizeof(PDT) == 116, "PDT: every field read lies in the first 116 bytes");
static_assert(offsetof(PDT, unprintable_width) == 32, "PDT");
static_assert(offsetof(PDT, printable_width) == 36, "PDT");
static_assert(offsetof(PDT, printable_length) == 40, "PDT");
static_assert(offsetof(PDT, line_max_dots) == 44, "PDT");
static_assert(offsetof(PDT, box_max_dots) == 46, "PDT");
static_assert(offsetof(PDT, max_copies) == 48, "PDT");
static_assert(offsetof(PDT, default_form_length) == 60, "PDT");
static_assert(offsetof(PDT, default_form_width) == 62, "PDT");
static_assert(offsetof(PDT, dpi) == 64, "PDT");
static_assert(offsetof(PDT, printer_dpi) == 66, "PDT");
static_assert(offsetof(PDT, color_type) == 68, "PDT");
static_assert(offsetof(PDT, default_tt_option) == 70, "PDT");
static_assert(offsetof(PDT, color_flags) == 72, "PDT");
static_assert(offsetof(PDT, font_modes) == 74, "PDT");
static_assert(offsetof(PDT, form_flags) == 78, "PDT");
static_assert(offsetof(PDT, natural_orientation) == 82, "PDT");
static_assert(offsetof(PDT, min_paper_length) == 84, "PDT");
static_assert(offsetof(PDT, max_paper_length) == 86, "PDT");
static_assert(offsetof(PDT, min_paper_width) == 88, "PDT");
static_assert(offsetof(PDT, max_paper_width) == 90, "PDT");
static_assert(offsetof(PDT, drawing_dpi) == 92, "PDT");
static_assert(offsetof(PDT, paper_loading) == 94, "PDT");
static_assert(offsetof(PDT, capabilities_id) == 108, "PDT");
static_assert(offsetof(PDT, image_flags) == 114, "PDT");

struct VXCapabilitiesData {
    uint8_t opaque0[2];
    uint16_t symbology_size;
    uint16_t symbology_offset;
    uint16_t symbology_count;
    uint8_t opaque8[2];
    uint16_t line_command;
    uint16_t box_command;
    uint8_t opaque14[12];
    uint16_t label_features;
};
static_assert(sizeof(VXCapabilitiesData) == 28, "capability table header");
static_assert(offsetof(VXCapabilitiesData, symbology_size) == 2, "caps");
static_assert(offsetof(VXCapabilitiesData, symbology_offset) == 4, "caps");
static_assert(offsetof(VXCapabilitiesData, symbology_count) == 6, "caps");
static_assert(offsetof(VXCapabilitiesData, line_command) == 10, "caps");
static_assert(offsetof(VXCapabilitiesData, box_command) == 12, "caps");
static_assert(offsetof(VXCapabilitiesData, label_features) == 26, "caps");

struct VXSymbologyData {
    uint16_t supported;
    uint16_t readable_rule;
    uint32_t options;
    uint32_t readable_flags;
};
static_assert(sizeof(VXSymbologyData) == 12, "symbology record");

#pragma pack(pop)
