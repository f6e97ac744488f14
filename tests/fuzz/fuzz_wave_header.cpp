// Any bytes as a wave file: the header check and the reads after it must neither crash nor
// read or write outside their buffers. The input stays in memory (fmemopen), so each run
// goes through the same stdio path as a file on disk without touching the disk.
#include <stdio.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "record/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<wave_info> parsed = parse_wave_header(data, size);
    if (parsed && (parsed->data_offset != 44 && parsed->data_offset != 46)) __builtin_trap();
    if (size == 0) return 0;

    std::vector<uint8_t> bytes(data, data + size);
    std::optional<opened_wave> w = open_wave_stream(fmemopen(bytes.data(), bytes.size(), "rb"));
    if (parsed.has_value() != w.has_value()) __builtin_trap();
    if (!w) return 0;
    static float left[block_size], right[block_size];
    // The header's counts may promise far more than the file holds: read as the player does.
    uint32_t blocks = w->info.total_blocks < 4 ? w->info.total_blocks : 4;
    for (uint32_t b = 0; b < blocks; ++b) read_wave_block(w->file, left, right);
    read_wave_tail(w->file, left, right, w->info.tail_count);
    read_wave_tail(w->file, left, right, w->info.data_size);
    return 0;
}
