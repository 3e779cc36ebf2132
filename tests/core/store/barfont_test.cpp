// Bar fonts: the record's rules, the model's filter, ratios and list files.
#include "barfont_model.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

barfontnode *add_font(barfontlist &list, const char *name, LONG dpi, LONG id = 0) {
    auto *n = new barfontnode;
    n->font.set_dpi(dpi);
    n->font.init();
    n->font.set_name(name);
    n->font.change_symbology(id);
    list.AddTail(n);
    return n;
}

} // namespace

TEST(BarFont, RecordRules) {
    BarFontModel model;
    barfontnode node(model.GetPDT());
    barfont &f = node.font;
    EXPECT_STREQ(f.get_name(), "New Bar Font");
    EXPECT_EQ(f.get_x(), 3); // 15 mils at 203 dpi
    EXPECT_EQ(f.get_distance(), 13);
    EXPECT_EQ(f.get_hr(), 2);
    f.set_name("ABC/DEF_1");
    EXPECT_STREQ(f.get_name(), "ABCDEF1");
    f.set_name("0123456789012345678901234567890123456789");
    EXPECT_EQ(std::string(f.get_name()).size(), 31u);

    // Linear to Data Matrix: a fresh block with level 200, rotation and mils kept.
    f.set_rotation(3);
    f.set_mils(20);
    f.set16(barfont::kAddOn, 5);
    f.change_symbology(kSymDataMatrix);
    EXPECT_EQ(f.get_dimension(), 2);
    EXPECT_EQ(f.get_symbology(), kSymDataMatrix);
    EXPECT_EQ(f.get16(barfont::k2DOpt1), 200);
    EXPECT_EQ(f.get16(barfont::kAddOn), 0);
    EXPECT_TRUE(f.get_rotation() == 3 && f.get_mils() == 20 && f.get_hr() == 0);
    // Back to Codabar: start and stop reset, the distance set again.
    f.change_symbology(kSymCodabar);
    EXPECT_TRUE(f.get16(barfont::kOpt1) == 'a' && f.get16(barfont::kOpt2) == 'a' && f.get_distance() == 13);
    f.set_displayfont(true);
    EXPECT_TRUE(f.get_flags() == BFF_DISPLAY && f.bytes()[0] == 0xF4 && f.bytes()[1] == 1 && f.bytes()[11] == 0x40);
}

TEST(BarFont, FilterAgainstTheModel) {
    BarFontModel model;
    barfontlist list;
    for (LONG dpi : {182, 183, 223, 224})
        add_font(list, ("D" + std::to_string(dpi)).c_str(), dpi);
    barfontnode *code128 = add_font(list, "C128", 203, kSymCode128);
    code128->font.set16(barfont::kOpt1, 2);
    barfontnode *upc = add_font(list, "UPC", 203, 7);
    upc->font.set16(barfont::kAddOn, 5);
    barfontnode *qr = add_font(list, "QR", 203, kSymQrCode);

    model.sym(kSymCode128)->options = 2; // encodings 1 to 3 are not drawn
    model.sym(kSymAddOn5)->options = 0;
    model.sym(kSymQrCode)->options = 0x2F; // no chosen mask
    qr->font.set16(barfont::k2DOpt2, 3);
    list.Filter(&model, true);
    std::vector<std::string> shown;
    for (barfontnode *n = list.get_first(); n; n = n->get_next())
        if (n->shown)
            shown.push_back(n->font.get_name());
    EXPECT_EQ(shown, (std::vector<std::string>{"D183", "D223"}));
    list.Filter(&model, false);
    EXPECT_TRUE(list.get_first()->shown && !list.get_first()->resolution_matches);

    model.sym(0)->supported = 0;
    list.Filter(&model, false);
    EXPECT_FALSE(list.get_first()->shown);

    // Ratios: whole multiples, and fractions only when the narrow bar divides them.
    const unsigned long b14 = 1ul << 14, b21 = 1ul << 21;
    EXPECT_TRUE(barfontlist::SupportedRatio(5, 11, b14));
    EXPECT_TRUE(barfontlist::SupportedRatio(4, 11, b21));
    EXPECT_FALSE(barfontlist::SupportedRatio(6, 11, b14));
    EXPECT_TRUE(barfontlist::SupportedRatio(6, 11, b14 | 1ul << 12));
    EXPECT_TRUE(barfontlist::SupportedRatio(3, 9, 1ul << 23));
    EXPECT_FALSE(barfontlist::SupportedRatio(3, 6, 1ul << 23));
}

