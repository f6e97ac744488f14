#pragma once
// Losing the display connection. Xlib reports a lost connection to its I/O error handler
// and ends the process with exit() when the handler returns, which would tear down static
// records under running threads. The framework's handler passes the loss to the callback
// set with set_display_lost_callback (framework.h) instead.
namespace gui {

// Installs the handler for the X connection SDL has opened (once; later calls do nothing).
void watch_x11_connection();

}  // namespace gui
