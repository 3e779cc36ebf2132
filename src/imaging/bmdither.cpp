#include "bmdither.h"

#include "../foundation/util.h"

#include <cstring>
#include <new>

namespace {

// Intermediate values are 16-bit in the engine's arithmetic: settings far
// outside their ranges wrap the same way on every build.
inline SHORT w16(int32_t v) { return static_cast<SHORT>(static_cast<uint16_t>(v)); }

const BYTE dither_matrix_2[4] = {0, 2, 3, 1};
const BYTE dither_matrix_4[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
const BYTE dither_matrix_8[64] = {0,  32, 8,  40, 2,  34, 10, 42, 48, 16, 56, 24, 50, 18, 58, 26,
                                  12, 44, 4,  36, 14, 46, 6,  38, 60, 28, 52, 20, 62, 30, 54, 22,
                                  3,  35, 11, 43, 1,  33, 9,  41, 51, 19, 59, 27, 49, 17, 57, 25,
                                  15, 47, 7,  39, 13, 45, 5,  37, 63, 31, 55, 23, 61, 29, 53, 21};
const BYTE halftone_matrix_2[4] = {0, 1, 2, 3};
const BYTE halftone_matrix_4[16] = {0, 2, 8, 10, 4, 6, 12, 14, 9, 11, 1, 3, 13, 15, 5, 7};
const BYTE halftone_matrix_6[36] = {16, 12, 14, 18, 22, 20, 8,  0,  2,  26, 34, 32, 10, 4,  6,  24, 30, 28,
                                    19, 23, 21, 17, 13, 15, 27, 35, 33, 9,  1,  3,  25, 31, 29, 11, 5,  7};
const BYTE halftone_matrix_8[64] = {30, 24, 26, 28, 32, 38, 36, 34, 22, 0,  2,  14, 40, 62, 60, 48,
                                    18, 4,  6,  12, 44, 58, 56, 50, 20, 10, 8,  16, 42, 52, 54, 46,
                                    33, 39, 37, 35, 31, 25, 27, 29, 41, 63, 61, 49, 23, 1,  3,  15,
                                    45, 59, 57, 51, 19, 5,  7,  13, 43, 53, 55, 47, 21, 11, 9,  17};

const uint16_t g_sequence[22] = {1,  1,  2,  3,   4,   6,   9,   13,  19,   28,   41,
                                 60, 88, 129, 189, 277, 406, 595, 872, 1278, 1873, 2745};

// Byte 2 is red, 1 green, 0 blue; palette entries hold red in the low byte.
inline BYTE pal_r(DWORD c) { return BYTE(c); }
inline BYTE pal_g(DWORD c) { return BYTE(c >> 8); }
inline BYTE pal_b(DWORD c) { return BYTE(c >> 16); }

inline DWORD distance(DWORD c, const BYTE *p) {
    DWORD R = p[2], G = p[1], B = p[0];
    DWORD Rp = pal_r(c), Gp = pal_g(c), Bp = pal_b(c);
    DWORD m = (Rp + R) / 2;
    DWORD dR = Rp - R, dG = Gp - G, dB = Bp - B;
    return (((m + 512) * dR * dR) >> 8) + 4 * dG * dG + (((767 - m) * dB * dB) >> 8);
}

// Per-channel adjustment up to (not including) the clamp, one entry per input
// byte: the adjustment is a function of the byte alone.
struct AdjustTables {
    SHORT ch[3][256]; // blue, green, red
    void Build(const dithercfg &cfg) {
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 256; ++c)
                ch[k][c] = bmDither::AdjustChannel(cfg, k, c);
    }
};

} // namespace

SHORT bmDither::AdjustChannel(const dithercfg &cfg, int channel, int c) {
    const int offsets[3] = {cfg.blue, cfg.green, cfg.red};
    SHORT v = SHORT(c);
    if (cfg.flags & dithercfg::kNegative)
        v = w16(256 - v);
    v = w16(v + cfg.brightness + offsets[channel]);
    if (cfg.contrast != 0)
        v = w16(mrl::__muldiv(w16(v - 128), w16(cfg.contrast + 100), 100) + 128);
    return v;
}

