#include "record/wave_file.h"

#include <stdio.h>   // fseeko, ftello: 64-bit offsets
#include <unistd.h>  // pwrite, fdatasync

#include <bit>
#include <cerrno>
#include <cstring>

namespace {

void put_u16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put_u32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint16_t get_u16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t get_u32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

float get_float(const uint8_t* p) {
    return std::bit_cast<float>(get_u32(p));
}
void put_float(uint8_t* p, float v) {
    put_u32(p, std::bit_cast<uint32_t>(v));
}

// Sequential reader over the header bytes: every take fails cleanly past the end.
struct byte_reader {
    const uint8_t* bytes;
    size_t n;
    size_t at = 0;

    const uint8_t* take(size_t count) {
        if (count > n - at) return nullptr;
        const uint8_t* p = bytes + at;
        at += count;
        return p;
    }
    bool tag(const char* four) {
        const uint8_t* p = take(4);
        return p && std::memcmp(p, four, 4) == 0;
    }
    bool u16(uint16_t& v) {
        const uint8_t* p = take(2);
        if (p) v = get_u16(p);
        return p != nullptr;
    }
    bool u32(uint32_t& v) {
        const uint8_t* p = take(4);
        if (p) v = get_u32(p);
        return p != nullptr;
    }
};

// [bytes] the stream's length, or -1 when it has none (a pipe); the position is kept.
int64_t stream_length(std::FILE* s) {
    const off_t at = ftello(s);
    if (at < 0 || fseeko(s, 0, SEEK_END) != 0) return -1;
    const off_t end = ftello(s);
    if (fseeko(s, at, SEEK_SET) != 0) return -1;
    return end;
}

bool pwrite_all(int fd, const uint8_t* p, size_t n, off_t at) {
    while (n > 0) {
        const ssize_t done = ::pwrite(fd, p, n, at);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        p += done, n -= size_t(done), at += done;
    }
    return true;
}

}  // namespace

wave_file& wave_file::operator=(wave_file&& o) noexcept {
    if (this != &o) {
        if (stream) std::fclose(stream);
        stream = o.stream;
        o.stream = nullptr;
    }
    return *this;
}

wave_file::~wave_file() {
    if (stream) std::fclose(stream);
}

bool close_wave_file(wave_file& f) {
    if (!f.stream) return true;
    bool ok = std::fclose(f.stream) == 0;
    f.stream = nullptr;
    return ok;
}

bool write_wave_header(std::FILE* stream, bool high_rate) {
    const uint32_t rate = high_rate ? 96000 : 48000;
    uint8_t h[wave_header_bytes];
    std::memcpy(h + 0, "RIFF", 4);
    put_u32(h + 4, 0);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    put_u32(h + 16, 16);
    put_u16(h + 20, 3);  // IEEE float
    put_u16(h + 22, 2);  // channels
    put_u32(h + 24, rate);
    put_u32(h + 28, rate * 8);  // [bytes/s]
    put_u16(h + 32, 8);         // [bytes/frame]
    put_u16(h + 34, 32);        // [bits/sample]
    std::memcpy(h + 36, "data", 4);
    put_u32(h + 40, 0);
    // Flushed at once so that a device that refuses writes is seen here, not later.
    return std::fwrite(h, 1, sizeof h, stream) == sizeof h && std::fflush(stream) == 0;
}

std::optional<wave_file> create_wave_file(const char* name, bool high_rate) {
    std::FILE* s = std::fopen(name, "wb");
    if (!s) return std::nullopt;
    wave_file f(s);
    if (std::setvbuf(s, nullptr, _IONBF, 0) != 0) return std::nullopt;
    if (!write_wave_header(s, high_rate)) return std::nullopt;
    return f;
}

bool write_wave_block(wave_file& f, const float* left, const float* right) {
    if (!f.stream) return false;
    uint8_t buf[wave_block_bytes];
    for (int32_t k = 0; k < block_size; ++k) {
        put_float(buf + 8 * k, left[k]);
        put_float(buf + 8 * k + 4, right[k]);
    }
    return std::fwrite(buf, 1, sizeof buf, f.stream) == sizeof buf;
}

bool write_wave_sizes(wave_file& f, uint64_t data_bytes) {
    if (!f.stream || data_bytes > wave_max_data_bytes || std::fflush(f.stream) != 0) return false;
    const int fd = ::fileno(f.stream);
    uint8_t riff[4], size[4];
    put_u32(riff, uint32_t(data_bytes + wave_header_bytes - 8));
    put_u32(size, uint32_t(data_bytes));
    return fd >= 0 && pwrite_all(fd, riff, 4, 4) && pwrite_all(fd, size, 4, 40);
}

