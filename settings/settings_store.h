#pragma once
// Reading and writing the two settings files in a folder (the working directory in the
// receiver, "."). Loading reads the I/Q correction file first: without it nothing is
// loaded from either file. Saving replaces each file atomically (a temporary file in the
// same folder, flushed to disk, renamed over the old one); a file that cannot be written
// is left as it was, the message box "fail to write file" / "file error" is shown, and the
// other file is still written.
#include <string>

#include "settings/settings_file.h"

struct settings_load_result {
    bool iq_file_read = false;    // "IQ.ini" was opened and read
    int iq_values_read = 0;       // 0..10
    bool main_file_read = false;  // "Tolvan_101.ini" was opened and read
    int main_values_read = 0;     // 0..24
};

// Overwrites the values the files hold; everything else keeps the values the records held.
// When the main settings file is read, center_frequency_Hz is set to 0 before reading, so
// a file too short to hold it leaves 0.
settings_load_result load_settings_files(const std::string& folder, iq_records& iq,
                                         main_settings& main);

struct settings_save_result {
    bool iq_written = false;
    bool main_written = false;
};

settings_save_result save_settings_files(const std::string& folder, const iq_records& iq,
                                         const main_settings& main);

// The whole content of a regular file of at most max_bytes (a longer file is cut there).
// False when it cannot be opened or read, or is not a regular file.
bool read_text_file(const std::string& path, std::string& text, size_t max_bytes);

// Replaces path with text atomically. False (and the old file untouched) on any failure.
bool replace_file(const std::string& path, const std::string& text);
