// The dithering engine on a photo-like 12-megapixel picture, side by side in
// one run with ImageMagick's convert (one thread) doing the same job, a
// memcpy of the same buffer, and the preview (DitherSmooth at the sample
// picture's 152 x 114). Times are CPU times (the machine is shared), best of
// several runs; convert's include reading and writing its files, so a plain
// read-grey-write run of convert is shown too.
#include "imaging/bmdither.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

const LONG kW = 4000, kH = 3000;

double cpu_now() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

double best_of(int runs, const std::function<void()> &prepare, const std::function<void()> &job) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        prepare();
        double t0 = cpu_now();
        job();
        best = std::min(best, cpu_now() - t0);
    }
    return best;
}

// Smooth value noise over several octaves per channel, plus a soft vignette:
// large calm areas, gradients and fine texture, like a photograph.
std::vector<BYTE> photo(LONG w, LONG h) {
    uint32_t seed = 12345;
    auto rnd = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8 & 0xFFFF; };
    const int G = 65;
    std::vector<float> grid[3][4];
    for (auto &ch : grid)
        for (int o = 0; o < 4; ++o) {
            ch[o].resize(G * G);
            for (float &v : ch[o])
                v = rnd() / 65535.0f;
        }
    std::vector<BYTE> px(size_t(w) * h * 3);
    const float cells[4] = {3, 9, 27, 64};
    const float amp[4] = {0.55f, 0.25f, 0.13f, 0.07f};
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const float vx = (x - w / 2.0f) / w, vy = (y - h / 2.0f) / h;
            const float vignette = 1.0f - 0.8f * (vx * vx + vy * vy);
            for (int c = 0; c < 3; ++c) {
                float v = 0;
                for (int o = 0; o < 4; ++o) {
                    float fx = float(x) / w * cells[o], fy = float(y) / h * cells[o];
                    int ix = int(fx), iy = int(fy);
                    float tx = fx - ix, ty = fy - iy;
                    tx = tx * tx * (3 - 2 * tx), ty = ty * ty * (3 - 2 * ty);
                    const std::vector<float> &g = grid[c][o];
                    auto at = [&](int a, int b) { return g[size_t((b % G) * G + a % G)]; };
                    float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
                    float bot = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
                    v += amp[o] * (top + (bot - top) * ty);
                }
                v = v * vignette * 255.0f + float(int(rnd() % 9) - 4); // sensor noise
                px[size_t(y * w + x) * 3 + c] = BYTE(std::clamp(v, 0.0f, 255.0f));
            }
        }
    return px;
}

bool write_ppm(const std::string &path, const std::vector<BYTE> &bgr, LONG w, LONG h) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", int(w), int(h));
    std::vector<BYTE> row(size_t(w) * 3);
    for (LONG y = 0; y < h; ++y) {
        const BYTE *s = &bgr[size_t(y) * w * 3];
        for (LONG x = 0; x < w; ++x)
            row[3 * x] = s[3 * x + 2], row[3 * x + 1] = s[3 * x + 1], row[3 * x + 2] = s[3 * x];
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

// CPU seconds of one convert run (its children's user + system time).
double convert_seconds(const std::vector<std::string> &args) {
    rusage before, after;
    getrusage(RUSAGE_CHILDREN, &before);
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char *> argv;
        std::string prog = "convert";
        argv.push_back(&prog[0]);
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        setenv("MAGICK_THREAD_LIMIT", "1", 1);
        execvp("convert", argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    getrusage(RUSAGE_CHILDREN, &after);
    auto sec = [](const timeval &t) { return t.tv_sec + t.tv_usec * 1e-6; };
    return sec(after.ru_utime) - sec(before.ru_utime) + sec(after.ru_stime) - sec(before.ru_stime);
}

double best_convert(int runs, const std::vector<std::string> &args) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        double s = convert_seconds(args);
        if (s < 0)
            return -1;
        best = std::min(best, s);
    }
    return best;
}

dithercfg cfg_for(SHORT method, SHORT size = 2, SHORT kernel = 0) {
    dithercfg c{};
    c.Reset();
    c.method = method;
    c.bayer_size = size;
    c.cluster_size = size;
    c.kernel = kernel;
    return c;
}

} // namespace

