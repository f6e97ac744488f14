#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

// The values a first run saves: defaults of every persisted value, mode entry 0.
main_settings first_run_values() {
    main_settings s;
    s.center_frequency_Hz = 7056212;
    s.selected_mode = 0;
    s.mode = {1, 0, 1, 2700, 0, 2048, 8, 16};
    s.display_speed_slider_pos = 75;
    s.agc_gain_limit_slider_pos = 70;
    s.low_cutoff_hz = 50;
    s.agc_state = 1;
    s.show_average = 1;
    s.show_dBm = 1;
    s.sampling_high = 1;
    s.rf_gain = 1;
    return s;
}

int count_lines(const std::string& text) {
    int n = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && text[i + 1] == '\n') ++n;
    return n;
}

std::string lf_only(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

const char* const default_main_file =
    "center_frequency_Hz\r\n7056212\r\n"
    "96KHssb_adjust_freq_Hz\r\n0\r\n"
    "96KHcw_adjust_freq_Hz\r\n0\r\n"
    "48KH_ssb_adjust_freq_Hz\r\n0\r\n"
    "dBm_adjust_value\r\n0\r\n"
    "selected_card index:\r\n0\r\n"
    "data_origin.selected_mode\r\n0\r\n"
    "data_origin.selected_mode_func\r\n1\r\n"
    "data_origin.selected_mode_usb\r\n0\r\n"
    "data_origin.selected_mode_carrier\r\n1\r\n"
    "data_origin.selected_mode_band_width\r\n2700\r\n"
    "data_origin.selected_mode_offset\r\n0\r\n"
    "data_origin.selected_mode_slider_pos\r\n2048\r\n"
    "data_origin.selected_mode_mode\r\n8\r\n"
    "data_origin.selected_mode_bandwidth_pos\r\n16\r\n"
    "display_speed_slider_pos\r\n75\r\n"
    "AGC_gain_limit_slider_pos\r\n70\r\n"
    "filter_low_cutoff_freq_value\r\n50\r\n"
    "AGC_state_value\r\n1\r\n"
    "show average or direct\r\n1\r\n"
    "show dBm or dBuEMF\r\n1\r\n"
    "sampling high\r\n1\r\n"
    "rf gain\r\n1\r\n"
    "reverse input\r\n0\r\n";

TEST(SettingsFormat, MainFileIsByteExactWith48Lines) {
    const std::string text = format_main_settings(first_run_values());
    EXPECT_EQ(text, default_main_file);
    EXPECT_EQ(count_lines(text), 48);
}

TEST(SettingsFormat, IqFileHasFiveRecordsWithNamesAndBlankNames) {
    iq_records r;
    r[0] = {"HDA Intel PCH: ALC892 Analog (hw:0,0)", 10123, -45};
    r[1] = {"pulse", -19000, 28000};
    const std::string text = format_iq_settings(r);
    EXPECT_EQ(count_lines(text), 20);
    const std::string first =
        "IQ_gain HDA Intel PCH: ALC892 Analog (hw:0,0)\r\n10123\r\nIQ_phase\r\n-45\r\n"
        "IQ_gain pulse\r\n-19000\r\n";
    EXPECT_EQ(text.substr(0, first.size()), first);
    EXPECT_NE(text.find("IQ_gain \r\n0\r\nIQ_phase\r\n0\r\n"), std::string::npos);
}

TEST(SettingsFormat, NamesCannotBreakOrOverlengthTheKeyLine) {
    iq_records r;
    r[0].name = "two\nlines\r";
    r[1].name = std::string(400, 'x');
    r[2].name = std::string(246, 'y') + "\xc3\xa9";  // the 2-byte character would cross 255
    r[3].gain = 42;
    const std::string text = format_iq_settings(r);
    EXPECT_EQ(count_lines(text), 20);
    EXPECT_NE(text.find("IQ_gain two lines \r\n"), std::string::npos);
    EXPECT_NE(text.find("IQ_gain " + std::string(247, 'x') + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("IQ_gain " + std::string(246, 'y') + "\r\n"), std::string::npos);
    iq_records back;
    EXPECT_EQ(read_iq_settings(text, back), 10);
    EXPECT_EQ(back[3].gain, 42);
}

TEST(SettingsFormat, DbmCalibrationKeptToTenthsTruncatedTowardZero) {
    EXPECT_EQ(dBm_to_file(-3.47), -34);
    EXPECT_DOUBLE_EQ(dBm_from_file(-34), -3.4);
    EXPECT_EQ(dBm_to_file(3.47), 34);
    EXPECT_EQ(dBm_to_file(-0.05), 0);
    EXPECT_EQ(dBm_to_file(1e300), INT32_MAX);
    EXPECT_EQ(dBm_to_file(-1e300), INT32_MIN);
    EXPECT_EQ(dBm_to_file(std::nan("")), 0);
    // A value read back and saved again stays the same in every tenth.
    for (int k = -2000; k <= 2000; ++k) ASSERT_EQ(dBm_to_file(dBm_from_file(k)), k);
}

TEST(SettingsRead, RoundTripsEveryValueInCrLfAndLf) {
    main_settings s;
    for (int i = 0; i < main_pair_count; ++i) main_settings_value(s, i) = (i - 11) * 1009;
    const std::string text = format_main_settings(s);
    for (const std::string& t : {text, lf_only(text)}) {
        main_settings back;
        EXPECT_EQ(read_main_settings(t, back), 24);
        for (int i = 0; i < main_pair_count; ++i)
            EXPECT_EQ(main_settings_value(back, i), (i - 11) * 1009);
    }
}

TEST(SettingsRead, KeyTextIsIgnoredAndADeletedLineShiftsLaterValues) {
    const std::string text = format_main_settings(first_run_values());
    std::string edited = text;
    edited.replace(0, 19, "anything at all, even 123");
    main_settings a;
    EXPECT_EQ(read_main_settings(edited, a), 24);
    EXPECT_EQ(a.center_frequency_Hz, 7056212);

    // Without the key line of pair 2, value 2 is taken as its key and the "96" that starts
    // key 3 as its value; the rest of key 3 is then pair 3's key and the reader is back
    // in step.
    std::string shifted = text;
    shifted.erase(text.find("96KHssb_adjust_freq_Hz\r\n"), 24);
    main_settings b;
    EXPECT_EQ(read_main_settings(shifted, b), 24);
    EXPECT_EQ(b.center_frequency_Hz, 7056212);
    EXPECT_EQ(b.ssb96_adjust_freq_Hz, 96);
    EXPECT_EQ(b.mode.band_width, 2700);

    // Without value 16 the key "AGC_gain_limit_slider_pos" stands where a number must:
    // reading stops there and the later values keep what they held.
    std::string cut = text;
    cut.erase(text.find("75\r\n"), 4);
    main_settings c;
    c.display_speed_slider_pos = 33;
    c.reverse_input = 77;
    EXPECT_EQ(read_main_settings(cut, c), 15);
    EXPECT_EQ(c.mode.bandwidth_pos, 16);
    EXPECT_EQ(c.display_speed_slider_pos, 33);
    EXPECT_EQ(c.reverse_input, 77);
}

// The C library's own fgets + fscanf("%d\n") on the same text, stopping where fscanf
// does not convert; valid for lines under 256 characters and numbers inside int32.
int library_read(const std::string& text, int32_t* values, int max_pairs) {
    FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!f) return -1;
    int n = 0;
    char line[256];
    while (n < max_pairs) {
        if (!fgets(line, sizeof line, f)) break;
        int v;
        if (fscanf(f, "%d\n", &v) != 1) break;
        values[n++] = v;
    }
    fclose(f);
    return n;
}

TEST(SettingsRead, AgreesWithTheCLibraryOnShortLines) {
    std::mt19937 rng(777);
    const char* pieces[] = {"key", "IQ_gain ", "96KH", "-",    "+",    "12", "007",  "-4096",
                            " ",   "\t",       "\n",   "\r\n", "\n\n", "x1", "2700", "\r"};
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        const int parts = rng() % 30;  // lines stay under 256 characters
        for (int i = 0; i < parts; ++i) text += pieces[rng() % 16];
        if (text.empty()) continue;  // fmemopen refuses an empty buffer
        size_t run = 0, longest = 0;
        for (char c : text)
            longest = std::max(longest, run = std::isdigit((unsigned char)c) ? run + 1 : 0);
        if (longest > 9) continue;  // the C library's overflow behaviour is undefined
        int32_t mine[main_pair_count], theirs[main_pair_count];
        const int n = read_pairs(text, mine, main_pair_count);
        ASSERT_EQ(n, library_read(text, theirs, main_pair_count)) << text;
        for (int i = 0; i < n; ++i) ASSERT_EQ(mine[i], theirs[i]) << text;
    }
}