bool finish_wave_file(wave_file& f) {
    if (!f.stream || std::fflush(f.stream) != 0) return false;
    const int64_t length = stream_length(f.stream);
    if (length < wave_header_bytes) return false;
    uint64_t data = uint64_t(length - wave_header_bytes);
    if (data > wave_max_data_bytes) data = wave_max_data_bytes;
    return write_wave_sizes(f, data);
}

bool sync_wave_file(wave_file& f) {
    if (!f.stream || std::fflush(f.stream) != 0) return false;
    if (::fdatasync(::fileno(f.stream)) == 0) return true;
    return errno == EINVAL || errno == EROFS;  // a pipe or a device without a disk
}

bool wave_is_seekable(wave_file& f) {
    return f.stream && stream_length(f.stream) >= 0;
}

std::optional<wave_info> parse_wave_header(const uint8_t* bytes, size_t n) {
    byte_reader r{bytes, bytes ? n : 0};
    uint32_t riff_size, fmt_size, rate, bytes_per_second, data_size;
    uint16_t format_tag, channels, frame_bytes, bits, extension;
    if (!r.tag("RIFF") || !r.u32(riff_size) || !r.tag("WAVE") || !r.tag("fmt ") || !r.u32(fmt_size))
        return std::nullopt;
    if (fmt_size != 16 && fmt_size != 18) return std::nullopt;
    if (!r.u16(format_tag) || !r.u16(channels) || !r.u32(rate) || !r.u32(bytes_per_second) ||
        !r.u16(frame_bytes) || !r.u16(bits))
        return std::nullopt;
    if (fmt_size == 18 && !r.u16(extension)) return std::nullopt;
    if (format_tag != 3) return std::nullopt;
    if (!r.tag("data") || !r.u32(data_size)) return std::nullopt;
    wave_info info;
    info.total_blocks = data_size / wave_block_bytes;
    info.tail_count = (data_size / 4) % wave_block_floats;
    info.sample_rate = int32_t(rate);
    info.data_offset = int32_t(r.at);
    info.data_size = data_size;
    info.declared_data_size = data_size;
    info.channels = channels;
    info.bits_per_sample = bits;
    return info;
}

void settle_data_size(wave_info& info, int64_t file_length) {
    if (file_length < 0) return;
    const uint64_t present =
        file_length > info.data_offset ? uint64_t(file_length - info.data_offset) : 0;
    const uint64_t declared = info.declared_data_size;
    if (declared != 0 ? declared <= present : present == 0) return;
    uint64_t data = present / 8 * 8;  // whole frames of two floats
    if (data > wave_max_data_bytes) data = wave_max_data_bytes;
    info.data_size = uint32_t(data);
    info.total_blocks = uint32_t(data / wave_block_bytes);
    info.tail_count = uint32_t((data / 4) % wave_block_floats);
    info.size_from_length = true;
}

std::optional<opened_wave> open_wave_stream(std::FILE* stream) {
    if (!stream) return std::nullopt;
    wave_file f(stream);
    uint8_t head[wave_header_max_bytes];
    const size_t got = std::fread(head, 1, sizeof head, stream);
    std::optional<wave_info> info = parse_wave_header(head, got);
    if (!info) return std::nullopt;
    settle_data_size(*info, stream_length(stream));
    if (!seek_wave(f, info->data_offset)) return std::nullopt;
    return opened_wave{std::move(f), *info};
}

std::optional<opened_wave> open_wave_file(const char* name) {
    return open_wave_stream(std::fopen(name, "rb"));
}

bool read_wave_block(wave_file& f, float* left, float* right) {
    if (!f.stream) return false;
    uint8_t buf[wave_block_bytes];
    if (std::fread(buf, 1, sizeof buf, f.stream) != sizeof buf) return false;
    for (int32_t k = 0; k < block_size; ++k) {
        left[k] = get_float(buf + 8 * k);
        right[k] = get_float(buf + 8 * k + 4);
    }
    return true;
}

int32_t read_wave_tail(wave_file& f, float* left, float* right, uint32_t count) {
    if (count > uint32_t(wave_block_floats)) count = wave_block_floats;
    uint8_t buf[wave_block_bytes];
    size_t got = f.stream ? std::fread(buf, 1, size_t(count) * 4, f.stream) / 4 : 0;
    for (size_t i = 0; i < got; ++i) {
        float* dst = (i % 2 == 0) ? left : right;
        dst[i / 2] = get_float(buf + 4 * i);
    }
    // Position i of the interleaved stream is left[i / 2] or right[i / 2].
    for (size_t i = got; i < size_t(wave_block_floats); ++i) {
        float* dst = (i % 2 == 0) ? left : right;
        dst[i / 2] = 0.0f;
    }
    return int32_t(got);
}

int64_t wave_position(wave_file& f) {
    return f.stream ? int64_t(ftello(f.stream)) : -1;
}

bool seek_wave(wave_file& f, int64_t offset) {
    return f.stream && offset >= 0 && fseeko(f.stream, off_t(offset), SEEK_SET) == 0;
}
