#pragma once
// The named steps of start-up and shutdown, each a call into the module that owns it.
#include "app/startup.h"

void register_framework_callbacks();
void open_cpu_counter();
void seed_receiver_state();
void create_controls_step();
void reset_mode_table_and_tuning();
void apply_first_mode();
void set_gain_and_notch_defaults();
void create_worker_threads();
void load_settings_step();
void init_audio_library_step(const startup_options& options);
void apply_mode_step();
void check_rate_radio();
void caption_meter_buttons();
void fill_card_list_step();

void message_boxes_step(int argc, char** argv);
bool quit_requested();
int quit_exit_code();
void framework_init_step(int argc, char** argv);
bool create_window_step();
bool create_device_step();
void update_frequency_readout_step();
bool stored_card_exists();
void show_card_name();
int main_loop_step();
int run_headless();

void stop_stream_step();
void save_settings_step();
void close_wave_files();
void stop_worker_threads();
void restore_live_mode_step();
void terminate_audio_library();
void destroy_band_filter();

// Module calls used by several steps.
void check_mode_radios_step();
void set_stream_open(uint8_t open);
