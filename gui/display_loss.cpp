#include "gui/display_loss.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>

#include "gui/framework.h"

namespace gui {
namespace {

std::atomic<DisplayLostCallback> lost_callback{nullptr};
std::atomic<void*> lost_context{nullptr};
XIOErrorHandler previous_handler = nullptr;
bool installed = false;

int on_io_error(Display* display) {
    if (DisplayLostCallback cb = lost_callback.load()) {
        cb(lost_context.load());
        std::_Exit(1);
    }
    return previous_handler ? previous_handler(display) : 0;
}

}  // namespace

void set_display_lost_callback(DisplayLostCallback cb, void* context) {
    lost_context = context;
    lost_callback = cb;
}

void watch_x11_connection() {
    if (installed) return;
    installed = true;
    previous_handler = XSetIOErrorHandler(on_io_error);
}

}  // namespace gui
