#include "app/demo/pcm_wave.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

uint32_t u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t u16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

constexpr uint16_t format_pcm = 1;
constexpr size_t riff_header_bytes = 12;
constexpr size_t chunk_header_bytes = 8;
constexpr size_t fmt_min_bytes = 16;
constexpr size_t max_file_bytes = size_t(1) << 31;  // 2 GiB: far beyond any voice

}  // namespace

std::optional<pcm_sound> parse_pcm_wave(const uint8_t* bytes, size_t n, std::string& why) {
    if (n < riff_header_bytes || std::memcmp(bytes, "RIFF", 4) != 0 ||
        std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        why = "not a RIFF/WAVE file";
        return std::nullopt;
    }
    bool have_fmt = false;
    pcm_sound sound;
    size_t pos = riff_header_bytes;
    while (pos <= n && n - pos >= chunk_header_bytes) {
        const uint8_t* chunk = bytes + pos;
        const size_t size = u32(chunk + 4);
        const size_t body = pos + chunk_header_bytes;
        const size_t available = n - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < fmt_min_bytes || available < fmt_min_bytes) {
                why = "format chunk too short";
                return std::nullopt;
            }
            const uint8_t* f = bytes + body;
            if (u16(f) != format_pcm || u16(f + 2) != 1 || u16(f + 14) != 16) {
                why = "not mono 16-bit PCM";
                return std::nullopt;
            }
            sound.sample_rate = int32_t(u32(f + 4));
            if (sound.sample_rate <= 0) {
                why = "sample rate 0";
                return std::nullopt;
            }
            have_fmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!have_fmt) {
                why = "data chunk before the format chunk";
                return std::nullopt;
            }
            // A size of 0 or one beyond the end (a stream written to a pipe) means: to the end.
            const size_t used = (size == 0 || size > available) ? available : size;
            const size_t count = used / 2;
            sound.samples.resize(count);
            for (size_t k = 0; k < count; ++k) {
                sound.samples[k] = float(int16_t(u16(bytes + body + 2 * k))) / 32768.0f;
            }
            return sound;
        }
        if (size > available) break;
        pos = body + size + (size & 1);  // chunks are padded to an even length
    }
    why = have_fmt ? "no data chunk" : "no format chunk";
    return std::nullopt;
}

std::optional<pcm_sound> read_pcm_wave(const char* name, std::string& why) {
    std::FILE* f = std::fopen(name, "rb");
    if (!f) {
        why = std::strerror(errno);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (bytes.size() + got > max_file_bytes) {
            std::fclose(f);
            why = "file too large";
            return std::nullopt;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        why = "read error";
        return std::nullopt;
    }
    return parse_pcm_wave(bytes.data(), bytes.size(), why);
}
