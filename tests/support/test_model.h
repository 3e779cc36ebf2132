// A printer model without a driver data file: the records a test needs, set
// directly. Defaults describe a 203 dpi, 104 mm printer loading from the left.
#pragma once

#include "model/model.h"

class TestModel : public _MODEL {
public:
    explicit TestModel(const char *oem = "omr") {
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
        set_oem(oem);
    }
    void set_oem(const char *oem) {
        for (int i = 0; i < 4; ++i)
            oem_[i] = 0;
        for (int i = 0; i < 3 && oem && oem[i]; ++i)
            oem_[i] = oem[i];
    }
    PDT pdt = {};
};
