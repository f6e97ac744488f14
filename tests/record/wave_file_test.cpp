#include "record/wave_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct temp_dir {
    fs::path path;
    temp_dir() {
        std::string tmpl = (fs::temp_directory_path() / "tolvan_wave_XXXXXX").string();
        path = mkdtemp(tmpl.data());
    }
    ~temp_dir() { fs::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

std::vector<uint8_t> read_bytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void write_bytes(const std::string& name, const std::vector<uint8_t>& b) {
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

void put(std::vector<uint8_t>& b, const char* four) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(four[i]));
}
void put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// A header as another program might write it: fmt chunk of fmt_size bytes, an optional
// extra chunk before "data", and data size D.
std::vector<uint8_t> header(uint32_t fmt_size, uint16_t tag, uint32_t data_size,
                            bool fact_chunk = false) {
    std::vector<uint8_t> b;
    put(b, "RIFF");
    put32(b, 0);
    put(b, "WAVE");
    put(b, "fmt ");
    put32(b, fmt_size);
    put16(b, tag);
    put16(b, 2);
    put32(b, 96000);
    put32(b, 768000);
    put16(b, 8);
    put16(b, 32);
    if (fmt_size == 18) put16(b, 0);
    if (fact_chunk) {
        put(b, "fact");
        put32(b, 4);
        put32(b, data_size / 8);
    }
    put(b, "data");
    put32(b, data_size);
    return b;
}

void fill_block(float* l, float* r, float base) {
    for (int k = 0; k < block_size; ++k) {
        l[k] = base + float(k);
        r[k] = -base - float(k) * 0.5f;
    }
}

}  // namespace

TEST(WaveWrite, TenBlocksAt96kHzGiveTheWorkedHeader) {
    temp_dir d;
    const std::string name = d.file("rec.wav");
    std::optional<wave_file> f = create_wave_file(name.c_str(), true);
    ASSERT_TRUE(f);
    float l[block_size], r[block_size];
    for (int b = 0; b < 10; ++b) {
        fill_block(l, r, float(b));
        ASSERT_TRUE(write_wave_block(*f, l, r));
    }
    ASSERT_TRUE(finish_wave_file(*f));
    ASSERT_TRUE(close_wave_file(*f));
    std::vector<uint8_t> b = read_bytes(name);
    ASSERT_EQ(b.size(), 163884u);
    EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
    EXPECT_EQ(u32_at(b, 4), 163876u);
    EXPECT_EQ(std::memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(u32_at(b, 16), 16u);
    EXPECT_EQ(b[20] | b[21] << 8, 3);
    EXPECT_EQ(b[22] | b[23] << 8, 2);
    EXPECT_EQ(u32_at(b, 24), 96000u);
    EXPECT_EQ(u32_at(b, 28), 768000u);
    EXPECT_EQ(b[32] | b[33] << 8, 8);
    EXPECT_EQ(b[34] | b[35] << 8, 32);
    EXPECT_EQ(std::memcmp(b.data() + 36, "data", 4), 0);
    EXPECT_EQ(u32_at(b, 40), 163840u);
    // Frame 1 of block 0: left 1.0f, right -0.5f, little-endian IEEE floats.
    const uint8_t frame1[8] = {0x00, 0x00, 0x80, 0x3f, 0x00, 0x00, 0x00, 0xbf};
    EXPECT_EQ(std::memcmp(b.data() + 44 + 8, frame1, 8), 0);
}

TEST(WaveWrite, HeaderAt48kHzAndUnfinishedSizes) {
    temp_dir d;
    const std::string name = d.file("rec.wav");
    {
        std::optional<wave_file> f = create_wave_file(name.c_str(), false);
        ASSERT_TRUE(f);
        float l[block_size] = {}, r[block_size] = {};
        ASSERT_TRUE(write_wave_block(*f, l, r));
    }  // closed without finishing, as at a quit during a recording
    std::vector<uint8_t> b = read_bytes(name);
    ASSERT_EQ(b.size(), 44u + 16384u);
    EXPECT_EQ(u32_at(b, 24), 48000u);
    EXPECT_EQ(u32_at(b, 28), 384000u);
    EXPECT_EQ(u32_at(b, 4), 0u);
    EXPECT_EQ(u32_at(b, 40), 0u);
    // Read back as far as the file goes.
    std::optional<opened_wave> w = open_wave_file(name.c_str());
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->info.size_from_length);
    EXPECT_EQ(w->info.declared_data_size, 0u);
    EXPECT_EQ(w->info.total_blocks, 1u);
    EXPECT_EQ(w->info.tail_count, 0u);
    EXPECT_EQ(w->info.sample_rate, 48000);
}

