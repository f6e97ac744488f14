// Start-up and shutdown steps that call into the window, control, settings and sound-card
// modules.
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "app/receiver_record.h"
#include "app/startup_steps.h"
#include "audio/headless_receive.h"
#include "audio/stream.h"
#include "platform/message_box.h"

audio_stream sound;
audio_context audio_link;

namespace {

std::atomic<bool> quit_posted{false};
std::atomic<int> quit_code{0};

void post_quit(int exit_code) {
    quit_code = exit_code;
    quit_posted = true;
}

}  // namespace

void register_framework_callbacks() {}
void create_controls_step() {}
void check_mode_radios_step() {}
void set_stream_open(uint8_t open) { sound.stream_open = open; }
void load_settings_step() {}
void init_audio_library_step(const startup_options& options) {
    audio_link.mode = &data_origin;
    audio_link.signal = &data_origin.handoff;
    audio_link.wave = &data_origin;
    audio_link.dsp_event = &core.dsp_event;
    sound.post_quit = post_quit;
    init_audio_library(sound);
}
void apply_mode_step() {}
void check_rate_radio() {}
void caption_meter_buttons() {}
void fill_card_list_step() { fill_card_list(sound, persisted.card_names); }

void framework_init_step(int argc, char** argv) {}
void create_window_step() {}
void create_device_step() {}
void update_frequency_readout_step() {}
bool stored_card_exists() { return card_name(sound, persisted.selected_card).has_value(); }
void show_card_name() {}
int main_loop_step() { return 0; }
// Until the window exists the receiver streams on the stored card until interrupted.
int run_headless() {
    if (quit_posted) return quit_code;
    if (!stored_card_exists()) {
        message_box("no device\nplease delete Tolvan.ini file", "device error");
        std::fflush(nullptr);
        std::_Exit(0);
    }
    std::fprintf(stderr, "tolvan: no window yet, receiving headless on card %d at %d Hz\n",
                 int(persisted.selected_card), int(data_origin.sample_rate));
    set_stream_open(1);
    const int rc = headless_receive(sound, audio_link, persisted.selected_card,
                                    data_origin.sample_rate, stderr, &quit_posted);
    set_stream_open(0);
    return rc;
}

void stop_stream_step() { stop_stream(sound); }
void save_settings_step() {}
void close_wave_files() {}
void restore_live_mode_step() {}
void terminate_audio_library() { terminate_audio_library(sound); }
void destroy_band_filter() {}
