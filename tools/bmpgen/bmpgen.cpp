// bmpgen: draws the pictures of the language modules as 24-bit BMP files.
// Runs on the build host; every picture is computed, none is copied in.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
double smooth(double e0, double e1, double x) {
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

const Rgb kBlack{0, 0, 0};

class Image {
public:
    // A w x h design drawn zoom times larger; drawing callbacks get design coordinates.
    Image(int w, int h, Rgb fill, int zoom = 3) : w_(w * zoom), h_(h * zoom), zoom_(zoom), px_(size_t(w_) * h_, fill) {}
    int width() const { return w_; }
    int height() const { return h_; }
    Rgb &at(int x, int y) { return px_[size_t(y) * w_ + x]; }

    // Every pixel takes shade(x, y) for its centre.
    void shade(const std::function<Rgb(double, double)> &f) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                at(x, y) = f((x + 0.5) / zoom_, (y + 0.5) / zoom_);
    }
    // Paints colour where inside(x, y) holds, 4x4 supersampled for smooth edges.
    void fill(const std::function<bool(double, double)> &inside, const std::function<Rgb(double, double)> &colour) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += inside((x + (sx + 0.5) / 4) / zoom_, (y + (sy + 0.5) / 4) / zoom_);
                if (hits)
                    at(x, y) = mix(at(x, y), colour((x + 0.5) / zoom_, (y + 0.5) / zoom_), hits / 16.0);
            }
    }
    void fill(const std::function<bool(double, double)> &inside, Rgb c) {
        fill(inside, [c](double, double) { return c; });
    }

    // Scaled down to w x h, each target pixel the mean of the source area it covers.
    Image scaled(int w, int h) const {
        Image out(w, h, kBlack, 1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int x0 = x * w_ / w, x1 = std::max(x0 + 1, (x + 1) * w_ / w);
                int y0 = y * h_ / h, y1 = std::max(y0 + 1, (y + 1) * h_ / h);
                Rgb sum{0, 0, 0};
                for (int sy = y0; sy < y1; ++sy)
                    for (int sx = x0; sx < x1; ++sx) {
                        const Rgb &p = px_[size_t(sy) * w_ + sx];
                        sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
                    }
                double n = double(x1 - x0) * (y1 - y0);
                out.at(x, y) = {sum.r / n, sum.g / n, sum.b / n};
            }
        return out;
    }

    bool save(const std::string &path) const {
        const uint32_t row = (uint32_t(w_) * 3 + 3) & ~3u, data = row * h_;
        uint8_t hdr[54] = {'B', 'M'};
        auto put32 = [&](int off, uint32_t v) { std::memcpy(hdr + off, &v, 4); };
        put32(2, 54 + data);
        put32(10, 54);
        put32(14, 40);
        put32(18, uint32_t(w_));
        put32(22, uint32_t(h_));
        hdr[26] = 1;
        hdr[28] = 24;
        put32(34, data);
        put32(38, 3780);
        put32(42, 3780);
        std::vector<uint8_t> bits(data, 0);
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const Rgb &p = px_[size_t(h_ - 1 - y) * w_ + x];
                uint8_t *d = &bits[size_t(y) * row + size_t(x) * 3];
                d[0] = uint8_t(std::lround(clamp01(p.b) * 255));
                d[1] = uint8_t(std::lround(clamp01(p.g) * 255));
                d[2] = uint8_t(std::lround(clamp01(p.r) * 255));
            }
        FILE *f = std::fopen(path.c_str(), "wb");
        if (!f)
            return false;
        bool ok = std::fwrite(hdr, 1, 54, f) == 54 && std::fwrite(bits.data(), 1, bits.size(), f) == bits.size();
        return std::fclose(f) == 0 && ok;
    }

private:
    int w_, h_, zoom_;
    std::vector<Rgb> px_;
};

const Rgb kFace{0.94, 0.94, 0.94}, kWhite{1, 1, 1}, kInk{0.08, 0.08, 0.1}, kLiner{0.93, 0.86, 0.72},
    kShadow{0.55, 0.55, 0.58}, kBlue{0.16, 0.38, 0.72};