bmDither::Matrix bmDither::OrderedMatrix(const dithercfg &cfg) {
    static const Matrix bayer[3] = {{dither_matrix_2, 2, 64}, {dither_matrix_4, 4, 16}, {dither_matrix_8, 8, 4}};
    static const Matrix cluster[4] = {
        {halftone_matrix_2, 2, 64}, {halftone_matrix_4, 4, 16}, {halftone_matrix_6, 6, 7}, {halftone_matrix_8, 8, 4}};
    // The device mode's validation keeps sizes in range; a hand-made record must not index past.
    const SHORT b = cfg.bayer_size < 0 ? 0 : cfg.bayer_size > 2 ? 2 : cfg.bayer_size;
    const SHORT c = cfg.cluster_size < 0 ? 0 : cfg.cluster_size > 3 ? 3 : cfg.cluster_size;
    return cfg.method == dithercfg::kBayer ? bayer[b] : cluster[c];
}

BYTE NormalizeToRange(SHORT v) { return v <= 0 ? 0 : v >= 255 ? 255 : BYTE(v); }

bmDither::bmDither()
    : rows_(nullptr), width_(0), height_(0), stride_(0), owns_rows_(false), palette_{}, palette_count_(1),
      color_mode_(kMono), index_output_(false), closest_(-1), second_(-1), x_offset_(0), y_offset_(0), cfg_{} {}

bmDither::~bmDither() {
    if (owns_rows_)
        delete[] rows_;
}

void bmDither::SetBitmap(BYTE *bits, LONG width, LONG height, LONG stride) {
    if (owns_rows_)
        delete[] rows_;
    rows_ = nullptr;
    owns_rows_ = false;
    width_ = height_ = 0;
    if (height > 0 && height <= kMaxSide) {
        rows_ = new (std::nothrow) BYTE *[size_t(height)];
        if (rows_) {
            owns_rows_ = true;
            for (LONG y = 0; y < height; ++y)
                rows_[y] = bits + ptrdiff_t(y) * stride;
        }
    }
    if (rows_) {
        width_ = width;
        height_ = height;
    }
    stride_ = stride;
}

void bmDither::SetBitmap(BYTE **rows, LONG width, LONG height) {
    if (owns_rows_)
        delete[] rows_;
    owns_rows_ = false;
    rows_ = rows;
    width_ = rows ? width : 0;
    height_ = rows ? height : 0;
    stride_ = width * 3;
}

void bmDither::SetPalette(const DWORD *colours, LONG count) {
    if (!colours || count < 1 || count > 16)
        return;
    std::memcpy(palette_, colours, sizeof(DWORD) * size_t(count));
    palette_count_ = SHORT(count);
}

void bmDither::SetDither(const dithercfg &cfg) { cfg_ = cfg; }

void bmDither::SetColorMode(SHORT mode, bool index_output) {
    color_mode_ = mode;
    index_output_ = index_output;
}

void bmDither::GetAlgebraicSequence(SHORT index, LONG *A, LONG *B, LONG *C) {
    if (!A || !B || !C || index < 0 || index > 19)
        return;
    *A = g_sequence[index];
    *B = g_sequence[index + 1];
    *C = g_sequence[index + 2];
}

void bmDither::Dither() {
    if (!rows_ || width_ <= 0 || height_ <= 0 || width_ > kMaxSide || height_ > kMaxSide)
        return;
    Run();
}

void bmDither::Run() {
    if (MonoRows())
        return;
    ColorAdjust();
    if (cfg_.flags & dithercfg::kMirror)
        FlipX();
    if (cfg_.flags & dithercfg::kFlip)
        FlipY();
    switch (cfg_.method) {
    case dithercfg::kThreshold:
        Dither_None();
        break;
    case dithercfg::kBayer:
    case dithercfg::kCluster:
        Dither_Ordered();
        break;
    case dithercfg::kAlgebraic:
        Dither_Algebraic();
        break;
    case dithercfg::kDiffusion:
        Dither_ErrorDiffusion();
        break;
    default:
        break;
    }
}

