// Minimal PNG writer for the tests' pictures: 8-bit RGB, zlib stream of stored
// (uncompressed) deflate blocks.
#include "tests/gui/png_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

std::uint32_t crc_table[256];
bool crc_ready = false;

std::uint32_t crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0xFFFFFFFFu) {
    if (!crc_ready) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            crc_table[i] = c;
        }
        crc_ready = true;
    }
    for (std::size_t i = 0; i < n; ++i) crc = crc_table[(crc ^ p[i]) & 255] ^ (crc >> 8);
    return crc;
}

void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(std::uint8_t(x >> 24));
    v.push_back(std::uint8_t(x >> 16));
    v.push_back(std::uint8_t(x >> 8));
    v.push_back(std::uint8_t(x));
}

void chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& d) {
    put32(out, static_cast<std::uint32_t>(d.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), d.begin(), d.end());
    put32(out, crc32(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

}  // namespace

bool write_png(const char* path, const gui::Colour* pixels, int width, int height) {
    if (!path || !pixels || width <= 0 || height <= 0) return false;
    std::vector<std::uint8_t> raw;
    raw.reserve(std::size_t(height) * (1 + 3 * std::size_t(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            gui::Colour c = pixels[std::size_t(y) * width + x];
            raw.push_back(gui::red_of(c));
            raw.push_back(gui::green_of(c));
            raw.push_back(gui::blue_of(c));
        }
    }
    std::vector<std::uint8_t> z = {0x78, 0x01};
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t pos = 0; pos < raw.size() || pos == 0;) {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        bool last = pos + n >= raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(std::uint8_t(n));
        z.push_back(std::uint8_t(n >> 8));
        z.push_back(std::uint8_t(~n));
        z.push_back(std::uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
        if (last) break;
    }
    put32(z, (b << 16) | a);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    put32(ihdr, std::uint32_t(width));
    put32(ihdr, std::uint32_t(height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}