bool in_round_rect(double x, double y, double x0, double y0, double x1, double y1, double r) {
    if (x < x0 || x > x1 || y < y0 || y > y1)
        return false;
    double cx = x < x0 + r ? x0 + r : x > x1 - r ? x1 - r : x;
    double cy = y < y0 + r ? y0 + r : y > y1 - r ? y1 - r : y;
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// What is printed on a label, in label coordinates u, v in [0, 1] (upright):
// a large "F" (so that turning and mirroring show) above a row of bars.
bool label_print(double u, double v) {
    bool f = (u >= 0.14 && u <= 0.26 && v >= 0.12 && v <= 0.62) || (u >= 0.14 && u <= 0.56 && v >= 0.12 && v <= 0.22) ||
             (u >= 0.14 && u <= 0.46 && v >= 0.34 && v <= 0.43);
    static const double bars[][2] = {{0.12, 0.15}, {0.18, 0.19}, {0.23, 0.27}, {0.30, 0.31}, {0.35, 0.37}, {0.42, 0.46},
                                     {0.49, 0.50}, {0.54, 0.58}, {0.62, 0.63}, {0.67, 0.70}, {0.74, 0.75}, {0.79, 0.84}};
    if (v >= 0.72 && v <= 0.88)
        for (const auto &b : bars)
            if (u >= b[0] && u <= b[1])
                return true;
    return f || (u >= 0.64 && u <= 0.86 && v >= 0.14 && v <= 0.58 && std::fmod((v - 0.14) * 20, 2.0) < 0.8);
}

// Orientation pictures 0..15: orientation (0 upright, 1 turned 90 degrees,
// 2 turned 180, 3 turned 270) + 4 when mirrored + 8 when inverse.
Image orientation_picture(int n) {
    const int orient = n & 3;
    const bool mirror = n & 4, inverse = n & 8;
    Image img(128, 78, kFace);
    const double lx0 = 30, ly0 = 7, lx1 = 98, ly1 = 71;  // square label on a vertical liner
    img.fill([](double x, double) { return x >= 22 && x <= 106; }, kLiner);
    img.fill([&](double x, double y) { return in_round_rect(x, y, lx0 + 2, ly0 + 2, lx1 + 2, ly1 + 2, 5); }, kShadow);
    const Rgb paper = inverse ? kInk : kWhite, ink = inverse ? kWhite : kInk;
    img.fill([&](double x, double y) { return in_round_rect(x, y, lx0, ly0, lx1, ly1, 5); }, paper);
    img.fill(
        [&](double x, double y) {
            if (!in_round_rect(x, y, lx0, ly0, lx1, ly1, 5))
                return false;
            double u = (x - lx0) / (lx1 - lx0), v = (y - ly0) / (ly1 - ly0);
            if (mirror)
                u = 1 - u;
            for (int i = 0; i < orient; ++i) {  // undo quarter turns clockwise
                double t = u;
                u = v;
                v = 1 - t;
            }
            return label_print(u, v);
        },
        ink);
    // Feed direction: a small arrow on the liner pointing down.
    img.fill([](double x, double y) { return y >= 30 && y <= 48 && std::fabs(x - 114) <= 1.2; }, kShadow);
    img.fill([](double x, double y) { return y >= 46 && y <= 54 && std::fabs(x - 114) <= (54 - y) * 0.6; }, kShadow);
    return img;
}

Image wait_picture() {
    Image img(48, 52, kFace);
    const double cx = 24;
    auto glass = [cx](double x, double y) {
        if (y < 8 || y > 44)
            return false;
        double half = 2 + 14 * std::fabs(y - 26) / 18;  // two cones meeting at the waist
        return std::fabs(x - cx) <= half;
    };
    img.fill([](double x, double y) { return (y >= 4 && y <= 9 && x >= 7 && x <= 41) || (y >= 43 && y <= 48 && x >= 7 && x <= 41); },
             [](double, double y) { return mix(Rgb{0.55, 0.35, 0.18}, Rgb{0.35, 0.2, 0.1}, std::fmod(y, 5) / 5); });
    img.fill(glass, [](double x, double) { return mix(Rgb{0.86, 0.92, 0.98}, Rgb{0.7, 0.8, 0.9}, std::fabs(x - 24) / 16); });
    auto sand = [&](double x, double y) {
        return glass(x, y) && std::fabs(x - cx) <= (std::fabs(y - 26) * 14 / 18) && ((y > 17 && y < 25) || y > 36 ||
                                                                                      (y >= 25 && std::fabs(x - cx) < 0.9));
    };
    img.fill(sand, [](double, double y) { return mix(Rgb{0.95, 0.78, 0.38}, Rgb{0.85, 0.6, 0.2}, y / 48); });
    return img;
}

// Stock editor: a label on its liner with the gaps either side, dimension marks.
Image stock_picture() {
    Image img(165, 110, kFace);
    img.fill([](double x, double) { return x >= 20 && x <= 145; }, kLiner);
    for (double top : {-30.0, 22.0, 74.0})
        img.fill([top](double x, double y) { return in_round_rect(x, y, 40, top, 125, top + 46, 4); },
                 top == 22.0 ? kWhite : Rgb{0.98, 0.97, 0.93});
    const Rgb mark{0.78, 0.1, 0.1};
    img.fill([](double x, double y) { return std::fabs(y - 17) <= 0.6 && x >= 40 && x <= 125; }, mark);   // width
    img.fill([](double x, double y) { return std::fabs(x - 131) <= 0.6 && y >= 22 && y <= 68; }, mark);   // height
    img.fill([](double x, double y) { return std::fabs(y - 45) <= 0.6 && ((x >= 20 && x <= 40) || (x >= 125 && x <= 145)); },
             Rgb{0.1, 0.35, 0.75});  // gaps
    for (double x0 : {40.0, 125.0})
        img.fill([x0](double x, double y) { return std::fabs(x - x0) <= 0.6 && y >= 12 && y <= 22; }, mark);
    return img;
}

// Colour alignment: nine pairs of lines, the second colour shifted by -4..4 px.
Image align_picture(bool columns) {
    const int w = columns ? 264 : 60, h = columns ? 52 : 211;
    Image img(w, h, kWhite);
    for (int k = 0; k < 9; ++k) {
        // Centres sit next to the radio buttons that the alignment dialog puts beside the picture.
        double centre = columns ? 6 + k * 29.4 : 9 + k * 23.3, shift = k - 4;
        auto line = [&](double pos, double x, double y) {
            double along = columns ? y : x, across = columns ? x : y;
            return std::fabs(across - pos) <= 1.1 && along >= 4 && along <= (columns ? h : w) - 4;
        };
        img.fill([&](double x, double y) { return line(centre, x, y) && (columns ? y < h / 2.0 : x < w / 2.0); }, kInk);
        img.fill([&](double x, double y) { return line(centre + shift, x, y) && (columns ? y >= h / 2.0 : x >= w / 2.0); },
                 Rgb{0.0, 0.62, 0.85});
    }
    return img;
}

// Colour heads: a label passing under n print heads, each with its ribbon roll
// in the colour the head prints by default in spot mode.
Image heads_picture(int n) {
    const int w = 104, h = 120;
    Image img(w, h, kWhite);
    const Rgb kYellow{1, 0.85, 0}, kBlue{0, 0.2, 0.9}, kRed{0.9, 0.05, 0.05};
    const Rgb ribbons[3][4] = {{kRed, kInk}, {kBlue, kRed, kInk}, {kYellow, kBlue, kRed, kInk}};
    img.fill([](double x, double y) { return x >= 3 && x <= w - 3 && y >= 98 && y <= 106; }, Rgb{0.93, 0.9, 0.8});
    img.fill([](double x, double y) { return x >= 3 && x <= w - 3 && (std::fabs(y - 98) <= 0.5 || std::fabs(y - 106) <= 0.5); },
             Rgb{0.5, 0.5, 0.5});
    const double pitch = (w - 8.0) / n;
    for (int i = 0; i < n; ++i) {
        const double cx = 4 + pitch * (i + 0.5);
        const Rgb ribbon = ribbons[n - 2][i];
        img.fill([cx, pitch](double x, double y) { return std::hypot(x - cx, y - 30) <= std::min(pitch * 0.42, 16.0); },
                 ribbon);
        img.fill([cx](double x, double y) { return std::fabs(x - cx) <= 1.2 && y >= 30 && y <= 84; }, ribbon);
        img.fill([cx, pitch](double x, double y) { return std::fabs(x - cx) <= std::min(pitch * 0.3, 9.0) && y >= 78 && y <= 96; },
                 Rgb{0.3, 0.3, 0.33});
    }
    return img;
}

// A photo-like landscape: sky, sun, mountains, a lake with reflections, meadow and trees.
Image sample_picture() {
    const int w = 200, h = 150;
    Image img(w, h, kWhite);
    auto ridge = [](double x, double base, double a, double f, double p) {
        return base - a * (0.6 * std::sin(x * f + p) + 0.3 * std::sin(x * f * 2.3 + p * 1.7) + 0.1 * std::sin(x * f * 5.1));
    };
    const double horizon = 92;
    img.shade([&](double x, double y) {
        if (y < horizon) {
            Rgb sky = mix(Rgb{0.25, 0.45, 0.85}, Rgb{0.98, 0.8, 0.6}, smooth(0, horizon, y));
            double d = std::hypot(x - 140, y - 40);
            sky = mix(sky, Rgb{1, 0.95, 0.8}, 0.6 * std::exp(-d / 30));
            double cloud = smooth(0.55, 0.9, 0.5 + 0.5 * std::sin(x * 0.05 + std::sin(y * 0.2)) * std::sin(y * 0.13 + 1));
            return mix(sky, kWhite, cloud * 0.5 * smooth(0, 50, 60 - y));
        }
        double ry = 2 * horizon - y;  // mirror image in the lake
        Rgb water = mix(Rgb{0.2, 0.35, 0.55}, Rgb{0.1, 0.2, 0.35}, smooth(horizon, h, y));
        double ripple = 0.03 * std::sin(y * 1.3 + std::sin(x * 0.1) * 2) * smooth(horizon, h, y);
        double far = ridge(x, 70, 14, 0.045, 1.0), near = ridge(x, 86, 10, 0.07, 3.0);
        Rgb refl = ry > near ? Rgb{0.2, 0.4, 0.25} : ry > far ? Rgb{0.4, 0.45, 0.6} : Rgb{0.7, 0.65, 0.75};
        Rgb c = mix(water, refl, 0.55 - 0.3 * smooth(horizon, h, y));
        return Rgb{c.r + ripple, c.g + ripple, c.b + ripple};
    });
    img.fill([](double x, double y) { return std::hypot(x - 140, y - 40) <= 11; },
             [](double x, double y) { return mix(Rgb{1, 1, 0.85}, Rgb{1, 0.8, 0.4}, std::hypot(x - 140, y - 40) / 11); });
    img.fill([&](double x, double y) { return y < horizon && y > ridge(x, 70, 14, 0.045, 1.0); },
             [&](double x, double y) {
                 double snow = smooth(3, 0, y - ridge(x, 62, 14, 0.045, 1.0));
                 Rgb rock = mix(Rgb{0.45, 0.47, 0.6}, Rgb{0.55, 0.52, 0.62}, 0.5 + 0.5 * std::sin(x * 0.3 + y * 0.2));
                 return mix(rock, Rgb{0.97, 0.97, 1}, snow * 0.9);
             });
    img.fill([&](double x, double y) { return y < horizon && y > ridge(x, 86, 10, 0.07, 3.0); },
             [](double x, double y) { return mix(Rgb{0.25, 0.5, 0.28}, Rgb{0.15, 0.35, 0.2}, smooth(70, 92, y) * (0.7 + 0.3 * std::sin(x))); });
    img.fill([&](double x, double y) { return y > 118 + 6 * std::sin(x * 0.04); },
             [](double x, double y) { return mix(Rgb{0.45, 0.7, 0.3}, Rgb{0.3, 0.55, 0.2}, smooth(118, 150, y) + 0.05 * std::sin(x * 0.9)); });
    for (double tx : {22.0, 38.0, 170.0, 186.0}) {
        double base = 128 + 6 * std::sin(tx * 0.04);
        img.fill([=](double x, double y) { return std::fabs(x - tx) <= 1.5 && y <= base && y >= base - 8; }, Rgb{0.35, 0.22, 0.12});
        img.fill([=](double x, double y) { return y < base - 6 && y > base - 40 && std::fabs(x - tx) <= (y - (base - 40)) * 0.3; },
                 [=](double x, double) { return mix(Rgb{0.1, 0.4, 0.18}, Rgb{0.05, 0.25, 0.1}, clamp01((x - tx + 8) / 16)); });
    }
    return img;
}

// OEM pictures: a rounded tile with a label and bars, and a banner of bars, in the OEM's hue.
Rgb oem_colour(const std::string &oem) {
    unsigned h = 0;
    for (char c : oem)
        h = h * 31 + static_cast<unsigned char>(c);
    double hue = (h % 360) / 60.0, f = hue - std::floor(hue);
    Rgb table[] = {{1, f, 0}, {1 - f, 1, 0}, {0, 1, f}, {0, 1 - f, 1}, {f, 0, 1}, {1, 0, 1 - f}};
    return mix(table[int(hue) % 6], kBlue, 0.55);
}

Image logo_picture(Rgb base) {
    Image img(96, 104, kFace);
    img.fill([](double x, double y) { return in_round_rect(x, y, 6, 10, 92, 96, 14); }, kShadow);
    img.fill([](double x, double y) { return in_round_rect(x, y, 4, 8, 90, 94, 14); },
             [base](double x, double y) { return mix(mix(base, kWhite, 0.35), mix(base, kInk, 0.35), (x + y) / 180); });
    img.fill([](double x, double y) { return in_round_rect(x, y, 22, 26, 72, 76, 5); }, kWhite);
    for (int i = 0; i < 9; ++i) {
        double x0 = 28 + i * 4.8, wbar = (i % 3 == 0) ? 2.6 : 1.3;
        img.fill([=](double x, double y) { return x >= x0 && x <= x0 + wbar && y >= 34 && y <= 60; }, kInk);
    }
    img.fill([](double x, double y) { return x >= 28 && x <= 66 && y >= 64 && y <= 68; }, base);
    return img;
}

Image banner_picture(Rgb base) {
    Image img(250, 45, kFace);
    img.shade([base](double x, double) { return mix(mix(base, kWhite, 0.15), kFace, smooth(0, 250, x)); });
    for (int i = 0; i < 40; ++i) {
        double x0 = 8 + i * 6.0, wbar = 1 + (i * 7 % 3);
        img.fill([=](double x, double y) { return x >= x0 && x <= x0 + wbar && y >= 8 && y <= 37; },
                 [base, x0](double, double) { return mix(kWhite, base, 0.2 + 0.6 * smooth(250, 0, x0)); });
    }
    return img;
}

int usage(FILE *to) {
    std::fprintf(to, "usage: bmpgen [--oem NAME] OUTDIR\n"
                     "Writes the pictures of the common language module into OUTDIR, or with --oem\n"
                     "the logo (logo.bmp) and banner (banner.bmp) of that OEM's module.\n");
    return to == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char **argv) {
    std::string oem, dir;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h")
            return usage(stdout);
        if (a == "--oem" && i + 1 < argc)
            oem = argv[++i];
        else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "bmpgen: unknown option %s\n", a.c_str());
            return usage(stderr);
        } else if (dir.empty())
            dir = a;
        else
            return usage(stderr);
    }
    if (dir.empty())
        return usage(stderr);
    std::vector<std::pair<std::string, Image>> out;
    if (!oem.empty()) {
        out.emplace_back("logo.bmp", logo_picture(oem_colour(oem)).scaled(88, 94));
        out.emplace_back("banner.bmp", banner_picture(oem_colour(oem)).scaled(244, 40));
    } else {
        for (int n = 0; n < 16; ++n)
            out.emplace_back("orient_" + std::to_string(n) + ".bmp", orientation_picture(n).scaled(120, 70));
        out.emplace_back("wait.bmp", wait_picture().scaled(44, 46));
        out.emplace_back("stock.bmp", stock_picture().scaled(156, 96));
        out.emplace_back("align_columns.bmp", align_picture(true).scaled(256, 44));
        out.emplace_back("align_rows.bmp", align_picture(false).scaled(56, 190));
        for (int n = 2; n <= 4; ++n)
            out.emplace_back("heads_" + std::to_string(n) + ".bmp", heads_picture(n).scaled(100, 116));
        // Rows of the sample are copied width x 3 bytes at a time: the width keeps them unpadded.
        out.emplace_back("sample.bmp", sample_picture().scaled(152, 114));
    }
    for (const auto &f : out)
        if (!f.second.save(dir + "/" + f.first)) {
            std::fprintf(stderr, "bmpgen: cannot write %s/%s: %s\n", dir.c_str(), f.first.c_str(), std::strerror(errno));
            return 1;
        }
    return 0;
}