TEST(SettingsRead, EarlyEndKeepsTheValuesNotReached) {
    const std::string text = format_main_settings(first_run_values());
    main_settings s;
    s.show_dBm = 5;
    s.rf_gain = 9;
    // Cut after the digits of pair 20, before their line end: that value is still read.
    const size_t cut = text.find("show dBm or dBuEMF");
    EXPECT_EQ(read_main_settings(text.substr(0, cut - 2), s), 20);
    EXPECT_EQ(s.show_average, 1);
    EXPECT_EQ(s.show_dBm, 5);
    EXPECT_EQ(s.rf_gain, 9);
    main_settings e;
    e.center_frequency_Hz = 123;
    EXPECT_EQ(read_main_settings("", e), 0);
    EXPECT_EQ(read_main_settings("center_frequency_Hz\r\n", e), 0);
    EXPECT_EQ(e.center_frequency_Hz, 123);
}

TEST(SettingsRead, NumbersFollowScanfAndClampToInt32) {
    int32_t v[8] = {};
    EXPECT_EQ(read_pairs("k\n  -17\n\n\nk\n+5\r\nk\n99999999999999999999\nk\n-99999999999\nk\n"
                         "2147483647\nk\n-2147483648\n",
                         v, 8),
              6);
    EXPECT_EQ(v[0], -17);
    EXPECT_EQ(v[1], 5);
    EXPECT_EQ(v[2], INT32_MAX);
    EXPECT_EQ(v[3], INT32_MIN);
    EXPECT_EQ(v[4], INT32_MAX);
    EXPECT_EQ(v[5], INT32_MIN);
}

