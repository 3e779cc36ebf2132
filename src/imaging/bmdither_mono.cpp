// Monochrome dithering row by row: the adjusted grey of a row is made into a
// small buffer just before the row (or, for error diffusion, the rows it
// spreads into) is needed, so the picture is read and written once. Every
// value is the one the whole-picture stages produce; only the order of
// independent work changes.
#include "bmdither.h"


#include <cstring>
#include <new>
#include <vector>

#if defined(__GNUC__) && defined(__x86_64__)
#define MRL_SSSE3 1
#include <immintrin.h>
#endif

namespace {

inline SHORT w16(int32_t v) { return static_cast<SHORT>(static_cast<uint16_t>(v)); }
inline BYTE clamp8(int v) { return v <= 0 ? 0 : v >= 255 ? 255 : BYTE(v); }

// The adjusted grey of a row of pixels.
class GreyRows {
public:
    explicit GreyRows(const dithercfg &cfg) {
        const int weights[3] = {3, 11, 6};
        identity_ = true;
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 256; ++c) {
                const SHORT v = bmDither::AdjustChannel(cfg, k, c);
                identity_ = identity_ && v == c;
                part_[k][c] = uint16_t(weights[k] * v);
            }
    }
    void operator()(const BYTE *p, BYTE *grey, LONG w) const {
        LONG x = 0;
#ifdef MRL_SSSE3
        if (identity_ && ssse3()) {
            x = identity_simd(p, grey, w);
            p += 3 * x;
        }
#endif
        if (identity_) {
            // (6R + 11G + 3B) / 20 stays within 0..255 without adjustment.
            for (; x < w; ++x, p += 3)
                grey[x] = BYTE((6 * p[2] + 11 * p[1] + 3 * p[0]) / 20);
            return;
        }
        for (; x < w; ++x, p += 3)
            grey[x] = divide(uint16_t(part_[0][p[0]] + part_[1][p[1]] + part_[2][p[2]]));
    }

    bool identity() const { return identity_; }

#ifdef MRL_SSSE3
    static bool ssse3() {
        static const bool has = __builtin_cpu_supports("ssse3");
        return has;
    }
#endif

private:
    // The 16-bit sum, divided by 20 and clamped.
    static BYTE divide(uint16_t sum) { return clamp8(w16(SHORT(sum) / 20)); }

#ifdef MRL_SSSE3
public:
    // The unadjusted grey of 16 pixels (48 bytes).
    __attribute__((target("ssse3"))) static __m128i grey16(const BYTE *p) {
        static const struct Masks {
            __m128i m[3][3]; // channel (b, g, r) x source register
            Masks() {
                for (int ch = 0; ch < 3; ++ch)
                    for (int reg = 0; reg < 3; ++reg) {
                        alignas(16) signed char b[16];
                        for (int lane = 0; lane < 16; ++lane) {
                            int at = 3 * lane + ch - 16 * reg;
                            b[lane] = at >= 0 && at < 16 ? static_cast<signed char>(at) : -1;
                        }
                        m[ch][reg] = _mm_load_si128(reinterpret_cast<const __m128i *>(b));
                    }
            }
        } masks;
        const __m128i zero = _mm_setzero_si128();
        const __m128i w6 = _mm_set1_epi16(6), w11 = _mm_set1_epi16(11), w3 = _mm_set1_epi16(3);
        // s * 3277 >> 16 equals s / 20 for every s up to 5100.
        const __m128i magic = _mm_set1_epi16(3277);
        {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16));
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 32));
            __m128i ch[3];
            for (int k = 0; k < 3; ++k)
                ch[k] = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, masks.m[k][0]), _mm_shuffle_epi8(b, masks.m[k][1])),
                                     _mm_shuffle_epi8(c, masks.m[k][2]));
            auto half = [&](__m128i (*unpack)(__m128i, __m128i)) {
                __m128i s = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(unpack(ch[2], zero), w6),
                                                        _mm_mullo_epi16(unpack(ch[1], zero), w11)),
                                          _mm_mullo_epi16(unpack(ch[0], zero), w3));
                return _mm_mulhi_epu16(s, magic);
            };
            const __m128i lo = half([](__m128i u, __m128i v) { return _mm_unpacklo_epi8(u, v); });
            const __m128i hi = half([](__m128i u, __m128i v) { return _mm_unpackhi_epi8(u, v); });
            return _mm_packus_epi16(lo, hi);
        }
    }