void bmDither::FlipX() {
    for (LONG y = 0; y < height_; ++y)
        for (LONG x = 0; x < width_ / 2; ++x) {
            BYTE *a = data_row_col(y, x), *b = data_row_col(y, width_ - 1 - x);
            for (int k = 0; k < 3; ++k) {
                BYTE t = a[k];
                a[k] = b[k];
                b[k] = t;
            }
        }
}

void bmDither::FlipY() {
    for (LONG y = 0; y < height_ / 2; ++y) {
        BYTE *a = data_row(y), *b = data_row(height_ - 1 - y);
        for (LONG i = 0; i < 3 * width_; ++i) {
            BYTE t = a[i];
            a[i] = b[i];
            b[i] = t;
        }
    }
}

void bmDither::ColorAdjust() {
    AdjustTables t;
    t.Build(cfg_);
    if (color_mode_ == kMono) {
        // The grey of every (b, g, r): 16-bit sums of per-channel products,
        // divided and clamped through one table over all 65536 sums.
        SHORT r6[256], g11[256], b3[256];
        for (int c = 0; c < 256; ++c) {
            r6[c] = w16(6 * t.ch[2][c]);
            g11[c] = w16(11 * t.ch[1][c]);
            b3[c] = w16(3 * t.ch[0][c]);
        }
        static const struct Grey {
            BYTE v[65536];
            Grey() {
                for (int s = 0; s < 65536; ++s)
                    v[s] = NormalizeToRange(w16(SHORT(uint16_t(s)) / 20));
            }
        } grey_table;
        const BYTE *grey = grey_table.v;
        for (LONG y = 0; y < height_; ++y) {
            BYTE *p = data_row(y);
            for (LONG x = 0; x < width_; ++x, p += 3) {
                BYTE v = grey[uint16_t(r6[p[2]] + g11[p[1]] + b3[p[0]])];
                p[0] = p[1] = p[2] = v;
            }
        }
        return;
    }
    BYTE lut[3][256];
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 256; ++c)
            lut[k][c] = NormalizeToRange(t.ch[k][c]);
    for (LONG y = 0; y < height_; ++y) {
        BYTE *p = data_row(y);
        for (LONG x = 0; x < width_; ++x, p += 3) {
            p[0] = lut[0][p[0]];
            p[1] = lut[1][p[1]];
            p[2] = lut[2][p[2]];
        }
    }
}

void bmDither::FindClosestColors(const BYTE *pixel, BYTE *closest, BYTE *second, DWORD *d1, DWORD *d2) {
    DWORD dist[16];
    SHORT best = 0;
    DWORD bound = 0x0F000000;
    for (SHORT i = 0; i < palette_count_; ++i) {
        dist[i] = distance(palette_[i], pixel);
        if (dist[i] < bound) {
            bound = dist[i];
            best = i;
        }
    }
    closest_ = best;
    const DWORD c = palette_[best];
    if (d1)
        *d1 = bound;
    if (second) {
        // A palette of one colour has no second: the closest stands in for it.
        SHORT next = best;
        DWORD bound2 = 0x0F000000;
        bool found = false;
        for (SHORT i = 0; i < palette_count_; ++i)
            if (palette_[i] != c && dist[i] < bound2) {
                bound2 = dist[i];
                next = i;
                found = true;
            }
        second_ = next;
        if (d2)
            *d2 = found ? bound2 : bound;
        const DWORD s = palette_[next];
        second[0] = pal_b(s), second[1] = pal_g(s), second[2] = pal_r(s);
    }
    if (closest)
        closest[0] = pal_b(c), closest[1] = pal_g(c), closest[2] = pal_r(c);
}

BYTE bmDither::ColorIndex(bool r_on, bool g_on, bool b_on) const {
    if (color_mode_ == kMono)
        return r_on ? 1 : 0;
    BYTE v = BYTE((b_on ? 0 : 8) + (r_on ? 0 : 4) + (g_on ? 0 : 2));
    return color_mode_ == kPlanesBlack && v == 14 ? 1 : v;
}

void bmDither::Put(BYTE *p, const BYTE q[3], SHORT palette_index) {
    if (!index_output_) {
        p[0] = q[0], p[1] = q[1], p[2] = q[2];
    } else if (color_mode_ == kPalette) {
        p[0] = BYTE(palette_index);
    } else {
        p[0] = ColorIndex(q[2] != 0, q[1] != 0, q[0] != 0);
    }
}

