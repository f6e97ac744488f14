#pragma once
// A control panel built as at start-up with the receiver's records attached through the
// panel context, as the application attaches them. No sound card: every stream open fails.
#include <gtest/gtest.h>

#include <memory>

#include "panel/panel_context.h"
#include "record/wave_handoff.h"

class ReceiverPanel : public ::testing::Test {
  protected:
    // Builds the panel with handlers `h` at 96 kHz with mode m selected and links the
    // records; the fixture adds its own links, then calls panel_attach(&links).
    void build(const panel_handlers& h, int32_t m) {
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
        audio.signal = &signal.handoff;
        audio.wave = wave.get();
        play.handoff = wave.get();
    }
    void TearDown() override {
        panel_attach(nullptr);
        gui::GuiDialog::clear_focus();
    }

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
    panel_context links;
};
