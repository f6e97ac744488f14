#pragma once
// The display attached to records of its own and drawn on an off-screen 1024 x 480 device,
// with the control panel built as at start-up. Spectra are published the way the DSP thread
// publishes them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/device_callbacks.h"
#include "display/display_context.h"
#include "display/display_state.h"
#include "display/frame.h"
#include "gui/draw.h"
#include "panel/panel.h"
#include "record/player.h"
#include "tests/gui/png_writer.h"

class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_display_state();
        device = gui::create_offscreen_device(1024, 480);
        ASSERT_NE(device, nullptr);
        signal = std::make_unique<signal_state>();
        modes = std::make_unique<receive_mode_state>();
        reset_mode_table(*modes);
        values.display_speed = 0;  // no pacing in tests
        values.show_average = 0;
        create_controls(p, resources, panel_handlers{}, true, false);
        p.tuning_slider->set_value(selected_entry(*modes).slider_pos);
        ctx.resources = &resources;
        ctx.dialogs = &p;
        ctx.controls = &controls;
        ctx.modes = modes.get();
        ctx.signal = signal.get();
        ctx.values = &values;
        ctx.sound = &sound;
        ctx.cpu_usage_percent = &cpu;
        play.handoff = wave.get();
        ctx.play = &play;
        ctx.record_button_on = &record_button;
        ctx.record_seconds = &record_seconds;
        ctx.rebuild_scales = rebuild_scales;
        ctx.update_frequency_readout = update_frequency_readout;
        panel_attach(&ctx);
        display_attach(&ctx);
        ASSERT_EQ(device_created(device.get(), &device->back_buffer_desc(), nullptr),
                  gui::status_ok);
        ASSERT_EQ(device_reset(device.get(), &device->back_buffer_desc(), nullptr), gui::status_ok);
    }
    void TearDown() override {
        device_lost(nullptr);
        device_destroyed(nullptr);
        display_attach(nullptr);
        panel_attach(nullptr);
        gui::GuiDialog::clear_focus();
        reset_display_state();
    }

    // Publishes one spectrum: every display bin at `level_db`, then `edit` on the block.
    void publish(double level_db, const std::function<void(spectrum_block&)>& edit = {}) {
        spectrum_block& b = tb_back(signal->spectra);
        for (double& v : b.display_db) v = level_db;
        for (double& v : b.audio_db) v = -1000.0;
        b.passband_bin_count = signal->passband_bin_count;
        if (edit) edit(b);
        tb_publish(signal->spectra);
    }
    // Selects a mode as the mode application would: family, rate, tuning position.
    void select_mode(int m, int slider_pos) {
        modes->selected_mode = m;
        const mode_family f = family_of_mode(m);
        set_processing_sizes(*signal, f.sampling_high);
        signal->cw_mode = f.cw_mode;
        controls.display_sample_rate = f.sampling_high ? 96000 : 48000;
        rebuild_scales();
        selected_entry(*modes).slider_pos = slider_pos;
        p.tuning_slider->set_value(slider_pos);
    }
    void frame() {
        frame_update(device.get(), 0.0, 0.0f, nullptr);
        frame_render(device.get(), 0.0, 0.0f, nullptr);
        pixels = device->read_pixels();
    }
    gui::Colour at(int x, int y) const { return pixels[size_t(y) * 1024 + size_t(x)] & 0xFFFFFF; }
    // Pixels in [left, right) x [top, bottom) that are not black.
    int lit(int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += at(x, y) != 0;
        return n;
    }
    void save(const std::string& name) const {
        write_png((std::string(TOLVAN_ARTIFACTS_DIR) + "/display_" + name + ".png").c_str(),
                       pixels.data(), 1024, 480);
    }
    const char* text_of(int id) const { return p.main_dialog.get_static(id)->text().c_str(); }

    std::unique_ptr<gui::Device> device;
    std::unique_ptr<signal_state> signal;
    std::unique_ptr<receive_mode_state> modes;
    persisted_values values;
    panel_state controls;
    audio_stream sound;
    relaxed<int32_t> cpu{0};
    std::unique_ptr<wave_handoff> wave = std::make_unique<wave_handoff>();
    player play;  // never started: the test sets what the display reads
    relaxed<uint8_t> record_button{0};
    relaxed<uint16_t> record_seconds{0};
    gui::GuiResourceManager resources;  // outlives the dialogs
    panel p;
    display_context ctx;
    std::vector<gui::Colour> pixels;
};
