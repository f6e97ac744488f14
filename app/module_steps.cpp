// Start-up and shutdown steps that call into the window, control, settings and sound-card
// modules.
#include "app/receiver_record.h"
#include "app/startup_steps.h"

void register_framework_callbacks() {}
void create_controls_step() {}
void check_mode_radios_step() {}
void set_stream_open(uint8_t open) {}
void load_settings_step() {}
void init_audio_library_step(const startup_options& options) { sleep_ms(options.startup_wait_ms); }
void apply_mode_step() {}
void check_rate_radio() {}
void caption_meter_buttons() {}
void fill_card_list_step() {}

void framework_init_step(int argc, char** argv) {}
void create_window_step() {}
void create_device_step() {}
void update_frequency_readout_step() {}
bool stored_card_exists() { return true; }
void show_card_name() {}
int main_loop_step() { return 0; }
int run_headless() { return 0; }

void stop_stream_step() {}
void save_settings_step() {}
void close_wave_files() {}
void restore_live_mode_step() {}
void terminate_audio_library() {}
void destroy_band_filter() {}