int main(int argc, char **argv) {
    if (argc > 1) {
        std::fprintf(argc == 2 && !std::strcmp(argv[1], "--help") ? stdout : stderr,
                     "usage: bench_dither   (no options; needs ImageMagick's convert on PATH)\n");
        return argc == 2 && !std::strcmp(argv[1], "--help") ? 0 : 2;
    }
    const double mp = kW * kH / 1e6;
    std::printf("photo-like picture %dx%d (%.1f MP), 24 bits\n", int(kW), int(kH), mp);
    const std::vector<BYTE> source = photo(kW, kH);
    std::vector<BYTE> work(source.size()), sink(source.size());
    auto reset = [&] { std::memcpy(work.data(), source.data(), work.size()); };

    const double copy = best_of(7, [] {}, [&] { std::memcpy(sink.data(), work.data(), work.size()); });
    std::printf("memcpy of the buffer        %8.2f ms  %8.1f MP/s\n", copy * 1e3, mp / copy);

    auto engine = [&](SHORT mode, const dithercfg &c, int runs) {
        return best_of(runs, reset, [&] {
            bmDither d;
            d.SetBitmap(work.data(), kW, kH, kW * 3);
            d.SetDither(c);
            DWORD palette[16];
            for (int i = 0; i < 16; ++i)
                palette[i] = (i & 8 ? 0 : 0xFF) | (i & 4 ? 0 : 0xFF00) | (i & 2 ? 0 : 0xFF0000) | (i & 1 ? 0 : 0);
            d.SetPalette(palette, 16);
            d.SetColorMode(mode, false);
            d.Dither();
        });
    };
    struct Row {
        const char *name;
        SHORT method, size, kernel;
    } rows[] = {{"threshold", 0, 0, 0},           {"ordered Bayer 2x2", 1, 0, 0},
                {"ordered Bayer 4x4", 1, 1, 0},   {"ordered Bayer 8x8", 1, 2, 0},
                {"clustered dot 2x2", 2, 0, 0},   {"clustered dot 4x4", 2, 1, 0},
                {"clustered dot 6x6", 2, 2, 0},   {"clustered dot 8x8", 2, 3, 0},
                {"algebraic (index 18)", 3, 0, 0}, {"Floyd-Steinberg", 4, 0, 0},
                {"Jarvis", 4, 0, 1}};
    double fs_mono = 0, bayer8_mono = 0;
    std::printf("\nengine, megapixels per second (CPU time, best of 3)\n");
    std::printf("%-22s %10s %10s %10s\n", "method", "mono", "planes", "palette16");
    for (const Row &r : rows) {
        dithercfg c = cfg_for(r.method, r.size, r.kernel);
        double m = engine(bmDither::kMono, c, 3), p = engine(bmDither::kPlanes, c, 3),
               q = engine(bmDither::kPalette, c, 1);
        if (r.method == 4 && r.kernel == 0)
            fs_mono = m;
        if (r.method == 1 && r.size == 2)
            bayer8_mono = m;
        std::printf("%-22s %10.1f %10.1f %10.1f\n", r.name, mp / m, mp / p, mp / q);
    }

    // The preview: the sample picture's size, smoothed (the page's path).
    const LONG pw = 152, ph = 114;
    const std::vector<BYTE> small = photo(pw, ph);
    std::vector<BYTE> pwork(small.size());
    double preview_worst = 0;
    for (SHORT method = 0; method <= 4; ++method) {
        double t = best_of(
            20, [&] { std::memcpy(pwork.data(), small.data(), small.size()); },
            [&] {
                bmDither d;
                d.SetBitmap(pwork.data(), pw, ph, pw * 3);
                d.SetDither(cfg_for(method));
                d.SetColorMode(bmDither::kMono, false);
                d.DitherSmooth();
            });
        preview_worst = std::max(preview_worst, t);
    }
    std::printf("\npreview DitherSmooth %dx%d, slowest method: %.3f ms (target <= 2 ms)\n", int(pw), int(ph),
                preview_worst * 1e3);

    char dir[] = "/tmp/bench_dither_XXXXXX";
    if (!mkdtemp(dir)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string in = std::string(dir) + "/photo.ppm";
    if (!write_ppm(in, source, kW, kH)) {
        std::fprintf(stderr, "bench_dither: cannot write %s\n", in.c_str());
        return 1;
    }
    const double im_fs = best_convert(2, {in, "-colorspace", "gray", "-dither", "FloydSteinberg", "-monochrome",
                                          std::string(dir) + "/fs.pbm"});
    const double im_ord = best_convert(2, {in, "-colorspace", "gray", "-ordered-dither", "o8x8",
                                           std::string(dir) + "/o8.pbm"});
    const double im_plain = best_convert(2, {in, "-colorspace", "gray", std::string(dir) + "/grey.pgm"});
    for (const char *f : {"/photo.ppm", "/fs.pbm", "/o8.pbm", "/grey.pgm"})
        std::remove((std::string(dir) + f).c_str());
    rmdir(dir);
    if (im_fs < 0 || im_ord < 0 || im_plain < 0) {
        std::fprintf(stderr, "bench_dither: convert (ImageMagick) did not run\n");
        return 1;
    }
    std::printf("\nImageMagick convert, one thread (CPU time, best of 2, files included)\n");
    std::printf("  read, grey, write only      %8.1f ms\n", im_plain * 1e3);
    std::printf("  Floyd-Steinberg monochrome  %8.1f ms  %6.1f MP/s\n", im_fs * 1e3, mp / im_fs);
    std::printf("  ordered 8x8                 %8.1f ms  %6.1f MP/s\n", im_ord * 1e3, mp / im_ord);

    std::printf("\nratios\n");
    std::printf("  Floyd-Steinberg mono, engine / convert rate:   %6.1fx (target >= 30)\n", im_fs / fs_mono);
    std::printf("    against convert's time beyond read-grey-write: %6.1fx\n", (im_fs - im_plain) / fs_mono);
    std::printf("  ordered 8x8 mono, engine / convert rate:       %6.1fx\n", im_ord / bayer8_mono);
    std::printf("  ordered 8x8 mono, engine / memcpy speed:       %6.2fx (target >= 0.5)\n", copy / bayer8_mono);
    std::printf("  preview:                                       %6.3f ms (target <= 2)\n", preview_worst * 1e3);
    return 0;
}