TEST(WaveWrite, SizesAreWrittenInPlaceWhileTheFileGrows) {
    temp_dir d;
    const std::string name = d.file("rec.wav");
    std::optional<wave_file> f = create_wave_file(name.c_str(), true);
    ASSERT_TRUE(f);
    EXPECT_TRUE(wave_is_seekable(*f));
    float l[block_size] = {}, r[block_size] = {};
    ASSERT_TRUE(write_wave_block(*f, l, r));
    ASSERT_TRUE(write_wave_sizes(*f, 16384));
    ASSERT_TRUE(sync_wave_file(*f));
    l[0] = 5.0f;
    ASSERT_TRUE(write_wave_block(*f, l, r));  // goes on at the end, not after the header
    std::vector<uint8_t> b = read_bytes(name);
    ASSERT_EQ(b.size(), 44u + 2 * 16384u);
    EXPECT_EQ(u32_at(b, 4), 16384u + 36);
    EXPECT_EQ(u32_at(b, 40), 16384u);
    EXPECT_EQ(u32_at(b, 44 + 16384), std::bit_cast<uint32_t>(5.0f));
    EXPECT_FALSE(write_wave_sizes(*f, wave_max_data_bytes + 16384)) << "beyond 32-bit sizes";
    // A pipe has no sizes to rewrite and no disk to sync.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    wave_file pipe_end(::fdopen(fds[1], "wb"));
    EXPECT_FALSE(wave_is_seekable(pipe_end));
    EXPECT_FALSE(write_wave_sizes(pipe_end, 0));
    EXPECT_TRUE(sync_wave_file(pipe_end));
    ::close(fds[0]);
}

TEST(WaveWrite, CreateFailsWhereNoFileCanBeMade) {
    temp_dir d;
    EXPECT_FALSE(create_wave_file(d.file("missing/rec.wav").c_str(), true));
    EXPECT_FALSE(create_wave_file(d.path.string().c_str(), true));  // a directory
}

TEST(WaveWrite, FileBeyond32BitSizesGetsTheLargestWholeBlockSize) {
    temp_dir d;
    const std::string name = d.file("long.wav");
    std::optional<wave_file> f = create_wave_file(name.c_str(), true);
    ASSERT_TRUE(f);
    // A sparse file of about 4.3 GB: what 93 minutes of recording at 96 kHz produce.
    ASSERT_TRUE(seek_wave(*f, int64_t(262144) * 16384 + 44));
    float l[block_size] = {}, r[block_size] = {};
    ASSERT_TRUE(write_wave_block(*f, l, r));
    ASSERT_TRUE(finish_wave_file(*f));
    ASSERT_TRUE(close_wave_file(*f));
    std::optional<opened_wave> w = open_wave_file(name.c_str());
    ASSERT_TRUE(w);
    EXPECT_EQ(w->info.data_size, 262143u * 16384u);
    EXPECT_EQ(w->info.total_blocks, 262143u);
    EXPECT_EQ(w->info.tail_count, 0u);
    std::vector<uint8_t> h(44);
    std::FILE* s = std::fopen(name.c_str(), "rb");
    ASSERT_EQ(std::fread(h.data(), 1, 44, s), 44u);
    std::fclose(s);
    EXPECT_EQ(u32_at(h, 4), 262143u * 16384u + 36u);
}

TEST(WaveRead, RoundTripReturnsEverySample) {
    temp_dir d;
    const std::string name = d.file("rec.wav");
    float l[block_size], r[block_size];
    {
        std::optional<wave_file> f = create_wave_file(name.c_str(), true);
        ASSERT_TRUE(f);
        for (int b = 0; b < 3; ++b) {
            fill_block(l, r, 100.0f * float(b));
            ASSERT_TRUE(write_wave_block(*f, l, r));
        }
        ASSERT_TRUE(finish_wave_file(*f));
    }
    std::optional<opened_wave> w = open_wave_file(name.c_str());
    ASSERT_TRUE(w);
    EXPECT_EQ(w->info.total_blocks, 3u);
    EXPECT_EQ(w->info.tail_count, 0u);
    EXPECT_EQ(w->info.sample_rate, 96000);
    EXPECT_EQ(w->info.data_offset, 44);
    EXPECT_EQ(wave_position(w->file), 44);
    float el[block_size], er[block_size];
    for (int b = 0; b < 3; ++b) {
        fill_block(el, er, 100.0f * float(b));
        ASSERT_TRUE(read_wave_block(w->file, l, r));
        EXPECT_EQ(std::memcmp(l, el, sizeof l), 0);
        EXPECT_EQ(std::memcmp(r, er, sizeof r), 0);
    }
    // The end of the data: a short read leaves the buffers as they were.
    EXPECT_FALSE(read_wave_block(w->file, l, r));
    EXPECT_EQ(std::memcmp(l, el, sizeof l), 0);
    // Seek back to block 1 as the player does.
    ASSERT_TRUE(seek_wave(w->file, 44 + 16384));
    ASSERT_TRUE(read_wave_block(w->file, l, r));
    EXPECT_EQ(l[0], 100.0f);
}

