#include "panel/playback_mode.h"

#include "panel/apply_mode.h"
#include "panel/retune.h"
#include "platform/thread.h"

namespace {

bool is_cw(int32_t m) {
    return m == 2 || m == 3;
}

}  // namespace

void enter_playback_mode(int32_t m, int32_t rate) {
    panel_context& c = panel_links();
    if (!c.modes || !c.signal || !c.controls) return;
    receive_mode_state& r = *c.modes;
    signal_state& s = *c.signal;
    panel_state& ps = *c.controls;
    m = valid_mode_index(m);
    if (rate == 48000) {
        s.sampling_high = 0;
        ps.cw_offset_bins = 0;
        m = 0;
        ps.live_slider_pos = r.mode_table[0].slider_pos;
        ps.live_mode = 0;  // the mode in force before is not kept
        s.cw_mode = 0;
    } else {
        ps.live_slider_pos = r.mode_table[m].slider_pos;
        if (rate == 96000) s.sampling_high = 1;
        ps.live_mode = m;
        s.cw_mode = is_cw(m) ? 1 : 0;
        if (is_cw(m)) m = 2;
        // A 96 kHz file from a 48 kHz mode plays in that sideband's 96 kHz entry.
        if (s.sampling_high && m < 2) m += 4;
        // A CW file plays as CWL: with CWL's pitch, not the live mode's.
        ps.cw_offset_bins = cw_offset_of_mode(r, m);
    }
    r.selected_mode = m;
    r.mode_table[m].slider_pos = ps.playback_slider_pos;
    apply_mode(m);
    sleep_ms(playback_settle_ms);
}

void restore_live_mode(int32_t saved) {
    panel_context& c = panel_links();
    if (!c.modes || !c.signal || !c.controls) return;
    receive_mode_state& r = *c.modes;
    signal_state& s = *c.signal;
    panel_state& ps = *c.controls;
    saved = valid_mode_index(saved);
    ps.playback_slider_pos = selected_entry(r).slider_pos;
    // The live mode comes back at its own rate and with its own pitch.
    const mode_family family = family_of_mode(saved);
    s.sampling_high = family.sampling_high;
    s.cw_mode = family.cw_mode;
    ps.cw_offset_bins = cw_offset_of_mode(r, saved);
    r.selected_mode = saved;
    r.mode_table[saved].slider_pos = ps.live_slider_pos;
    apply_mode(r.selected_mode);
    sleep_ms(playback_settle_ms);
}
