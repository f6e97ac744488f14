// Start-up and shutdown steps that call into the window, control, settings and sound-card
// modules.
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "app/receiver_record.h"
#include "app/startup_steps.h"
#include "audio/headless_receive.h"
#include "audio/stream.h"
#include "display/device_callbacks.h"
#include "display/display_context.h"
#include "display/frame.h"
#include "gui/framework.h"
#include "panel/apply_mode.h"
#include "panel/card_dialog.h"
#include "panel/card_list.h"
#include "panel/control_events.h"
#include "panel/playback_mode.h"
#include "panel/rec_button.h"
#include "panel/retune.h"
#include "panel/settings_link.h"
#include "panel/sound_hiccups.h"
#include "panel/start_quit.h"
#include "panel/window_message_handler.h"
#include "platform/message_box.h"

audio_stream sound;
audio_context audio_link;
gui::GuiResourceManager dialog_resources;
panel dialogs;
panel_state controls;
display_context links;

namespace {

// Each frame: the panel looks after the stream and a recording that ended by itself, then
// the display computes the picture.
void receiver_frame_move(gui::Device* device, double time_s, float elapsed_s, void* context) {
    watch_stream(links);
    report_sound_hiccups(links);
    check_recording(links);
    frame_update(device, time_s, elapsed_s, context);
}

std::atomic<bool> quit_posted{false};
std::atomic<int> quit_code{0};

// The display is gone: no frame can be drawn and no box shown. The receiver ends as when
// its window is closed and the process ends here.
void display_lost(void*) {
    set_message_box_handler(nullptr);  // boxes go to standard error
    std::fputs("tolvan: the connection to the display was lost\n", stderr);
    end_without_saving();
    std::fflush(nullptr);
    std::_Exit(1);
}

void post_quit(int exit_code) {
    quit_code = exit_code;
    quit_posted = true;
    gui::post_quit(exit_code);
}

void attach_links() {
    links.resources = &dialog_resources;
    links.dialogs = &dialogs;
    links.controls = &controls;
    links.modes = &data_origin;
    links.signal = &data_origin;
    links.values = &persisted;
    links.sound = &sound;
    links.audio = &audio_link;
    links.rebuild_scales = rebuild_scales;
    links.update_frequency_readout = update_frequency_readout;
    links.shutdown_receiver = shutdown_receiver;
    links.post_quit = post_quit;
    links.quit_requested = quit_requested;
    links.cpu_usage_percent = &core.cpu_usage_percent;
    links.message_text = core.message_text;
    links.message_text_size = sizeof core.message_text;
    links.rec = &core.rec;
    links.record_button_on = &core.record_button_on;
    links.record_seconds = &core.record_seconds;
    links.play = &core.play;
    panel_attach(&links);
    display_attach(&links);
    audio_link.mode = &data_origin;
    audio_link.signal = &data_origin.handoff;
    audio_link.wave = &data_origin;
    audio_link.dsp_event = &core.dsp_event;
    data_origin.thread_links.output_event = &audio_link.output_ready;
    sound.post_quit = post_quit;
}

}  // namespace

void register_framework_callbacks() {
    attach_links();
    gui::set_device_created_callback(device_created, nullptr);
    gui::set_device_reset_callback(device_reset, nullptr);
    gui::set_device_lost_callback(device_lost, nullptr);
    gui::set_device_destroyed_callback(device_destroyed, nullptr);
    gui::set_message_callback(window_message_handler, nullptr);
    gui::set_frame_render_callback(frame_render, nullptr);
    gui::set_frame_move_callback(receiver_frame_move, nullptr);
    gui::set_display_lost_callback(display_lost, nullptr);
}

void create_controls_step() {
    panel_handlers handlers;
    handlers.main = main_event_handler;
    handlers.adjust = adjust_event_handler;
    handlers.card = card_event_handler;
    handlers.tuning = tuning_event_handler;
    create_controls(dialogs, dialog_resources, handlers, data_origin.sampling_high,
                    data_origin.cw_mode);
}