TEST(WaveRead, BlocksAndTailFromTheDataSize) {
    temp_dir d;
    const std::string name = d.file("t.wav");
    std::vector<uint8_t> b = header(16, 3, 5 * 16384 + 800);
    b.resize(44 + 5 * 16384 + 800, 0);
    write_bytes(name, b);
    std::optional<opened_wave> w = open_wave_file(name.c_str());
    ASSERT_TRUE(w);
    EXPECT_EQ(w->info.total_blocks, 5u);
    EXPECT_EQ(w->info.tail_count, 200u);
}

TEST(WaveRead, EighteenByteFormatChunkPlays) {
    temp_dir d;
    const std::string name = d.file("t.wav");
    std::vector<uint8_t> b = header(18, 3, 16384);
    for (int k = 0; k < block_size; ++k) {
        put32(b, std::bit_cast<uint32_t>(float(k)));
        put32(b, std::bit_cast<uint32_t>(-float(k)));
    }
    write_bytes(name, b);
    std::optional<opened_wave> w = open_wave_file(name.c_str());
    ASSERT_TRUE(w);
    EXPECT_EQ(w->info.data_offset, 46);
    EXPECT_EQ(w->info.total_blocks, 1u);
    float l[block_size], r[block_size];
    ASSERT_TRUE(read_wave_block(w->file, l, r));
    EXPECT_EQ(l[2047], 2047.0f);
    EXPECT_EQ(r[5], -5.0f);
}

TEST(WaveRead, RejectsOtherLayouts) {
    temp_dir d;
    const std::string name = d.file("t.wav");
    auto opens = [&](const std::vector<uint8_t>& b) {
        write_bytes(name, b);
        return open_wave_file(name.c_str()).has_value();
    };
    EXPECT_TRUE(opens(header(16, 3, 0)));
    EXPECT_FALSE(opens(header(16, 3, 0, true))) << "fact chunk before data";
    EXPECT_FALSE(opens(header(16, 1, 0))) << "16-bit integer samples";
    EXPECT_FALSE(opens(header(18, 1, 0)));
    EXPECT_FALSE(opens(header(20, 3, 0))) << "format chunk of 20 bytes";
    std::vector<uint8_t> b = header(16, 3, 0);
    b[0] = 'R', b[1] = 'I', b[2] = 'F', b[3] = 'X';
    EXPECT_FALSE(opens(b));
    b = header(16, 3, 0);
    b[8] = 'A';
    EXPECT_FALSE(opens(b));
    b = header(16, 3, 0);
    b[12] = 'F';
    EXPECT_FALSE(opens(b));
    EXPECT_FALSE(open_wave_file(d.file("none.wav").c_str()));
    EXPECT_FALSE(open_wave_file(d.path.string().c_str()));  // a directory
}

TEST(WaveRead, EveryTruncatedHeaderGivesNone) {
    temp_dir d;
    const std::string name = d.file("t.wav");
    for (uint32_t fmt : {16u, 18u}) {
        const std::vector<uint8_t> full = header(fmt, 3, 0);
        for (size_t n = 0; n < full.size(); ++n) {
            write_bytes(name, std::vector<uint8_t>(full.begin(), full.begin() + long(n)));
            EXPECT_FALSE(open_wave_file(name.c_str())) << "fmt " << fmt << " length " << n;
            EXPECT_FALSE(parse_wave_header(full.data(), n));
        }
        write_bytes(name, full);
        EXPECT_TRUE(open_wave_file(name.c_str()));
    }
}

TEST(WaveRead, TailFillsInTurnAndZeroesTheRest) {
    temp_dir d;
    const std::string name = d.file("t.wav");
    std::vector<uint8_t> b = header(16, 3, 800);
    for (int i = 0; i < 200; ++i) put32(b, std::bit_cast<uint32_t>(float(i + 1)));
    write_bytes(name, b);
    std::optional<opened_wave> w = open_wave_file(name.c_str());
    ASSERT_TRUE(w);
    ASSERT_EQ(w->info.tail_count, 200u);
    float l[block_size], r[block_size];
    std::fill(l, l + block_size, 7.0f);
    std::fill(r, r + block_size, 7.0f);
    EXPECT_EQ(read_wave_tail(w->file, l, r, w->info.tail_count), 200);
    EXPECT_EQ(l[0], 1.0f);
    EXPECT_EQ(r[0], 2.0f);
    EXPECT_EQ(l[99], 199.0f);
    EXPECT_EQ(r[99], 200.0f);
    for (int k = 100; k < block_size; ++k) ASSERT_TRUE(l[k] == 0.0f && r[k] == 0.0f) << k;
}