private:
    // Whole blocks of 16 pixels; answers how many pixels it did.
    __attribute__((target("ssse3"))) static LONG identity_simd(const BYTE *p, BYTE *grey, LONG w) {
        LONG x = 0;
        for (; x + 16 <= w; x += 16, p += 48)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(grey + x), grey16(p));
        return x;
    }
#endif

    uint16_t part_[3][256]; // blue, green, red: weight x adjusted channel, 16-bit
    bool identity_;
};

#ifdef MRL_SSSE3
// Each result byte three times; answers how many pixels it did.
__attribute__((target("ssse3"))) LONG triple_simd(BYTE *p, const BYTE *q, LONG w) {
    const __m128i m0 = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m128i m1 = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
    const __m128i m2 = _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
    LONG i = 0;
    for (; i + 16 <= w; i += 16, p += 48) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), _mm_shuffle_epi8(v, m0));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p + 16), _mm_shuffle_epi8(v, m1));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p + 32), _mm_shuffle_epi8(v, m2));
    }
    return i;
}

// Unadjusted pixels straight to 0 or 255 against a threshold row, in one
// pass over the picture; answers how many pixels it did.
__attribute__((target("ssse3"))) LONG ordered_simd(BYTE *p, const BYTE *t, LONG w) {
    const __m128i m0 = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m128i m1 = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
    const __m128i m2 = _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
    const __m128i zero = _mm_setzero_si128();
    LONG i = 0;
    for (; i + 16 <= w; i += 16, p += 48) {
        const __m128i g = GreyRows::grey16(p);
        const __m128i th = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i));
        const __m128i v = _mm_xor_si128(_mm_cmpeq_epi8(_mm_subs_epu8(g, th), zero), _mm_set1_epi8(-1));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), _mm_shuffle_epi8(v, m0));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p + 16), _mm_shuffle_epi8(v, m1));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p + 32), _mm_shuffle_epi8(v, m2));
    }
    return i;
}
#endif

#ifdef MRL_SSSE3
// Byte gathers of one channel (blue, green, red) from each of the three
// 16-byte parts of 16 pixels, twice over for the two halves of a 256-bit register.
struct Gathers {
    alignas(32) signed char m[3][3][32];
    constexpr Gathers() : m{} {
        for (int ch = 0; ch < 3; ++ch)
            for (int reg = 0; reg < 3; ++reg)
                for (int lane = 0; lane < 32; ++lane) {
                    const int at = 3 * (lane % 16) + ch - 16 * reg;
                    m[ch][reg][lane] = at >= 0 && at < 16 ? static_cast<signed char>(at) : -1;
                }
    }
};
constexpr Gathers kGathers;

inline __m128i load(const BYTE *q) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(q)); }
inline void store(BYTE *q, __m128i x) { _mm_storeu_si128(reinterpret_cast<__m128i *>(q), x); }
__attribute__((target("avx2"))) inline __m256i both(__m128i lo, __m128i hi) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