TEST(SettingsRead, NonIntegerValueLineStopsReading) {
    int32_t v[4] = {7, 7, 7, 7};
    EXPECT_EQ(read_pairs("k\n1\nk\nabc\nk\n3\n", v, 4), 1);
    EXPECT_EQ(v[1], 7);
    EXPECT_EQ(read_pairs("k\n-\nk\n3\n", v, 4), 0);
    EXPECT_EQ(read_pairs("k\n\nk\n3\n", v, 4), 0);  // the blank value line meets the key "k"
    // Trailing text after the digits is taken as the next key line, like "%d\n" does.
    EXPECT_EQ(read_pairs("k\n12abc\n34\nk\n", v, 4), 2);
    EXPECT_EQ(v[0], 12);
    EXPECT_EQ(v[1], 34);
}

TEST(SettingsRead, LongLinesAndMissingLineEnds) {
    int32_t v[3] = {};
    const std::string long_key(10000, 'k');
    EXPECT_EQ(read_pairs(long_key + "\n11\n" + long_key + "\r\n22\r\n", v, 3), 2);
    EXPECT_EQ(v[0], 11);
    EXPECT_EQ(v[1], 22);
    // A 10000-character value line is one huge number, clamped.
    EXPECT_EQ(read_pairs("k\n" + std::string(10000, '9') + "\nk\n5", v, 3), 2);
    EXPECT_EQ(v[0], INT32_MAX);
    EXPECT_EQ(v[1], 5);
    // Without line ends the whole text is one key line.
    main_settings s;
    s.center_frequency_Hz = 1;
    EXPECT_EQ(read_main_settings("center_frequency_Hz 7056212 96KHssb 0 dBm 0", s), 0);
    EXPECT_EQ(s.center_frequency_Hz, 1);
}

TEST(SettingsRead, RandomBytesNeverReadPastTheTable) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string text(rng() % 600, '\0');
        for (char& c : text) {
            const unsigned r = rng() % 16;
            c = r < 4 ? "0123456789-+ \n\r\t"[rng() % 16] : char(rng());
        }
        int32_t guard[main_pair_count + 1];
        guard[main_pair_count] = 0x5a5a5a5a;
        const int n = read_pairs(text, guard, main_pair_count);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, main_pair_count);
        ASSERT_EQ(guard[main_pair_count], 0x5a5a5a5a);
        iq_records r;
        ASSERT_LE(read_iq_settings(text, r), iq_pair_count);
    }
}

TEST(SettingsRead, IqValuesGoToSlotsByPosition) {
    iq_records r;
    for (int i = 0; i < iq_slot_count; ++i) r[i] = {"dev" + std::to_string(i), 100 + i, -i};
    iq_records back;
    back[4].phase = 999;
    const std::string text = format_iq_settings(r);
    const size_t cut = text.rfind("IQ_phase");
    EXPECT_EQ(read_iq_settings(lf_only(text.substr(0, cut)), back), 9);
    for (int i = 0; i < iq_slot_count; ++i) EXPECT_EQ(back[i].gain, 100 + i);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back[i].phase, -i);
    EXPECT_EQ(back[4].phase, 999);
    EXPECT_EQ(back[0].name, "");  // names are informative only
}

}  // namespace