void bmDither::Dither_None() {
    for (LONG y = 0; y < height_; ++y) {
        BYTE *p = data_row(y);
        for (LONG x = 0; x < width_; ++x, p += 3) {
            BYTE q[3];
            if (color_mode_ == kPalette) {
                FindClosestColors(p, q, nullptr, nullptr, nullptr);
            } else {
                for (int k = 0; k < 3; ++k)
                    q[k] = p[k] >= 128 ? 255 : 0;
            }
            Put(p, q, closest_);
        }
    }
}

void bmDither::Dither_Ordered() {
    const Matrix m = OrderedMatrix(cfg_);
    // Threshold rows laid out over the whole width: the inner loop only reads.
    BYTE *trow = new (std::nothrow) BYTE[size_t(width_) * m.n];
    if (!trow)
        return;
    for (int r = 0; r < m.n; ++r)
        for (LONG x = 0; x < width_; ++x)
            trow[size_t(r) * width_ + x] = BYTE(m.values[r * m.n + (x + x_offset_) % m.n] * m.scale);
    for (LONG y = 0; y < height_; ++y) {
        BYTE *p = data_row(y);
        const BYTE *t = trow + size_t((y + y_offset_) % m.n) * width_;
        if (color_mode_ == kMono && !index_output_) {
            for (LONG x = 0; x < width_; ++x, p += 3) {
                BYTE v = p[0] > t[x] ? 255 : 0;
                p[0] = p[1] = p[2] = v;
            }
            continue;
        }
        for (LONG x = 0; x < width_; ++x, p += 3) {
            BYTE q[3];
            if (color_mode_ == kPalette) {
                BYTE s[3];
                DWORD d1, d2;
                FindClosestColors(p, q, s, &d1, &d2);
                if (DWORD(t[x]) * (d1 + d2) >= 255 * d2) {
                    std::memcpy(q, s, 3);
                    Put(p, q, second_);
                    continue;
                }
            } else {
                for (int k = 0; k < 3; ++k)
                    q[k] = p[k] > t[x] ? 255 : 0;
            }
            Put(p, q, closest_);
        }
    }
    delete[] trow;
}

void bmDither::Dither_Algebraic() {
    const SHORT i = cfg_.algebraic < 0 ? 0 : cfg_.algebraic > 19 ? 19 : cfg_.algebraic;
    LONG A = 0, B = 0, C = 1;
    GetAlgebraicSequence(i, &A, &B, &C);
    for (LONG y = 0; y < height_; ++y) {
        BYTE *p = data_row(y);
        const DWORD ky = DWORD((y + y_offset_) * A);
        for (LONG x = 0; x < width_; ++x, p += 3) {
            const DWORD k = (ky + DWORD((x + x_offset_) * B)) % DWORD(C);
            BYTE q[3];
            if (color_mode_ == kPalette) {
                BYTE s[3];
                DWORD d1, d2;
                FindClosestColors(p, q, s, &d1, &d2);
                if (DWORD(C) * d2 <= k * (d1 + d2)) {
                    std::memcpy(q, s, 3);
                    Put(p, q, second_);
                    continue;
                }
            } else {
                for (int c = 0; c < 3; ++c)
                    q[c] = DWORD(C) * p[c] > k * 256 ? 255 : 0;
            }
            Put(p, q, closest_);
        }
    }
}

void bmDither::DiffuseError(BYTE *p, LONG e, LONG w, LONG d) { p[0] = NormalizeToRange(w16(p[0] - e * w / d)); }

void bmDither::DiffuseError(BYTE *p, LONG eR, LONG eG, LONG eB, LONG w, LONG d) {
    p[2] = NormalizeToRange(w16(p[2] - eR * w / d));
    p[1] = NormalizeToRange(w16(p[1] - eG * w / d));
    p[0] = NormalizeToRange(w16(p[0] - eB * w / d));
}

