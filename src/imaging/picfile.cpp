#include "picfile.h"


#include <cstring>
#include <new>

namespace picfile {

namespace {

uint32_t rd32(const uint8_t *p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t rd16(const uint8_t *p) { return uint16_t(p[0] | p[1] << 8); }

void put32le(std::vector<uint8_t> &v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}
void put16le(std::vector<uint8_t> &v, uint16_t x) { v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8)); }
void put32be(std::vector<uint8_t> &v, uint32_t x) {
    for (int i = 3; i >= 0; --i)
        v.push_back(uint8_t(x >> (8 * i)));
}

bool fail(std::string *why, const std::string &text) {
    if (why)
        *why = text;
    return false;
}

uint32_t crc32(const uint8_t *p, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool made = false;
    if (!made) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        made = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void chunk(std::vector<uint8_t> &png, const char *type, const std::vector<uint8_t> &data) {
    put32be(png, uint32_t(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32be(png, crc32(&png[start], png.size() - start));
}

} // namespace

bool ReadBmp(const uint8_t *data, size_t size, Picture *out, std::string *why) {
    if (size < 14 + 40)
        return fail(why, "too short for a BMP file (" + std::to_string(size) + " bytes)");
    if (data[0] != 'B' || data[1] != 'M')
        return fail(why, "not a BMP file (it does not start with \"BM\")");
    const uint32_t offset = rd32(data + 10), header = rd32(data + 14);
    if (header != 40 && header != 52 && header != 56 && header != 108 && header != 124)
        return fail(why, "unknown BMP header size " + std::to_string(header));
    if (14 + uint64_t(header) > size)
        return fail(why, "the BMP header is cut off");
    const int32_t width = int32_t(rd32(data + 18)), height_field = int32_t(rd32(data + 22));
    const uint16_t planes = rd16(data + 26), bits = rd16(data + 28);
    const uint32_t compression = rd32(data + 30);
    if (planes != 1)
        return fail(why, "damaged BMP header (" + std::to_string(planes) + " planes)");
    if (bits != 24)
        return fail(why, "only 24-bit BMP files are supported; this one has " + std::to_string(bits) +
                             " bits per pixel");
    if (compression != 0)
        return fail(why, "compressed BMP files are not supported (compression " + std::to_string(compression) + ")");
    const int64_t height = height_field < 0 ? -int64_t(height_field) : height_field;
    if (width <= 0 || height <= 0)
        return fail(why, "the picture is empty or its size is damaged (" + std::to_string(width) + " x " +
                             std::to_string(height_field) + ")");
    if (width > kMaxSide || height > kMaxSide || uint64_t(width) * uint64_t(height) > kMaxPixels)
        return fail(why, "the picture is too large (" + std::to_string(width) + " x " + std::to_string(height) +
                             "; at most " + std::to_string(kMaxSide) + " a side and 256 megapixels)");
    const uint64_t stride = (uint64_t(width) * 3 + 3) & ~uint64_t(3);
    if (offset < 14 + header || offset > size)
        return fail(why, "the pixel data offset " + std::to_string(offset) + " lies outside the file");
    if (offset + stride * uint64_t(height) > size)
        return fail(why, "the file is truncated: " + std::to_string(height) + " rows of " + std::to_string(stride) +
                             " bytes need " + std::to_string(offset + stride * uint64_t(height)) + " bytes, it has " +
                             std::to_string(size));
    Picture p;
    p.width = width;
    p.height = int32_t(height);
    try {
        p.bgr.resize(size_t(width) * 3 * size_t(height));
    } catch (const std::bad_alloc &) {
        return fail(why, "not enough memory for the picture");
    }
    for (int64_t y = 0; y < height; ++y) {
        const int64_t row = height_field < 0 ? y : height - 1 - y;
        std::memcpy(&p.bgr[size_t(y) * width * 3], data + offset + size_t(row) * stride, size_t(width) * 3);
    }
    *out = std::move(p);
    return true;
}

std::vector<uint8_t> WriteBmp(const Picture &p) {
    const uint32_t stride = (uint32_t(p.width) * 3 + 3) & ~3u, bytes = stride * uint32_t(p.height);
    std::vector<uint8_t> f;
    f.reserve(54 + bytes);
    f.push_back('B'), f.push_back('M');
    put32le(f, 54 + bytes), put32le(f, 0), put32le(f, 54);
    put32le(f, 40), put32le(f, uint32_t(p.width)), put32le(f, uint32_t(p.height));
    put16le(f, 1), put16le(f, 24);
    put32le(f, 0), put32le(f, bytes), put32le(f, 2835), put32le(f, 2835), put32le(f, 0), put32le(f, 0);
    for (int32_t y = p.height - 1; y >= 0; --y) {
        const uint8_t *row = &p.bgr[size_t(y) * p.width * 3];
        f.insert(f.end(), row, row + size_t(p.width) * 3);
        f.insert(f.end(), stride - size_t(p.width) * 3, 0);
    }
    return f;
}

std::vector<uint8_t> WritePng(const Picture &p) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    put32be(ihdr, uint32_t(p.width)), put32be(ihdr, uint32_t(p.height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB
    chunk(png, "IHDR", ihdr);

    // Scan lines (filter 0, red first) in stored deflate blocks of at most 65535 bytes.
    std::vector<uint8_t> raw;
    raw.reserve((size_t(p.width) * 3 + 1) * size_t(p.height));
    for (int32_t y = 0; y < p.height; ++y) {
        raw.push_back(0);
        const uint8_t *s = &p.bgr[size_t(y) * p.width * 3];
        for (int32_t x = 0; x < p.width; ++x, s += 3)
            raw.push_back(s[2]), raw.push_back(s[1]), raw.push_back(s[0]);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.push_back(at + n == raw.size() ? 1 : 0);
        put16le(z, uint16_t(n)), put16le(z, uint16_t(~n));
        z.insert(z.end(), raw.begin() + ptrdiff_t(at), raw.begin() + ptrdiff_t(at + n));
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32be(z, b << 16 | a);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

} // namespace picfile
