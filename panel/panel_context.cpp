#include "panel/panel_context.h"

namespace {
panel_context* attached = nullptr;
panel_context empty_context;
}  // namespace

void panel_attach(panel_context* context) {
    attached = context;
}

panel_context& panel_links() {
    return attached ? *attached : empty_context;
}

void call_rebuild_scales() {
    if (panel_links().rebuild_scales) panel_links().rebuild_scales();
}

void call_update_frequency_readout() {
    if (panel_links().update_frequency_readout) panel_links().update_frequency_readout();
}

void stop_receiver_stream(panel_context& c) {
    if (c.sound && c.streams.stop) c.streams.stop(*c.sound);
}

int32_t open_receiver_stream(panel_context& c) {
    if (!c.sound || !c.audio || !c.values || !c.signal || !c.streams.open) return 1;
    return c.streams.open(*c.sound, *c.audio, c.values->selected_card, c.signal->sample_rate);
}

bool quit_pending(const panel_context& c) {
    return c.quit_requested && c.quit_requested();
}