void check_mode_radios_step() {
    const mode_entry& e = selected_entry(data_origin);
    for (int id : {int(e.mode), int(e.bandwidth_pos)})
        if (gui::GuiRadioButton* r = dialogs.main_dialog.get_radio_button(id))
            r->set_checked(true, true, false);
    if (gui::GuiButton* b = dialogs.main_dialog.get_button(id_dbm))
        b->set_text(persisted.show_dBm ? "dBm" : "dBuEMF");
}

void set_stream_open(uint8_t open) {
    sound.stream_open = open;
}

void load_settings_step() {
    load_settings(data_origin, data_origin, persisted, dialogs);
}

void init_audio_library_step(const startup_options&) {
    init_audio_library(sound);
}

void apply_mode_step() {
    apply_mode(data_origin.selected_mode);
}

void check_rate_radio() {
    const int id = data_origin.sampling_high ? id_rate_96k : id_rate_48k;
    if (gui::GuiRadioButton* r = dialogs.card_dialog.get_radio_button(id))
        r->set_checked(true, true, false);
}

void caption_meter_buttons() {
    caption_toggle(dialogs.main_dialog, id_average, persisted.show_average, "ave", "peak");
    caption_toggle(dialogs.main_dialog, id_dbm, persisted.show_dBm, "dBm", "dBuEMF");
}

void fill_card_list_step() {
    const std::vector<sound_card> cards = fill_card_list(sound, persisted.card_names);
    fill_card_combo(dialogs, cards, persisted.selected_card);
}

void message_boxes_step(int argc, char** argv) {
    gui::set_command_line(argc, argv);
    gui::install_message_boxes();
}

bool quit_requested() {
    return quit_posted;
}

int quit_exit_code() {
    return quit_code;
}

void framework_init_step(int argc, char** argv) {
    gui::set_command_line(argc, argv);
    gui::framework_init(true, true, true, true);
    gui::set_cursor_settings(true, true);
}

bool create_window_step() {
    return gui::create_window("Tolvan 1.1") == gui::status_ok;
}

bool create_device_step() {
    return gui::create_device(0, true, 1024, 480, is_device_acceptable, modify_device_settings,
                              nullptr) == gui::status_ok;
}

void update_frequency_readout_step() {
    call_update_frequency_readout();
}

bool stored_card_exists() {
    return card_name(sound, persisted.selected_card).has_value();
}

void show_card_name() {
    const std::optional<std::string> name = card_name(sound, persisted.selected_card);
    if (!name) return;
    std::snprintf(core.message_text, sizeof core.message_text, "%s", name->c_str());
    if (gui::GuiStatic* label = dialogs.main_dialog.get_static(id_card_name))
        label->set_text(core.message_text);
}

int main_loop_step() {
    if (quit_posted) return quit_code;
    return gui::main_loop();
}

// The receiver core without a window: streams on the stored card until interrupted.
int run_headless() {
    if (!stored_card_exists()) {
        message_box("no device\nplease delete Tolvan.ini file", "device error");
        std::fflush(nullptr);
        std::_Exit(0);
    }
    set_stream_open(1);
    const int rc = headless_receive(sound, audio_link, persisted.selected_card,
                                    data_origin.sample_rate, stderr, &quit_posted);
    set_stream_open(0);
    return rc;
}

void stop_stream_step() {
    stop_stream(sound);
}
void save_settings_step() {
    save_settings(data_origin, data_origin, persisted, dialogs);
}
// A recording still running at the end is finished like a stopped one, so its header holds
// the real sizes and the file plays back; a recording being finished is waited for.
void close_wave_files() {
    finish_recording_at_exit(links);
    stop_playback(core.play);
}
// The stream is stopped, so this only brings the mode values back from a playback.
void restore_live_mode_step() {
    if (core.play.play_button_on) restore_live_mode(controls.live_mode);
}
void terminate_audio_library() {
    terminate_audio_library(sound);
}
void destroy_band_filter() {}
