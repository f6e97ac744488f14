#include "display/display_context.h"

namespace {
display_context* attached = nullptr;
display_context empty_context;
}  // namespace

void display_attach(display_context* context) { attached = context; }

display_context& display() { return attached ? *attached : empty_context; }
