#include "panel/panel_context.h"

namespace {
panel_context* attached = nullptr;
panel_context empty_context;
}  // namespace

void panel_attach(panel_context* context) { attached = context; }

panel_context& panel_links() { return attached ? *attached : empty_context; }

void call_rebuild_scales() {
    if (panel_links().rebuild_scales) panel_links().rebuild_scales();
}

void call_update_frequency_readout() {
    if (panel_links().update_frequency_readout) panel_links().update_frequency_readout();
}
