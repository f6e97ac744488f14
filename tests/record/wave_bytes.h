#pragma once
// Reading a wave file's bytes back in the tests: the whole file, little-endian fields, and
// the number of a test block (the tests write block n with -n as its first right sample).
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::vector<uint8_t> read_bytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// 0 past the end of a file that is still short.
inline uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
    if (b.size() < at + 4) return 0;
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

inline float float_at(const std::vector<uint8_t>& b, size_t at) {
    const uint32_t u = u32_at(b, at);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// The number of the block at `index` of the data (after the 44-byte header).
inline int block_number(const std::vector<uint8_t>& b, size_t index) {
    return -int(float_at(b, 44 + index * 16384 + 4));
}
