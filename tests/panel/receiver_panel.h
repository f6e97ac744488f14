#pragma once
// A control panel built as at start-up with the receiver's records and the display's own
// recomputations (scales, slider ranges, readouts) attached through the display context,
// as the application attaches them. The stream operations are the test's: every stop and
// open is logged with the sizes the receiver had set up at that moment, and an open fails
// (as with a card that refuses the rate) unless the test lets it succeed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "display/display_context.h"
#include "display/display_state.h"
#include "display/readouts.h"
#include "display/scales.h"
#include "dsp/receive_mode.h"
#include "panel/panel_context.h"
#include "record/wave_handoff.h"

// One stream operation as the panel asked for it.
struct stream_call {
    char op;                      // 's' stop, 'o' open
    int32_t card;                 // open: the card asked for
    int32_t rate;                 // open: the rate asked for [Hz]; stop: -1
    int32_t sample_rate;          // [Hz] the signal path's rate at that moment
    int32_t selected_mode;        // the mode in force at that moment
    int32_t passband_high_hz;     // [Hz] the filter's upper edge at that moment
    bool tuning_slider_cw_range;  // the tuning slider spanned 0..1023 at that moment
};

class ReceiverPanel : public ::testing::Test {
  protected:
    // Builds the panel with handlers `h` at 96 kHz with mode m selected and links the
    // records; the fixture adds its own links, then calls attach().
    void build(const panel_handlers& h, int32_t m) {
        reset_display_state();
        reset_mode_table(modes);
        modes.selected_mode = m;
        signal.sampling_high = 1;
        create_controls(p, resources, h, true, false);
        links.resources = &resources;
        links.dialogs = &p;
        links.controls = &controls;
        links.modes = &modes;
        links.signal = &signal;
        links.values = &values;
        links.sound = &sound;
        links.audio = &audio;
        links.play = &play;
        links.streams.stop = fake_stop;
        links.streams.open = fake_open;
        links.quit_requested = [] { return current->quit_posted; };
        links.post_quit = [](int code) {
            current->quit_posted = true;
            current->quit_code = code;
        };
        links.rebuild_scales = rebuild_scales;
        links.update_frequency_readout = update_frequency_readout;
        sound.post_quit = links.post_quit;  // as the application links the stream's
        audio.signal = &signal.handoff;
        audio.wave = wave.get();
        play.handoff = wave.get();
        current = this;
    }
    void attach() {
        panel_attach(&links);
        display_attach(&links);
    }
    void TearDown() override {
        display_attach(nullptr);
        panel_attach(nullptr);
        gui::GuiDialog::clear_focus();
        reset_display_state();
        current = nullptr;
    }

    // The mode and the rate agree with the mode families: 0, 1 at 48 kHz; 2, 3 CW at
    // 96 kHz; 4, 5 SSB at 96 kHz.
    void expect_family_kept(const char* where) {
        const mode_family f = family_of_mode(modes.selected_mode);
        EXPECT_EQ(signal.sampling_high, f.sampling_high) << where;
        EXPECT_EQ(signal.cw_mode, f.cw_mode) << where;
        EXPECT_EQ(signal.sample_rate, f.sampling_high ? 96000 : 48000) << where;
    }
    std::string calls_text() const {
        std::string t;
        for (const stream_call& c : calls) {
            t += c.op;
            if (c.op == 'o') t += std::to_string(c.rate);
            t += ' ';
        }
        return t;
    }

    static void fake_stop(audio_stream&) {
        current->log('s', -1, -1);
        if (current->stop_fails) current->sound.post_quit(0);  // as a failed stop does
    }
    static int32_t fake_open(audio_stream&, audio_context&, int32_t card, int32_t rate) {
        current->log('o', card, rate);
        const int32_t r = current->open_results.empty() ? 1 : current->open_results.front();
        if (!current->open_results.empty())
            current->open_results.erase(current->open_results.begin());
        return r;
    }
    void log(char op, int32_t card, int32_t rate) {
        calls.push_back({op, card, rate, signal.sample_rate, modes.selected_mode,
                         signal.passband_high_hz, p.tuning_slider->max() == 1023});
    }

    static inline ReceiverPanel* current = nullptr;

    gui::GuiResourceManager resources;  // outlives the dialogs
    panel p;
    panel_state controls;
    receive_mode_state modes;
    signal_state signal;
    persisted_values values;
    audio_stream sound;
    audio_context audio;
    std::unique_ptr<wave_handoff> wave = std::make_unique<wave_handoff>();
    player play;  // no thread unless a test starts one
    display_context links;

    std::vector<stream_call> calls;
    std::vector<int32_t> open_results;  // of the next opens, in order; then every open fails
    bool stop_fails = false;
    bool quit_posted = false;
    int quit_code = -1;
};
