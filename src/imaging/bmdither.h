// Reduces a 24-bit picture (bytes blue, green, red), in place, to what a
// label printer prints: black and white, on/off colour planes, or the nearest
// entries of a palette of up to 16 colours. Every step is integer arithmetic
// whose results are fixed to the last bit (previews, `mrlprint dither` and the
// printer path must agree), so faster paths must give the same bytes.
#pragma once

#include "../devmode/layout.h"
#include "../foundation/compat.h"

class bmDither {
public:
    enum { kMono = 0, kPalette = 1, kPlanes = 2, kPlanesBlack = 3 };
    // Widths and heights are 16-bit counters in the engine's arithmetic.
    static constexpr LONG kMaxSide = 32767;

    bmDither();
    ~bmDither();
    bmDither(const bmDither &) = delete;
    bmDither &operator=(const bmDither &) = delete;

    // Row y starts at bits + y * stride (a negative stride walks upwards).
    void SetBitmap(BYTE *bits, LONG width, LONG height, LONG stride);
    // The caller's row array, kept by reference; rows are width * 3 bytes.
    void SetBitmap(BYTE **rows, LONG width, LONG height);
    // Ignored unless 1 <= count <= 16. Entries are 0x00BBGGRR.
    void SetPalette(const DWORD *colours, LONG count);
    void SetDither(const dithercfg &cfg);
    void SetColorMode(SHORT mode, bool index_output);

    void Dither();
    // Dithers a copy at twice the size and averages every 2 x 2 block back:
    // how the printed dots look on screen. Unchanged when memory runs out.
    void DitherSmooth();

    static void GetAlgebraicSequence(SHORT index, LONG *A, LONG *B, LONG *C);

    // The threshold matrix of an ordered method (sizes outside the tables
    // take the nearest one): values row by row, side, scale.
    struct Matrix {
        const BYTE *values;
        int n;
        int scale;
    };
    static Matrix OrderedMatrix(const dithercfg &cfg);
    // One channel byte (0 blue, 1 green, 2 red) after negative, brightness,
    // offset and contrast, before the clamp: 16-bit arithmetic.
    static SHORT AdjustChannel(const dithercfg &cfg, int channel, int c);

    SHORT closest_index() const { return closest_; }
    SHORT second_index() const { return second_; }

private:
    BYTE *data_row(LONG y) const { return y < height_ ? rows_[y] : nullptr; }
    BYTE *data_row_col(LONG y, LONG x) const { return rows_[y] + 3 * x; }

    void Run();
    // Monochrome without flips, one row at a time from adjustment to result;
    // false when the settings need the whole-picture stages.
    bool MonoRows();
    void FlipX();
    void FlipY();
    void ColorAdjust();
    // Writes the closest (and, when `second` is given, the second-closest
    // distinct) palette colour; stores both indices.
    void FindClosestColors(const BYTE *pixel, BYTE *closest, BYTE *second, DWORD *d1, DWORD *d2);
    BYTE ColorIndex(bool r_on, bool g_on, bool b_on) const;
    void Dither_None();
    void Dither_Ordered();
    void Dither_Algebraic();
    void Dither_ErrorDiffusion();
    void DiffuseError(BYTE *p, LONG e, LONG w, LONG d);
    void DiffuseError(BYTE *p, LONG eR, LONG eG, LONG eB, LONG w, LONG d);
    // Writes one result: the colour, or byte 0 only with index output.
    void Put(BYTE *p, const BYTE q[3], SHORT palette_index);

    BYTE **rows_;
    LONG width_;
    LONG height_;
    LONG stride_;
    bool owns_rows_;
    DWORD palette_[16];
    SHORT palette_count_;
    SHORT color_mode_;
    bool index_output_;
    SHORT closest_;
    SHORT second_;
    SHORT x_offset_;
    SHORT y_offset_;
    dithercfg cfg_;
};

BYTE NormalizeToRange(SHORT v);