namespace {
struct Tap {
    int dx, dy, w;
};
const Tap kFloyd[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
const Tap kJarvis[] = {{1, 0, 7},  {2, 0, 5},  {-2, 1, 3}, {-1, 1, 5}, {0, 1, 7}, {1, 1, 5},
                       {2, 1, 3},  {-2, 2, 1}, {-1, 2, 3}, {0, 2, 5},  {1, 2, 3}, {2, 2, 1}};
} // namespace

void bmDither::Dither_ErrorDiffusion() {
    const bool jarvis = cfg_.kernel == 1;
    const Tap *taps = jarvis ? kJarvis : kFloyd;
    const int ntaps = jarvis ? 12 : 4;
    const LONG D = jarvis ? 48 : 16;
    for (LONG y = 0; y < height_; ++y) {
        BYTE *row[3] = {data_row(y), data_row(y + 1), data_row(y + 2)};
        for (LONG x = 0; x < width_; ++x) {
            BYTE *p = row[0] + 3 * x;
            BYTE q[3];
            LONG e[3];
            if (color_mode_ == kMono) {
                q[0] = q[1] = q[2] = p[0] > 127 ? 255 : 0;
                e[0] = LONG(q[0]) - p[0];
            } else {
                if (color_mode_ == kPalette)
                    FindClosestColors(p, q, nullptr, nullptr, nullptr);
                else
                    for (int k = 0; k < 3; ++k)
                        q[k] = p[k] > 127 ? 255 : 0;
                for (int k = 0; k < 3; ++k)
                    e[k] = LONG(q[k]) - p[k];
            }
            for (int i = 0; i < ntaps; ++i) {
                const LONG nx = x + taps[i].dx;
                BYTE *r = row[taps[i].dy];
                if (!r || nx < 0 || nx >= width_)
                    continue;
                if (color_mode_ == kMono)
                    DiffuseError(r + 3 * nx, e[0], taps[i].w, D);
                else
                    DiffuseError(r + 3 * nx, e[2], e[1], e[0], taps[i].w, D);
            }
            if (color_mode_ == kMono && index_output_)
                p[0] = q[0] == 255 ? 1 : 0;
            else
                Put(p, q, closest_);
        }
    }
}

void bmDither::DitherSmooth() {
    if (!rows_ || width_ <= 0 || height_ <= 0 || width_ > kMaxSide || height_ > kMaxSide)
        return;
    // Two copy rows per source row in one block of 4 x |stride| bytes; never
    // narrower than the doubled row itself.
    const size_t span = size_t(stride_ < 0 ? -int64_t(stride_) : stride_);
    const size_t half = 2 * (span > size_t(width_) * 3 ? span : size_t(width_) * 3);
    const LONG w2 = 2 * width_, h2 = 2 * height_;
    BYTE *copy = new (std::nothrow) BYTE[half * 2 * size_t(height_)];
    BYTE **rows2 = new (std::nothrow) BYTE *[size_t(h2)];
    if (!copy || !rows2) {
        delete[] copy;
        delete[] rows2;
        return;
    }
    for (LONG y = 0; y < height_; ++y) {
        BYTE *top = copy + half * 2 * size_t(y);
        rows2[2 * y] = top;
        rows2[2 * y + 1] = top + half;
        const BYTE *s = data_row(y);
        for (LONG x = 0; x < width_; ++x, s += 3) {
            std::memcpy(top + 6 * x, s, 3);
            std::memcpy(top + 6 * x + 3, s, 3);
        }
        std::memcpy(top + half, top, size_t(w2) * 3);
    }
    {
        bmDither twice;
        twice.SetBitmap(rows2, w2, h2);
        twice.SetDither(cfg_);
        twice.SetPalette(palette_, palette_count_);
        twice.SetColorMode(color_mode_, index_output_);
        twice.Run();
    }
    for (LONG y = 0; y < height_; ++y) {
        BYTE *d = data_row(y);
        const BYTE *a = rows2[2 * y], *b = rows2[2 * y + 1];
        for (LONG x = 0; x < width_; ++x, d += 3, a += 6, b += 6)
            for (int k = 0; k < 3; ++k)
                d[k] = BYTE((a[k] + a[k + 3] + b[k] + b[k + 3]) >> 2);
    }
    delete[] rows2;
    delete[] copy;
}