// As ordered_simd, 32 pixels at a time.
__attribute__((target("avx2"))) LONG ordered_avx2(BYTE *p, const BYTE *t, LONG w) {
    __m256i gather[3][3];
    for (int ch = 0; ch < 3; ++ch)
        for (int reg = 0; reg < 3; ++reg)
            gather[ch][reg] = _mm256_load_si256(reinterpret_cast<const __m256i *>(kGathers.m[ch][reg]));
    const __m256i zero = _mm256_setzero_si256(), ones = _mm256_set1_epi8(-1);
    const __m256i w6 = _mm256_set1_epi16(6), w11 = _mm256_set1_epi16(11), w3 = _mm256_set1_epi16(3);
    const __m256i magic = _mm256_set1_epi16(3277); // s * 3277 >> 16 == s / 20 up to 5100
    const __m256i m0 = _mm256_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 0, 0, 0, 1, 1, 1, 2, 2, 2, 3,
                                        3, 3, 4, 4, 4, 5);
    const __m256i m1 = _mm256_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10, 5, 5, 6, 6, 6, 7, 7, 7, 8,
                                        8, 8, 9, 9, 9, 10, 10);
    const __m256i m2 = _mm256_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15, 10, 11, 11,
                                        11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
    LONG i = 0;
    for (; i + 32 <= w; i += 32, p += 96) {
        const __m256i src[3] = {both(load(p), load(p + 48)), both(load(p + 16), load(p + 64)),
                                both(load(p + 32), load(p + 80))};
        __m256i ch[3];
        for (int k = 0; k < 3; ++k)
            ch[k] = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(src[0], gather[k][0]),
                                                    _mm256_shuffle_epi8(src[1], gather[k][1])),
                                    _mm256_shuffle_epi8(src[2], gather[k][2]));
        const __m256i lo = _mm256_mulhi_epu16(
            _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(ch[2], zero), w6),
                                              _mm256_mullo_epi16(_mm256_unpacklo_epi8(ch[1], zero), w11)),
                             _mm256_mullo_epi16(_mm256_unpacklo_epi8(ch[0], zero), w3)),
            magic);
        const __m256i hi = _mm256_mulhi_epu16(
            _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(ch[2], zero), w6),
                                              _mm256_mullo_epi16(_mm256_unpackhi_epi8(ch[1], zero), w11)),
                             _mm256_mullo_epi16(_mm256_unpackhi_epi8(ch[0], zero), w3)),
            magic);
        // Per 128-bit half: pixels 0-15 of that half in order.
        const __m256i grey = _mm256_packus_epi16(lo, hi);
        const __m256i th = both(load(t + i), load(t + i + 16));
        const __m256i v = _mm256_xor_si256(_mm256_cmpeq_epi8(_mm256_subs_epu8(grey, th), zero), ones);
        const __m256i o0 = _mm256_shuffle_epi8(v, m0), o1 = _mm256_shuffle_epi8(v, m1), o2 = _mm256_shuffle_epi8(v, m2);
        store(p, _mm256_castsi256_si128(o0)), store(p + 16, _mm256_castsi256_si128(o1));
        store(p + 32, _mm256_castsi256_si128(o2)), store(p + 48, _mm256_extracti128_si256(o0, 1));
        store(p + 64, _mm256_extracti128_si256(o1, 1)), store(p + 80, _mm256_extracti128_si256(o2, 1));
    }
    return i + ordered_simd(p, t + i, w - i);
}

bool avx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

// Row results (0 or 255 each) into the picture: all three bytes, or with
// index output 1/0 in byte 0 and the adjusted grey in bytes 1 and 2.
void write_row(BYTE *p, const BYTE *q, const BYTE *grey, LONG w, bool index) {
    LONG x = 0;
    if (index) {
        for (; x < w; ++x, p += 3)
            p[0] = q[x] ? 1 : 0, p[1] = p[2] = grey[x];
        return;
    }
#ifdef MRL_SSSE3
    if (GreyRows::ssse3()) {
        x = triple_simd(p, q, w);
        p += 3 * x;
    }
#endif
    for (; x < w; ++x, p += 3)
        p[0] = p[1] = p[2] = q[x];
}

// 255 where grey > threshold.
void above(const BYTE *grey, const BYTE *t, BYTE *q, LONG w) {
    LONG x = 0;
#ifdef MRL_SSSE3
    const __m128i zero = _mm_setzero_si128();
    for (; x + 16 <= w; x += 16) {
        const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i *>(grey + x));
        const __m128i th = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + x));
        const __m128i off = _mm_cmpeq_epi8(_mm_subs_epu8(g, th), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(q + x), _mm_andnot_si128(off, _mm_set1_epi8(-1)));
    }
#endif
    for (; x < w; ++x)
        q[x] = grey[x] > t[x] ? 255 : 0;
}

} // namespace

