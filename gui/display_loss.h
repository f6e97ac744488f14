#pragma once
// Losing the display connection or the window. Xlib ends the process with exit() when its
// connection breaks and, by default, on any protocol error (a window destroyed under the
// program by another client); exit() would tear down static records under running threads.
// The framework's handlers pass a lost connection to the callback set with
// set_display_lost_callback (framework.h), and turn a protocol error into a quit request
// with exit code 1, so that the frame loop ends and the program ends in order.
namespace gui {

// Installs both handlers for the X connection SDL has opened (once; later calls do nothing).
void watch_x11_connection();

}  // namespace gui
