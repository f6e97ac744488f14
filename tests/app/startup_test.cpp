#include "app/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/receiver_record.h"
#include "panel/control_events.h"
#include "record/wave_file.h"

namespace {

startup_options fast_start() {
    startup_options o;
    o.startup_wait_ms = 0;
    o.open_window = false;
    return o;
}

void busy_for(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    volatile double x = 0;
    while (std::chrono::steady_clock::now() < end) x = x + 1.0;
}

int count_lines(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << path << " line " << n;
        ++n;
    }
    return in.eof() ? n : -1;
}

// The value line of pair n (1..24) of a settings file.
int value_of_pair(const char* path, int n) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (int i = 0; i < 2 * n && std::getline(in, line); ++i) {
    }
    return std::atoi(line.c_str());
}

}  // namespace

TEST(Startup, FirstRunStateAndOrderlyShutdown) {
    // The settings files live in the working directory: start in an empty one.
    char folder[] = "/tmp/tolvan_startup_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    start_receiver_core(fast_start());

    // A first run without settings files: LSB 2700 Hz Hanning at 96 kHz (entry 4, whose
    // values entry 0 has at 48 kHz), card 0.
    EXPECT_EQ(data_origin.selected_mode, 4);
    EXPECT_EQ(data_origin.sampling_high, 1);
    EXPECT_EQ(data_origin.sample_rate, 96000);
    EXPECT_EQ(data_origin.cw_mode, 0);
    EXPECT_EQ(persisted.selected_card, 0);
    EXPECT_EQ(persisted.center_frequency_Hz, 7056212);
    EXPECT_EQ(data_origin.agc_on, 1);
    EXPECT_FLOAT_EQ(data_origin.agc_gain_limit, 70.0f);
    EXPECT_EQ(data_origin.notch_on, 0);
    EXPECT_EQ(data_origin.notch_span, 16);
    EXPECT_EQ(data_origin.notch_position, 500);
    EXPECT_EQ(data_origin.rf_gain, 1);
    EXPECT_EQ(data_origin.playing, 0);
    EXPECT_EQ(data_origin.recording, 0);
    const mode_values m0 = mode_snapshot(data_origin.mode_table[4]);
    EXPECT_EQ(m0.func, 1);
    EXPECT_EQ(m0.usb, 0);
    EXPECT_EQ(m0.band_width, 2700);
    EXPECT_EQ(m0.slider_pos, 2048);
    EXPECT_EQ(data_origin.tuned_bin, 2048);
    EXPECT_EQ(data_origin.passband_low_hz, 50);
    EXPECT_EQ(data_origin.passband_high_hz, 2700);
    // Without a correction file the I/Q gain is unity, not 0.
    for (int i = 0; i < iq_slot_count; ++i) EXPECT_EQ(persisted.iq_gain_setting[i], 10000);

    // The DSP and CPU-monitor threads run; the player and the recorder stay suspended.
    for (int i = 0; i < 500 && !(thread_is_running(core.dsp_thread) &&
                                 thread_is_running(core.cpu_monitor_thread));
         ++i)
        sleep_ms(1);
    EXPECT_TRUE(thread_is_running(core.dsp_thread));
    EXPECT_TRUE(thread_is_running(core.cpu_monitor_thread));
    EXPECT_FALSE(thread_is_running(core.wave_player_thread));
    EXPECT_FALSE(thread_is_running(core.recorder_thread));

    // CWU, then "Play wave" with a 96 kHz recording: it plays as CWL. Quit now must store
    // the live mode, not the file's.
    {
        auto f = create_wave_file("temp.wav", true);
        ASSERT_TRUE(f.has_value());
        std::vector<float> block(block_size, 0.1f);
        for (int i = 0; i < 4; ++i) write_wave_block(*f, block.data(), block.data());
        ASSERT_TRUE(finish_wave_file(*f));
    }
    panel& dialogs = *panel_links().dialogs;
    main_event_handler(0, id_cwu, dialogs.main_dialog.get_control(id_cwu), nullptr);
    ASSERT_EQ(data_origin.selected_mode, 3);
    main_event_handler(0, id_play_wave, dialogs.main_dialog.get_control(id_play_wave), nullptr);
    ASSERT_EQ(core.play.play_button_on, 1);
    EXPECT_EQ(data_origin.selected_mode, 2);

    shutdown_receiver();
    EXPECT_EQ(core.phase, receiver_phase::shut_down);
    EXPECT_FALSE(core.dsp_thread.handle.joinable());
    EXPECT_FALSE(core.cpu_monitor_thread.handle.joinable());
    EXPECT_FALSE(core.wave_player_thread.handle.joinable());
    EXPECT_FALSE(core.recorder_thread.handle.joinable());

    // The first Quit creates both files: 24 pairs and five records of four lines.
    EXPECT_EQ(count_lines("Tolvan_101.ini"), 48);
    EXPECT_EQ(count_lines("IQ.ini"), 20);
    // The next start receives as this one did before the file played: CWU at 96 kHz.
    EXPECT_EQ(value_of_pair("Tolvan_101.ini", 7), 3);   // selected_mode
    EXPECT_EQ(value_of_pair("Tolvan_101.ini", 22), 1);  // sampling high
    EXPECT_EQ(value_of_pair("Tolvan_101.ini", 14), 7);  // the CWU radio
    std::system((std::string("rm -rf ") + folder).c_str());
}

TEST(CpuMonitor, CountsRecordSecondsOnlyWhileRecButtonIsOn) {
    core_state c;
    cpu_monitor_step(c);
    cpu_monitor_step(c);
    EXPECT_EQ(c.record_seconds, 0);
    c.record_button_on = 1;
    for (int i = 0; i < 3; ++i) cpu_monitor_step(c);
    EXPECT_EQ(c.record_seconds, 3);
    c.record_button_on = 0;
    cpu_monitor_step(c);
    EXPECT_EQ(c.record_seconds, 3);
    c.record_seconds = 65535;  // 16 bits, wraps
    c.record_button_on = 1;
    cpu_monitor_step(c);
    EXPECT_EQ(c.record_seconds, 0);
}

TEST(CpuMonitor, ReportsBusyAndIdlePercentages) {
    core_state c;
    cpu_monitor_step(c);
    busy_for(400);
    cpu_monitor_step(c);
    EXPECT_GE(c.cpu_usage_percent, 25);  // other processes may share the core
    EXPECT_LE(c.cpu_usage_percent, 110);
    sleep_ms(400);
    cpu_monitor_step(c);
    EXPECT_LE(c.cpu_usage_percent, 15);
}

TEST(CpuMonitor, ThreadSamplesOncePerSecondAndStopsPromptly) {
    core_state c;
    c.record_button_on = 1;
    thread_create(c.cpu_monitor_thread, cpu_monitor_thread, &c);
    thread_resume(c.cpu_monitor_thread);
    sleep_ms(2300);
    EXPECT_GE(c.record_seconds, 1);  // about 2: one per second of sleep
    EXPECT_LE(c.record_seconds, 3);
    const auto t0 = std::chrono::steady_clock::now();
    event_set(c.monitor_stop);
    thread_stop(c.cpu_monitor_thread);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
}
