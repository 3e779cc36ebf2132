// The dithering engine against the worked numbers it is built to, and its
// fast paths against a plain rendering of the same rules.
#include "imaging/bmdither.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {

struct Image {
    LONG w, h;
    std::vector<BYTE> px;
    Image(LONG w_, LONG h_, BYTE b, BYTE g, BYTE r) : w(w_), h(h_), px(size_t(w_ * h_ * 3)) {
        for (size_t i = 0; i < px.size(); i += 3)
            px[i] = b, px[i + 1] = g, px[i + 2] = r;
    }
    BYTE *at(LONG x, LONG y) { return &px[size_t(3 * (y * w + x))]; }
};

dithercfg settings(SHORT method) {
    dithercfg c{};
    c.Reset();
    c.method = method;
    c.cluster_size = 0;
    return c;
}

void run(Image &im, const dithercfg &c, SHORT mode, bool smooth = false, bool index = false) {
    bmDither d;
    d.SetBitmap(im.px.data(), im.w, im.h, im.w * 3);
    d.SetDither(c);
    d.SetColorMode(mode, index);
    smooth ? d.DitherSmooth() : d.Dither();
}

TEST(Dither, WorkedNumbers) {
    const SHORT kNone = 9; // a method value that only adjusts
    struct Case {
        const char *what;
        SHORT mode, brightness, contrast, flags;
        BYTE in[3], out[3]; // blue, green, red
    } cases[] = {
        {"negative black and white", 2, 0, 0, dithercfg::kNegative, {0, 255, 0}, {255, 1, 255}},
        {"brightness past 255 back by contrast", 2, 100, -50, 0, {200, 200, 200}, {214, 214, 214}},
        {"grey of pure red", 0, 0, 0, 0, {0, 0, 255}, {76, 76, 76}},
        {"grey of pure green", 0, 0, 0, 0, {0, 255, 0}, {140, 140, 140}},
        {"grey of pure blue", 0, 0, 0, 0, {255, 0, 0}, {38, 38, 38}},
    };
    for (const Case &k : cases) {
        Image im(1, 1, k.in[0], k.in[1], k.in[2]);
        dithercfg c = settings(kNone);
        c.brightness = k.brightness, c.contrast = k.contrast, c.flags = k.flags;
        run(im, c, k.mode);
        EXPECT_EQ(std::vector<BYTE>(k.out, k.out + 3), im.px) << k.what;
    }

    // Bayer 2 x 2: 64 is not above the threshold 64, so one pixel in four.
    for (BYTE grey : {64, 65}) {
        Image im(2, 2, grey, grey, grey);
        dithercfg c = settings(dithercfg::kBayer);
        c.bayer_size = 0;
        run(im, c, bmDither::kMono);
        int on = 0;
        for (LONG y = 0; y < 2; ++y)
            for (LONG x = 0; x < 2; ++x)
                on += im.at(x, y)[0] == 255;
        EXPECT_EQ(grey == 64 ? 1 : 2, on);
    }

    // Floyd-Steinberg over 128: on; the next falls to 128 - 55 = 73 (off) and
    // passes -73 on, lifting the third to 128 + 31 = 159 (on).
    Image fs(3, 1, 128, 128, 128);
    run(fs, settings(dithercfg::kDiffusion), bmDither::kMono);
    EXPECT_EQ((std::vector<BYTE>{255, 255, 255, 0, 0, 0, 255, 255, 255}), fs.px);

    // Algebraic index 0 (1, 1, 2): a checkerboard of 128.
    Image alg(4, 4, 128, 128, 128);
    dithercfg c = settings(dithercfg::kAlgebraic);
    c.algebraic = 0;
    run(alg, c, bmDither::kMono);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x)
            EXPECT_EQ((x + y) % 2 ? 0 : 255, alg.at(x, y)[0]) << x << "," << y;

    LONG A = 0, B = 0, C = 0;
    bmDither::GetAlgebraicSequence(18, &A, &B, &C);
    EXPECT_EQ((std::vector<LONG>{872, 1278, 1873}), (std::vector<LONG>{A, B, C}));
}

TEST(Dither, SmoothGivesFiveLevelsAndPalettesKeepTheirLimits) {
    std::set<BYTE> levels;
    for (SHORT method = 0; method <= 4; ++method)
        for (BYTE grey = 0; grey < 250; grey += 7) {
            Image im(9, 5, grey, grey, grey);
            run(im, settings(method), bmDither::kMono, true);
            levels.insert(im.px.begin(), im.px.end());
        }
    EXPECT_EQ((std::set<BYTE>{0, 63, 127, 191, 255}), levels);

    // 17 entries are refused: the black-and-white palette stays.
    DWORD bw[2] = {0x000000, 0xFFFFFF}, many[17] = {};
    for (DWORD &m : many)
        m = 0x0000FF;
    Image im(2, 1, 10, 10, 10);
    im.at(1, 0)[0] = im.at(1, 0)[1] = im.at(1, 0)[2] = 240;
    bmDither d;
    d.SetBitmap(im.px.data(), 2, 1, 6);
    d.SetDither(settings(dithercfg::kThreshold));
    d.SetPalette(bw, 2);
    d.SetPalette(many, 17);
    d.SetColorMode(bmDither::kPalette, true);
    d.Dither();
    EXPECT_EQ(0, im.px[0]);
    EXPECT_EQ(1, im.px[3]);
}

} // namespace

namespace {

// Mirroring commutes with the per-pixel adjustment, so dithering a picture
// with the mirror flag (the whole-picture stages) must equal dithering its
// mirror image without it (the row-by-row path).
TEST(Dither, RowPathEqualsWholePictureStages) {
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        const LONG w = 1 + LONG(rng() % 70), h = 1 + LONG(rng() % 9);
        Image im(w, h, 0, 0, 0), mirrored(w, h, 0, 0, 0);
        for (BYTE &b : im.px)
            b = BYTE(rng());
        for (LONG y = 0; y < h; ++y)
            for (LONG x = 0; x < w; ++x)
                std::copy(im.at(x, y), im.at(x, y) + 3, mirrored.at(w - 1 - x, y));
        dithercfg c = settings(SHORT(rng() % 5));
        if (round % 2) { // half with default adjustments
            c.brightness = SHORT(int(rng() % 201) - 100), c.contrast = SHORT(int(rng() % 201) - 100);
            c.red = SHORT(int(rng() % 201) - 100), c.blue = SHORT(int(rng() % 201) - 100);
            c.flags = SHORT(rng() % 2 ? dithercfg::kNegative : 0);
        }
        c.bayer_size = SHORT(rng() % 3), c.cluster_size = SHORT(rng() % 4);
        c.kernel = SHORT(rng() % 2), c.algebraic = SHORT(rng() % 20);
        const bool index = rng() % 3 == 0;
        run(mirrored, c, bmDither::kMono, false, index);
        c.flags = SHORT(c.flags | dithercfg::kMirror);
        run(im, c, bmDither::kMono, false, index);
        ASSERT_EQ(im.px, mirrored.px) << "round " << round << " method " << c.method << " w " << w;
    }
}

} // namespace