bool bmDither::MonoRows() {
    if (color_mode_ != kMono || (cfg_.flags & (dithercfg::kMirror | dithercfg::kFlip)) || cfg_.method < 0 ||
        cfg_.method > 4)
        return false;
    const GreyRows grey_of(cfg_);
    const LONG w = width_;
    // Grey rows with two guard cells each side (error diffusion spills into
    // them; they are never read), the threshold rows and the results.
    const size_t span = size_t(w) + 4;
    std::vector<BYTE> buf;
    LONG n = 1;
    const BYTE *matrix = nullptr;
    int scale = 0;
    if (cfg_.method == dithercfg::kBayer || cfg_.method == dithercfg::kCluster) {
        const Matrix m = OrderedMatrix(cfg_);
        matrix = m.values, n = m.n, scale = m.scale;
    }
    try {
        buf.resize(span * (5 + size_t(n)));
    } catch (const std::bad_alloc &) {
        return false; // the whole-picture stages need no buffers
    }
    BYTE *line[3] = {&buf[2], &buf[span + 2], &buf[2 * span + 2]};
    BYTE *q = &buf[3 * span], *orig = &buf[4 * span], *trows = &buf[5 * span];
    for (LONG r = 0; r < n && matrix; ++r)
        for (LONG x = 0; x < w; ++x)
            trows[size_t(r) * span + x] = BYTE(matrix[r * n + (x + x_offset_) % n] * scale);
    if (cfg_.method == dithercfg::kThreshold)
        std::memset(trows, 127, size_t(w)); // on from 128: above 127
#ifdef MRL_SSSE3
    const bool fused = grey_of.identity() && !index_output_ && cfg_.method <= dithercfg::kCluster &&
                       GreyRows::ssse3();
#endif

    const bool diffusion = cfg_.method == dithercfg::kDiffusion;
    const bool jarvis = cfg_.kernel == 1;
    if (diffusion) {
        for (LONG k = 0; k < 3 && k < height_; ++k)
            grey_of(data_row(k), line[k], w);
    }
    LONG A = 0, B = 0, C = 1;
    GetAlgebraicSequence(cfg_.algebraic < 0 ? 0 : cfg_.algebraic > 19 ? 19 : cfg_.algebraic, &A, &B, &C);

    for (LONG y = 0; y < height_; ++y) {
        BYTE *p = data_row(y);
        BYTE *g = line[0];
        const BYTE *t = trows + size_t((y + y_offset_) % n) * span;
#ifdef MRL_SSSE3
        if (fused) {
            const LONG done = avx2() ? ordered_avx2(p, t, w) : ordered_simd(p, t, w);
            grey_of(p + 3 * done, g, w - done);
            above(g, t + done, q, w - done);
            write_row(p + 3 * done, q, orig, w - done, false);
            continue;
        }
#endif
        if (!diffusion)
            grey_of(p, g, w);
        // Index output keeps the adjusted grey, before any spread error.
        if (index_output_ && diffusion)
            grey_of(p, orig, w);
        else if (index_output_)
            std::memcpy(orig, g, size_t(w));
        switch (cfg_.method) {
        case dithercfg::kThreshold:
        case dithercfg::kBayer:
        case dithercfg::kCluster:
            above(g, t, q, w);
            break;
        case dithercfg::kAlgebraic: {
            DWORD k = DWORD(((y + y_offset_) * A + x_offset_ * B) % C);
            for (LONG x = 0; x < w; ++x) {
                q[x] = DWORD(C) * g[x] > k * 256 ? 255 : 0;
                k += DWORD(B);
                if (k >= DWORD(C))
                    k -= DWORD(C);
            }
            break;
        }
        default: {
            BYTE *n1 = line[1], *n2 = line[2];
            auto spread = [](BYTE &c, int e, int wt, int d) { c = clamp8(c - e * wt / d); };
            for (LONG x = 0; x < w; ++x) {
                const int v = g[x];
                const BYTE out = v > 127 ? 255 : 0;
                const int e = out - v;
                q[x] = out;
                if (!jarvis) {
                    spread(g[x + 1], e, 7, 16);
                    spread(n1[x - 1], e, 3, 16), spread(n1[x], e, 5, 16), spread(n1[x + 1], e, 1, 16);
                } else {
                    spread(g[x + 1], e, 7, 48), spread(g[x + 2], e, 5, 48);
                    spread(n1[x - 2], e, 3, 48), spread(n1[x - 1], e, 5, 48), spread(n1[x], e, 7, 48);
                    spread(n1[x + 1], e, 5, 48), spread(n1[x + 2], e, 3, 48);
                    spread(n2[x - 2], e, 1, 48), spread(n2[x - 1], e, 3, 48), spread(n2[x], e, 5, 48);
                    spread(n2[x + 1], e, 3, 48), spread(n2[x + 2], e, 1, 48);
                }
            }
            break;
        }
        }
        write_row(p, q, orig, w, index_output_);
        if (diffusion) {
            // The next row is already grey and carries its share of error.
            BYTE *done = line[0];
            line[0] = line[1], line[1] = line[2], line[2] = done;
            if (y + 3 < height_)
                grey_of(data_row(y + 3), line[2], w);
        }
    }
    return true;
}
