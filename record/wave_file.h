#pragma once
// The I/Q wave file: RIFF/WAVE, 32-bit float stereo (left = I, right = Q), little-endian,
// written as a 44-byte header followed by blocks of 2048 frames. The recorder writes it,
// the wave player and tolvan-demod read it.
//
// A wave_file owns one open stdio stream (or none) and closes it when destroyed. The
// functions below are safe on a closed file (they fail) and on any file content: reads
// past the end of the file fail without touching memory outside the caller's buffers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "dsp/sizes.h"

constexpr int32_t wave_header_bytes = 44;                   // as written
constexpr int32_t wave_block_bytes = 2 * block_size * 4;    // 16384: 2048 frames of 2 floats
constexpr int32_t wave_block_floats = 2 * block_size;       // 4096
constexpr int32_t wave_header_max_bytes = 12 + 8 + 18 + 8;  // longest header that opens
// [bytes] the largest data chunk whose RIFF size (data + 36) still fits 32 bits, in whole
// blocks: 262143 blocks, 93 minutes at 96 kHz.
constexpr uint64_t wave_max_data_bytes =
    (uint64_t(UINT32_MAX) - (wave_header_bytes - 8)) / wave_block_bytes * wave_block_bytes;

struct wave_file {
    std::FILE* stream = nullptr;

    wave_file() = default;
    explicit wave_file(std::FILE* s) : stream(s) {}
    wave_file(const wave_file&) = delete;
    wave_file& operator=(const wave_file&) = delete;
    wave_file(wave_file&& o) noexcept : stream(o.stream) { o.stream = nullptr; }
    wave_file& operator=(wave_file&& o) noexcept;
    ~wave_file();
    explicit operator bool() const { return stream != nullptr; }
};

// Closes the stream; false when the close reported an error (lost buffered writes).
bool close_wave_file(wave_file& f);

// ---- writing ----

// Creates or truncates `name` and writes the header with both size fields 0, sample rate
// 96000 (768000 bytes/s) when high_rate, else 48000 (384000). None on any failure. The
// stream is unbuffered: a block that write_wave_block accepted has reached the kernel.
std::optional<wave_file> create_wave_file(const char* name, bool high_rate);
// Writes the same 44-byte header into an already open stream.
bool write_wave_header(std::FILE* stream, bool high_rate);
// Writes 2048 frames, frame k = left[k] then right[k]. False on a failed write.
bool write_wave_block(wave_file& f, const float* left, const float* right);
// Writes data_bytes + 36 at offset 4 and data_bytes at offset 40 (data_bytes at most
// wave_max_data_bytes) without moving the stream's position; buffered output is flushed
// first. False when either field could not be written, also on a stream without positions
// (a pipe: see wave_is_seekable).
bool write_wave_sizes(wave_file& f, uint64_t data_bytes);
// Finishes a file: with L the file length writes the sizes for L - 44 bytes of data. A file
// too long for 32-bit sizes gets the largest whole-block data size that fits.
bool finish_wave_file(wave_file& f);
// Hands what was written, sizes included, to the disk (fdatasync), so that it outlives a
// power cut. True for a stream that has no disk behind it (a pipe).
bool sync_wave_file(wave_file& f);
// The stream is a file with positions, whose size fields can be rewritten.
bool wave_is_seekable(wave_file& f);

// ---- reading ----

struct wave_info {
    uint32_t total_blocks = 0;        // whole 16384-byte blocks in the data chunk
    uint32_t tail_count = 0;          // floats in the final, partial block: (D / 4) mod 4096
    int32_t sample_rate = 0;          // [Hz] as read, not checked
    int32_t data_offset = 0;          // [bytes] position of the first sample (44 or 46)
    uint32_t data_size = 0;           // [bytes] D, the data chunk size as used (see below)
    uint32_t declared_data_size = 0;  // [bytes] the data chunk size as the header gives it
    bool size_from_length = false;    // the header gave 0 or more than the file holds: D is
                                      // what the file holds, in whole frames
    uint16_t channels = 0;            // as read, not checked
    uint16_t bits_per_sample = 0;     // as read, not checked
};

struct opened_wave {
    wave_file file;  // positioned at the first sample
    wave_info info;
};

// Checks a header held in memory (the first bytes of a file; n may be anything, shorter
// or longer than a header). None when it is not a float wave file of the accepted layout:
// "RIFF", size, "WAVE", "fmt " of 16 or 18 bytes with format tag 3, then "data" at once.
std::optional<wave_info> parse_wave_header(const uint8_t* bytes, size_t n);
// A recording cut off (a crash, a power cut) leaves a data size of 0 or one beyond the end
// of the file: then D becomes the samples the file holds after data_offset, in whole
// frames, and size_from_length is set. file_length < 0 (unknown) leaves the header's D.
void settle_data_size(wave_info& info, int64_t file_length);
// Opens `name` for binary reading and checks its header; the data size is settled against
// the file's length. None on any failure.
std::optional<opened_wave> open_wave_file(const char* name);
// The same on a stream that is already open (a file, a pipe-less memory stream); takes
// ownership of it and closes it on failure.
std::optional<opened_wave> open_wave_stream(std::FILE* stream);

// Reads 2048 frames alternately into left[k], right[k]. A short read (end of file, error)
// returns false and leaves both buffers as they were.
bool read_wave_block(wave_file& f, float* left, float* right);
// Reads `count` floats alternately into left/right (count is bounded to 4096), then sets
// every position of both 2048-entry buffers that was not filled to 0. Returns the number
// of floats read (fewer than asked at the end of the file).
int32_t read_wave_tail(wave_file& f, float* left, float* right, uint32_t count);

// Position helpers for the player: [bytes] from the start of the file.
int64_t wave_position(wave_file& f);
bool seek_wave(wave_file& f, int64_t offset);
