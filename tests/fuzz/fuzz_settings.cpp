// Feeds arbitrary bytes to the settings readers; every read stays inside its tables, and
// what the writers make of the result reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    main_settings m;
    const int n = read_main_settings(text, m);
    if (n < 0 || n > main_pair_count) std::abort();
    iq_records iq;
    const int k = read_iq_settings(text, iq);
    if (k < 0 || k > iq_pair_count) std::abort();
    // Names come from the device list, not from files; use the bytes as one to test
    // the key-line writer too.
    iq[0].name.assign(text.substr(0, 300));

    main_settings m2;
    if (read_main_settings(format_main_settings(m), m2) != main_pair_count) std::abort();
    for (int i = 0; i < main_pair_count; ++i)
        if (main_settings_value(m, i) != main_settings_value(m2, i)) std::abort();
    iq_records iq2;
    if (read_iq_settings(format_iq_settings(iq), iq2) != iq_pair_count) std::abort();
    for (int i = 0; i < iq_slot_count; ++i)
        if (iq[i].gain != iq2[i].gain || iq[i].phase != iq2[i].phase) std::abort();
    return 0;
}
