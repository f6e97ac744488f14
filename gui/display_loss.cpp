#include "gui/display_loss.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "gui/framework.h"

namespace gui {
namespace {

std::atomic<DisplayLostCallback> lost_callback{nullptr};
std::atomic<void*> lost_context{nullptr};
XIOErrorHandler previous_io_handler = nullptr;
bool installed = false;

int on_io_error(Display* display) {
    if (DisplayLostCallback cb = lost_callback.load()) {
        cb(lost_context.load());
        std::_Exit(1);
    }
    return previous_io_handler ? previous_io_handler(display) : 0;
}

// Once the window is gone every later call on it fails too: the first error is told.
int on_protocol_error(Display* display, XErrorEvent* e) {
    static bool told = false;
    if (!told) {
        told = true;
        char text[160] = {};
        XGetErrorText(display, e->error_code, text, sizeof text);
        std::fprintf(stderr, "X error: %s (request %d, resource 0x%lx); the program ends\n", text,
                     int(e->request_code), e->resourceid);
    }
    post_quit(1);
    return 0;
}

}  // namespace

void set_display_lost_callback(DisplayLostCallback cb, void* context) {
    lost_context = context;
    lost_callback = cb;
}

void watch_x11_connection() {
    if (installed) return;
    installed = true;
    previous_io_handler = XSetIOErrorHandler(on_io_error);
    XSetErrorHandler(on_protocol_error);
}

}  // namespace gui
