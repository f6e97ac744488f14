#pragma once
// What the soak benchmark reads from the recordings: glitches of the demodulated tone and
// the delay from the input's carrier edges to the output's.
#include <string>
#include <vector>

#include "soak_signal.h"

struct glitch {
    double t_s;        // [s, steady clock] start
    double length_s;   // [s]
    std::string kind;  // "silence", "dip" or "phase jump"
};

// Glitches of a steady tone between from_s and to_s: windows below half the reference level
// ("dip"; below 1/100: "silence"), and phase steps larger than max_phase_step_rad between
// neighbouring windows. Neighbouring bad windows make one glitch. The reference is the
// median level of the stretch unless given (a stretch that is mostly silent has none).
std::vector<glitch> find_glitches(const std::vector<tone_window>& w, double from_s, double to_s,
                                  double max_phase_step_rad = 0.2, double reference = -1);

struct edge {
    double t_s;  // [s] crossing of half the on-level
    bool rising;
};
// Edges of a keyed tone between from_s and to_s.
std::vector<edge> find_edges(const std::vector<tone_window>& w, double from_s, double to_s);

// For each input edge the first output edge of the same direction after it, within
// max_s: (input edge time, delay [s]).
struct edge_delay {
    double t_s;
    double delay_s;
};
std::vector<edge_delay> pair_edges(const std::vector<edge>& in, const std::vector<edge>& out,
                                   double max_s = 1.0);

// First time at or after from_s from which the tone stays at more than half its reference
// level for hold_s; negative when it never does.
double tone_back_at(const std::vector<tone_window>& w, double from_s, double reference,
                    double hold_s = 0.2);

// Median level of the windows between from_s and to_s.
double median_level(const std::vector<tone_window>& w, double from_s, double to_s);