TEST(WaveRead, DataSizeBeyondTheFileReadsSafely) {
    temp_dir d;
    const std::string name = d.file("t.wav");
    // The header promises 10 blocks and a tail; the file holds one block and 3 floats.
    std::vector<uint8_t> b = header(16, 3, 10 * 16384 + 40);
    b.resize(b.size() + 16384 + 12, 0x3f);
    write_bytes(name, b);
    std::optional<opened_wave> w = open_wave_file(name.c_str());
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->info.size_from_length);
    EXPECT_EQ(w->info.declared_data_size, 10u * 16384 + 40);
    EXPECT_EQ(w->info.data_size, 16384u + 8) << "whole frames of what the file holds";
    EXPECT_EQ(w->info.total_blocks, 1u);
    EXPECT_EQ(w->info.tail_count, 2u);
    float l[block_size], r[block_size];
    ASSERT_TRUE(read_wave_block(w->file, l, r));
    std::fill(l, l + block_size, 7.0f);
    EXPECT_FALSE(read_wave_block(w->file, l, r));
    EXPECT_EQ(l[0], 7.0f);
    EXPECT_EQ(read_wave_tail(w->file, l, r, 4096), 0) << "the short read consumed the rest";
    EXPECT_EQ(l[0], 0.0f);
    ASSERT_TRUE(seek_wave(w->file, 44 + 16384));
    EXPECT_EQ(read_wave_tail(w->file, l, r, 100000), 3) << "count bounded, file short";
    EXPECT_NE(l[0], 0.0f);
    EXPECT_NE(r[0], 0.0f);
    EXPECT_NE(l[1], 0.0f);
    EXPECT_EQ(r[1], 0.0f);
}

TEST(WaveRead, DataSizeSettledAgainstTheFileLength) {
    auto settled = [](uint32_t declared, int64_t length) {
        wave_info i;
        i.data_offset = 44;
        i.declared_data_size = i.data_size = declared;
        i.total_blocks = declared / 16384;
        i.tail_count = (declared / 4) % 4096;
        settle_data_size(i, length);
        return i;
    };
    wave_info i = settled(3 * 16384, 44 + 5 * 16384);  // shorter than the file: as declared
    EXPECT_FALSE(i.size_from_length);
    EXPECT_EQ(i.data_size, 3u * 16384);
    i = settled(3 * 16384, 44 + 3 * 16384);
    EXPECT_FALSE(i.size_from_length);
    i = settled(0, 44);  // no data and none promised
    EXPECT_FALSE(i.size_from_length);
    EXPECT_EQ(i.total_blocks, 0u);
    i = settled(0, 44 + 2 * 16384 + 13);
    EXPECT_TRUE(i.size_from_length);
    EXPECT_EQ(i.data_size, 2u * 16384 + 8);
    EXPECT_EQ(i.total_blocks, 2u);
    EXPECT_EQ(i.tail_count, 2u);
    i = settled(3 * 16384 + 1, 44 + 3 * 16384);  // one byte beyond the end
    EXPECT_TRUE(i.size_from_length);
    EXPECT_EQ(i.data_size, 3u * 16384);
    i = settled(0, 30);  // shorter than its header
    EXPECT_EQ(i.data_size, 0u);
    i = settled(0, int64_t(1) << 33);  // 8 GiB without sizes: what 32-bit sizes can say
    EXPECT_EQ(i.data_size, uint32_t(wave_max_data_bytes));
    EXPECT_EQ(i.total_blocks, 262143u);
    i = settled(0, -1);  // no length known (a pipe): the header holds
    EXPECT_FALSE(i.size_from_length);
    EXPECT_EQ(i.data_size, 0u);
}

TEST(WaveRead, ClosedFileFailsQuietly) {
    wave_file none;
    float l[block_size], r[block_size];
    std::fill(l, l + block_size, 7.0f);
    EXPECT_FALSE(read_wave_block(none, l, r));
    EXPECT_EQ(l[0], 7.0f);
    EXPECT_EQ(read_wave_tail(none, l, r, 10), 0);
    EXPECT_EQ(l[0], 0.0f);
    EXPECT_FALSE(write_wave_block(none, l, r));
    EXPECT_FALSE(finish_wave_file(none));
    EXPECT_FALSE(seek_wave(none, 0));
}
