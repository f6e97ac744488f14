#pragma once
// Switching the receiver to a playback file's sample rate and back to the live mode. The
// live tuning position is kept while a file plays, and the file's own one afterwards.
#include <cstdint>

constexpr int playback_settle_ms = 200;  // [ms] after each switch, as after a stream restart

// Chooses the mode for a file at `rate` [Hz] from mode m (at 48 kHz always LSB; at 96 kHz
// CWU plays as CWL and a 48 kHz sideband as its 96 kHz entry) and remembers m as the live
// mode.
void enter_playback_mode(int32_t m, int32_t rate);
// Back to mode `saved` at its own rate, with its CW pitch and the live tuning position.
void restore_live_mode(int32_t saved);
