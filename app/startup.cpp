#include "app/startup.h"

#include <cstdio>
#include <cstdlib>

#include "app/receiver_record.h"
#include "app/startup_steps.h"
#include "platform/message_box.h"

receiver_record data_origin;
core_state core;
persisted_values persisted;

void start_receiver_core(const startup_options& options) {
    core.phase = receiver_phase::starting;
    register_framework_callbacks();                                        // 1
    open_cpu_counter();                                                    // 2
    seed_receiver_state();                                                 // 3
    create_controls_step();                                                // 4
    reset_mode_table_and_tuning();                                         // 5
    apply_first_mode();                                                    // 6
    set_gain_and_notch_defaults();                                         // 7
    create_worker_threads();                                               // 8
    thread_set_priority(core.dsp_thread, thread_priority::time_critical);  // 9
    // 10, 11: dsp_lock and the three events exist with the core record, clear.
    persisted.selected_card = 0;             // 12
    load_settings_step();                    // 13
    init_audio_library_step(options);        // 14
    sleep_ms(options.startup_wait_ms);       // 15
    apply_mode_step();                       // 16
    thread_resume(core.dsp_thread);          // 17
    check_rate_radio();                      // 18
    caption_meter_buttons();                 // 19
    fill_card_list_step();                   // 20
    thread_resume(core.cpu_monitor_thread);  // 21
}

int run_receiver_window(int argc, char** argv) {
    framework_init_step(argc, argv);  // 22
    // Without a window nobody sees the receiver or can end it: the framework has said why.
    if (!create_window_step()) return exit_no_window;  // 23
    if (!create_device_step()) return exit_no_window;  // 24
    update_frequency_readout_step();                   // 25
    if (!stored_card_exists()) {                       // 26
        message_box("no device\nplease delete Tolvan.ini file", "device error");
        std::fflush(nullptr);
        std::_Exit(0);
    }
    show_card_name();  // 27
    core.phase = receiver_phase::idle;
    const int code = main_loop_step();  // 28
    if (core.phase != receiver_phase::shut_down) end_without_saving();
    return code;
}

int run_receiver(int argc, char** argv, const startup_options& options) {
    // Message boxes of the start-up (the sound library's) reach the screen before the
    // window exists.
    message_boxes_step(argc, argv);
    start_receiver_core(options);
    // The sound library did not start: it has said so and asked to quit. Its cards are
    // not missing, so there is no "device error", and no window opens.
    if (quit_requested()) return quit_exit_code();
    if (!options.open_window) {
        core.phase = receiver_phase::idle;
        const int code = run_headless();
        if (core.phase != receiver_phase::shut_down) end_without_saving();
        return code;
    }
    return run_receiver_window(argc, argv);
}

void shutdown_receiver() {
    stop_stream_step();  // 1
    // 7, before the settings are saved: the next start receives with the live mode, not
    // with the mode and rate of a file that plays now.
    restore_live_mode_step();
    save_settings_step();   // 2
    close_wave_files();     // 3
    stop_worker_threads();  // 4
    // 5, 6: the lock and the events are released with the process; no thread uses them now.
    terminate_audio_library();  // 8
    destroy_band_filter();      // 9
    core.phase = receiver_phase::shut_down;
}

void end_without_saving() {
    stop_stream_step();
    close_wave_files();
    stop_worker_threads();
    terminate_audio_library();
    core.phase = receiver_phase::shut_down;
}
