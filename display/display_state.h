#pragma once
// The display's own state: its graphics resources, the traces and boxes of the current
// frame, the scale geometry and labels, and the S-meter. One process-wide record, used on
// the window's thread only.
#include <cstdint>
#include <memory>

#include "display/line_list.h"
#include "dsp/sizes.h"
#include "gui/draw.h"
#include "panel/panel_context.h"

constexpr int display_columns = 1024;   // [px] width of the spectrum panel
constexpr int audio_vertex_room = 250;  // [points] room of the audio trace
constexpr int scale_label_count = 20;
constexpr int scale_label_chars = 20;      // [characters] per label
constexpr int s_meter_average_count = 10;  // [frames] readings averaged by the S-meter

// Frequency scale: tick spacing, anchor tick and label positions and texts.
struct scale_geometry {
    float ssb_tick_spacing_px = 0;  // [px] per 5 kHz on the SSB display
    float cw_tick_spacing_px = 0;   // [px] per 2 kHz on the CW display
    int anchor_remainder_hz = 0;    // [Hz] from the anchor tick up to the reference
    float scale_anchor_x = 0;       // [px]
    int ssb_anchor_tick_index = 0;  // whole tick spacings between x = 0 and the anchor
    int cw_anchor_tick_index = 0;
    int ssb_anchor_label_khz = 0;  // [kHz] label of the anchor tick
    int cw_anchor_label_khz = 0;
    int label_x[scale_label_count] = {};  // [px] left edge of each label (tick x - 15)
    char scale_labels[scale_label_count][scale_label_chars + 1] = {};
};

struct s_meter_state {
    double passband_peak_db = -1000.0;  // [dB] highest level inside the pass band
    double reading_history[s_meter_average_count] = {};
    int history_index = 0;
    int average_count = s_meter_average_count;
    double signal_reading = 0;  // [dBuEMF], or [dBm] after the text step in dBm mode
    float needle_x = 903.0f;    // [px]
    gui::PointF needle_vertices[2] = {};
    double diff_value = 0;  // [dB] reading minus the marker's reference level
};

struct display_state {
    // Graphics resources.
    std::shared_ptr<gui::Font> text_font;         // the system's default face, 12 px
    bool text_sprite = false;                     // the text batch can be begun
    LineList frame_lines;                         // rebuilt every frame
    LineList grid_lines;                          // rebuilt by rebuild_scales
    LineList marker_lines;                        // the right-click level marker
    std::vector<marker_line> marker_source;       // the marker's lines as the panel sets them
    const gui::Picture* scale_picture = nullptr;  // the S-meter scale, while the device is reset
    gui::Device* back_buffer = nullptr;           // the target the picture is copied onto
    gui::Rect scale_picture_rect{};

    // The current frame.
    double column_db[display_columns] = {};  // [dB] largest of each group of four bins
    gui::PointF spectrum_vertices[display_columns] = {};
    gui::PointF audio_vertices[audio_vertex_room] = {};
    int audio_vertex_count = 0;
    gui::Colour trace_colour = 0;

    scale_geometry scales;
    s_meter_state meter;
    double tuned_frequency_hz = 0;  // [Hz] last shown by the frequency readout
};

// The display's record.
display_state& screen();
// Puts the record back to its start-up values (tests). Resources are dropped, not released.
void reset_display_state();
