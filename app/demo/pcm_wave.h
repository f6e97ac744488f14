#pragma once
// Reader for the voices of the demo recording: a mono 16-bit PCM wave file (RIFF/WAVE,
// format tag 1), as sox and espeak-ng write them. Chunks other than "fmt " and "data" are
// skipped; a data chunk that claims more than the file holds is read up to the end of the
// file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct pcm_sound {
    int32_t sample_rate = 0;     // [Hz]
    std::vector<float> samples;  // full scale 1.0
};

// The sound in `name`, or none with the reason in `why`.
std::optional<pcm_sound> read_pcm_wave(const char* name, std::string& why);
// The same for a file already in memory.
std::optional<pcm_sound> parse_pcm_wave(const uint8_t* bytes, size_t n, std::string& why);
