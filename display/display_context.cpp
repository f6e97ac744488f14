#include "display/display_context.h"

#include "display/display_state.h"

namespace {
display_context* attached = nullptr;
display_context empty_context;
}  // namespace

void display_attach(display_context* context) {
    attached = context;
    // The panel's right-click marker writes its lines where the display reads them.
    if (context && !context->marker_lines) context->marker_lines = &screen().marker_source;
}

display_context& display() {
    return attached ? *attached : empty_context;
}
