// The one stand-in of a printer model without a driver data file: its printer
// data table set field by field. Defaults describe a 203 dpi, 104 mm
// monochrome printer loading from the left, package "abc", OEM "omr".
#pragma once

#include "model/model.h"

class TestModel : public _MODEL {
public:
    explicit TestModel(const char *oem = "omr") {
        pdt.dpi = pdt.printer_dpi = 203;
        pdt.max_copies = 999;
        pdt.color_type = 1;
        pdt.default_tt_option = 3;
        pdt.image_flags = 7;
        pdt.unprintable_width = 0;
        pdt.printable_width = 104000;
        pdt.printable_length = 990000;
        pdt.default_form_width = 1016; // 0.1 mm
        pdt.default_form_length = 1524;
        pdt.max_paper_width = 1180;
        pdt.max_paper_length = 9900;
        pdt.min_paper_width = 100;
        pdt.min_paper_length = 60;
        pdt.paper_loading = 1;
        pdt_ = &pdt;
        set_code(prefix_, "abc");
        set_code(oem_, oem);
    }
    // Resolution, copy limit and colour type (2: four-colour) for device-mode tests.
    TestModel(int16_t dpi, int32_t max_copies, int16_t color_type = 1, const char *prefix = "abc") : TestModel() {
        pdt.dpi = pdt.printer_dpi = dpi;
        pdt.max_copies = max_copies;
        pdt.color_type = color_type;
        set_code(prefix_, prefix);
    }
    void set_oem(const char *oem) { set_code(oem_, oem); }
    PDT pdt = {};

private:
    static void set_code(char (&code)[4], const char *text) {
        for (int i = 0; i < 4; ++i)
            code[i] = 0;
        for (int i = 0; i < 3 && text && text[i]; ++i)
            code[i] = text[i];
    }
};
