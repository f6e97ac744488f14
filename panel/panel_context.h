#pragma once
// Everything the panel's handlers act on: the receiver's records, the dialogs, the panel's
// own values and the sound-card stream. The application attaches it once at start-up;
// tests attach records of their own.
#include <vector>

#include "audio/audio_context.h"
#include "audio/stream.h"
#include "dsp/receive_mode.h"
#include "dsp/signal_state.h"
#include "gui/toolkit.h"
#include "panel/panel.h"
#include "panel/panel_state.h"
#include "record/player.h"
#include "record/recorder.h"
#include "settings/persisted_values.h"

// One two-point line of the level marker, in window pixels.
struct marker_line {
    gui::PointF from, to;
    gui::Colour colour;
};

// The stream operations behind mode, rate and card switching: stop the stream, then open
// it again on a card at a rate (0 when it runs, 1 when it could not be opened). The
// receiver uses the sound library's own; tests put in their own to follow the sequence
// without a sound server.
struct stream_operations {
    void (*stop)(audio_stream& s) = stop_stream;
    int32_t (*open)(audio_stream& s, audio_context& ctx, int32_t card,
                    int32_t sample_rate) = open_stream;
};

struct panel_context {
    gui::GuiResourceManager* resources = nullptr;
    panel* dialogs = nullptr;
    panel_state* controls = nullptr;
    receive_mode_state* modes = nullptr;
    signal_state* signal = nullptr;
    persisted_values* values = nullptr;
    audio_stream* sound = nullptr;
    audio_context* audio = nullptr;
    stream_operations streams;

    // The display's recomputations, which the panel triggers (the display sits above it).
    void (*rebuild_scales)() = nullptr;
    void (*update_frequency_readout)() = nullptr;
    // The application's shutdown sequence and quit request (the "Quit" press).
    void (*shutdown_receiver)() = nullptr;
    void (*post_quit)(int exit_code) = nullptr;
    // True once the program is ending (a failed stream stop asked to quit): nothing opens a
    // stream any more.
    bool (*quit_requested)() = nullptr;
    // The recorder behind "Rec" with its button state and time, and the player behind
    // "Play wave" (each press is ignored while the other button is on).
    recorder* rec = nullptr;
    relaxed<uint8_t>* record_button_on = nullptr;
    relaxed<uint16_t>* record_seconds = nullptr;  // [s] counted by the CPU monitor
    player* play = nullptr;
    // The right-click level marker's lines, drawn by the display while marker_on.
    std::vector<marker_line>* marker_lines = nullptr;
};

// The stream operations on the attached records: stop; open on selected_card at the
// current sample rate (1 without records to open with).
void stop_receiver_stream(panel_context& c);
int32_t open_receiver_stream(panel_context& c);
bool quit_pending(const panel_context& c);

// Calls the display's recomputations when they are attached.
void call_rebuild_scales();
void call_update_frequency_readout();

void panel_attach(panel_context* context);
// The attached context; an empty one (all null) before anything is attached.
panel_context& panel_links();