TEST(BarFont, ListFiles) {
    barfontlist list;
    add_font(list, "Same", 203);
    add_font(list, "Same", 300);
    add_font(list, "Other", 203, kSymQrCode);
    add_font(list, "Same", 203, kSymCode128); // replaces the first
    EXPECT_EQ(font_names(list), (std::vector<std::string>{"Same", "Other", "Same"}));
    EXPECT_EQ(list.get_first()->font.get_dpi(), 300);
    list.get_first()->shown = false;

    WString path = temp_path("fonts.sbf");
    ASSERT_TRUE(list.Save(path.c_str(), false));
    barfontlist back;
    ASSERT_TRUE(back.Load(path.c_str(), true));
    EXPECT_EQ(font_names(back), (std::vector<std::string>{"Other", "Same"}));
    EXPECT_EQ(back.CountStored(true), 2);
    EXPECT_EQ(back.get_first()->font.get_symbology(), kSymQrCode);

    // Another magic, an unknown record size, a missing file: nothing added.
    std::vector<unsigned char> bytes = {'S', 'B', 'F', '1', 165, 0, 0, 0};
    bytes.resize(8 + 2 * 165, 1);
    WString bad = temp_path("bad.sbf");
    ASSERT_TRUE(write_file(bad, bytes));
    EXPECT_TRUE(back.Load(bad.c_str(), false));
    bytes[4] = 0;
    ASSERT_TRUE(write_file(bad, bytes));
    EXPECT_TRUE(back.Load(bad.c_str(), false));
    bytes[0] = 'X';
    ASSERT_TRUE(write_file(bad, bytes));
    EXPECT_FALSE(back.Load(bad.c_str(), false));
    EXPECT_TRUE(back.Load(temp_path("missing.sbf").c_str(), false));
    EXPECT_EQ(back.Count(), 2);
}

TEST(BarFont, ImportChecks) {
    barfontlist list;
    add_font(list, "Good", 203, kSymQrCode);
    WString path = temp_path("check.sbf");
    ASSERT_TRUE(list.Save(path.c_str(), true));
    prtfile in(path.c_str(), prtfile::kRead);
    std::vector<unsigned char> file(static_cast<size_t>(in.size()));
    in.Read(file.data(), static_cast<LONG>(file.size()));
    size_t record = 9;
    EXPECT_EQ(SbfProblem(file.data(), file.size(), &record), nullptr);
    EXPECT_EQ(record, 0u);

    auto problem = [&](size_t at, unsigned char value) {
        std::vector<unsigned char> damaged = file;
        damaged[at] = value;
        return SbfProblem(damaged.data(), damaged.size(), &record) != nullptr && record == (at >= 8 ? 1u : 0u);
    };
    EXPECT_TRUE(problem(8 + barfont::kSym2D, 30));  // unknown symbology
    EXPECT_TRUE(problem(8 + barfont::kSym2D, 3));   // linear id in a 2D record
    EXPECT_TRUE(problem(8 + barfont::kName, '/'));  // a character names cannot have
    EXPECT_TRUE(problem(8 + barfont::kDpi + 2, 1)); // resolution out of range
    EXPECT_TRUE(problem(4, 92));                    // record size
    file.pop_back();
    EXPECT_NE(SbfProblem(file.data(), file.size(), &record), nullptr);
}
