#pragma once
// Application framework: one window, one drawing device and one frame loop per process,
// with registered callbacks for the device life cycle, window messages and frames.
// Every function runs on the GUI thread.
//
// Life cycle of the device callbacks: created, reset, frames, [lost, reset, frames]*,
// lost, destroyed. A reset always comes before the first frame.
#include <string>
#include <vector>

#include "gui/draw.h"
#include "gui/messages.h"

namespace gui {

struct Window;  // the top-level window (opaque)

enum class DeviceType { hardware, reference };  // reference = SDL's software renderer
enum class VertexProcessing { pure_hardware, hardware, mixed, software };

// What the framework knows about the device it is about to create.
struct DeviceCaps {
    DeviceType type = DeviceType::hardware;
    bool hardware_transform_and_lighting = true;
    int vertex_shader_version_major = 2;
    int vertex_shader_version_minor = 0;
    bool post_pixel_shader_blending = true;  // textures of the back-buffer format can blend
    int max_texture_width = 0;
    int max_texture_height = 0;
    std::string renderer_name;  // the SDL render driver
};

// The settings used to create the device; the modify-settings callback may change them.
struct DeviceSettings {
    int adapter = 0;
    DeviceType type = DeviceType::hardware;
    bool windowed = true;
    int width = 1024;   // back buffer [px]
    int height = 480;   // back buffer [px]
    bool vsync = true;  // present waits for the vertical retrace
    VertexProcessing vertex_processing = VertexProcessing::hardware;
    PixelFormat adapter_format = PixelFormat::x8r8g8b8;
    PixelFormat back_buffer_format = PixelFormat::x8r8g8b8;
};

using DeviceCreatedCallback = int (*)(Device* device, const SurfaceDesc* back_buffer,
                                      void* context);
using DeviceResetCallback = int (*)(Device* device, const SurfaceDesc* back_buffer, void* context);
using DeviceLostCallback = void (*)(void* context);
using DeviceDestroyedCallback = void (*)(void* context);
// Returns a message result; setting *no_further_processing stops the framework's own
// handling of the message (Esc, Pause, Alt+Enter, closing).
using MessageCallback = long (*)(Window* window, const Message& message,
                                 bool* no_further_processing, void* context);
using FrameRenderCallback = void (*)(Device* device, double time_s, float elapsed_s, void* context);
using FrameMoveCallback = void (*)(Device* device, double time_s, float elapsed_s, void* context);
using DeviceAcceptableCallback = bool (*)(const DeviceCaps* caps, PixelFormat adapter_format,
                                          PixelFormat back_buffer_format, bool windowed,
                                          void* context);
using ModifyDeviceSettingsCallback = bool (*)(DeviceSettings* settings, const DeviceCaps* caps,
                                              void* context);

void set_device_created_callback(DeviceCreatedCallback cb, void* context);
void set_device_reset_callback(DeviceResetCallback cb, void* context);
void set_device_lost_callback(DeviceLostCallback cb, void* context);
void set_device_destroyed_callback(DeviceDestroyedCallback cb, void* context);
void set_message_callback(MessageCallback cb, void* context);
void set_frame_render_callback(FrameRenderCallback cb, void* context);
void set_frame_move_callback(FrameMoveCallback cb, void* context);
// Called on the GUI thread when the connection to the display is lost (the X server ended
// or dropped it). Nothing can be drawn any more and the frame loop cannot go on: the
// callback ends the process itself; if it returns, the framework ends it with exit code 1.
// Without a callback the display library's own handling stays.
using DisplayLostCallback = void (*)(void* context);
void set_display_lost_callback(DisplayLostCallback cb, void* context);

// Command-line options of the framework (see framework_init).
struct FrameworkOptions {
    int adapter = -1;  // -1: not given
    bool windowed = false;
    bool fullscreen = false;
    bool force_hal = false;
    bool force_ref = false;
    bool force_pure_hw_vp = false;
    bool force_hw_vp = false;
    bool force_sw_vp = false;
    int force_vsync = -1;  // -1: not given; 0 off; otherwise on
    int width = 0;         // 0: not given
    int height = 0;
    int start_x = -1;  // -1: not given
    int start_y = -1;
    bool constant_frame_time = false;
    double frame_time_s = 0.0333;
    int quit_after_frame = 0;  // 0: not given
    bool no_error_message_boxes = false;
    bool no_stats = false;
    bool relaunch_mce = false;
    bool automation = false;
};

// Parses arguments (argv[0] excluded). Each argument beginning with '-' or '/' is compared,
// ignoring case, with the option names; a name is followed by the end of the argument or
// by ':' and a value running to the first blank or control character. Unknown names,
// missing required values and arguments without '-' or '/' write the debug trace
// "Unrecognized flag: %s" and are otherwise ignored.
FrameworkOptions parse_command_line(const std::vector<std::string>& args);

// Where debug traces go (default: standard error). Null restores the default.
using DebugTraceHandler = void (*)(const char* text);
DebugTraceHandler set_debug_trace_handler(DebugTraceHandler handler);
void debug_trace(const char* text);

// Arguments framework_init parses. Without this call it reads the process's own command
// line (/proc/self/cmdline).
void set_command_line(int argc, const char* const* argv);

// Draw into an off-screen surface instead of a window: only on request (tests). Without it,
// create_window fails when no display can be opened. Must be called before create_window.
void set_offscreen(bool offscreen);
bool is_offscreen();

// Prepares the framework: parses the command line (when parse_command_line), installs the
// graphical message-box handler (when message boxes may be shown and a display exists),
// and switches the framework's own keys on (Alt+Enter, Esc, Pause).
int framework_init(bool parse_command_line = true, bool show_message_box_on_error = true,
                   bool handle_alt_enter = true, bool handle_default_hotkeys = true);
// Message boxes appear on the screen from now on, before any window exists, under the
// rules framework_init applies (a display, no -noerrormsgboxes, no -automation, not
// off-screen); until then they go to standard error. Parses the command line.
void install_message_boxes();
const FrameworkOptions& get_framework_options();
// Cursor options for full-screen display: show the cursor, clip it to the window.
void set_cursor_settings(bool show_cursor_when_fullscreen, bool clip_cursor_when_fullscreen);

constexpr int default_position = -1;
// Creates the top-level window (hidden until the device exists). Window size is the
// device's back-buffer size; the user cannot resize it. instance/icon/menu are unused.
// Without a display (and off-screen drawing not requested) it reports why and fails.
int create_window(const char* title, void* instance = nullptr, void* icon = nullptr,
                  void* menu = nullptr, int x = default_position, int y = default_position);
// Creates the device: asks `acceptable` about the candidate formats, calls `modify` once,
// then device created and device reset. Returns status_ok or a negative status.
int create_device(int adapter, bool windowed, int width, int height,
                  DeviceAcceptableCallback acceptable = nullptr,
                  ModifyDeviceSettingsCallback modify = nullptr, void* context = nullptr);

// Runs the frame loop until a quit request, then releases the device (lost, destroyed) and
// the window. Returns the exit code; at once (1, or a posted code) when no device exists.
int main_loop(void* accelerators = nullptr);
// One pass of the loop: all pending messages, then (unless paused) frame move, frame
// render and present. Returns false once a quit was requested. For tests and embedding.
bool run_one_frame();
// Posts the quit request: the loop ends after the current message or frame and returns
// `exit_code`.
void post_quit(int exit_code);
int get_exit_code();
// Delivers a message through the same path as a window message (message procedure, then
// the framework's own handling). For tests.
void dispatch_message(const Message& message);

Window* get_window_handle();
// Window rectangle in screen pixels (outer rectangle); false without a window.
bool get_window_rect(Window* window, Rect* rect);
// Client area size [px].
Point get_client_size();
Device* get_device();
const SurfaceDesc* get_back_buffer_surface_desc();
const DeviceSettings* get_device_settings();

// "%0.2f fps " then "Vsync %s (%dx%d), %s%s%s" (or only the latter without the frame rate);
// empty with -nostats.
const char* get_frame_stats(bool include_frame_rate = true);
// Device type, vertex processing and adapter description, e.g. "HAL (hw vp): opengl".
const char* get_device_stats();
double get_fps();
double get_time();  // [s] since the loop started, without paused time
bool is_paused();
void pause(bool pause_time, bool pause_rendering);
bool is_windowed();
// Switches between windowed and full-screen display (Alt+Enter); runs lost and reset.
int toggle_fullscreen();
// Shows the warning about the reference device; there is no slower device to warn about on
// SDL, so this only writes a debug trace.
void warn_reference_device();
// Releases everything (device lost/destroyed if still alive, window, SDL) and returns the
// framework to its uninitialised state with no callbacks. Safe to call at any time.
void framework_shutdown();

}  // namespace gui
