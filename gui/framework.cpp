// The framework on SDL2: window, device life cycle, frame loop and message dispatch.
#include "gui/framework.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iterator>

#include "gui/box_process.h"
#include "gui/display_loss.h"
#include "gui/picture_scaling.h"
#include "gui/sdl_device.h"
#include "gui/sdl_events.h"
#include "gui/software_gl.h"
#include "platform/message_box.h"

namespace gui {

struct Window {
    SDL_Window* sdl = nullptr;
};

namespace {

template <class F>
struct Slot {
    F fn = nullptr;
    void* context = nullptr;
};

struct State {
    Slot<DeviceCreatedCallback> created;
    Slot<DeviceResetCallback> reset;
    Slot<DeviceLostCallback> lost;
    Slot<DeviceDestroyedCallback> destroyed;
    Slot<MessageCallback> message;
    Slot<FrameRenderCallback> render;
    Slot<FrameMoveCallback> move;

    bool initialised = false;
    bool show_message_boxes = true;
    bool handle_alt_enter = true;
    bool handle_hotkeys = true;
    FrameworkOptions options;
    bool options_parsed = false;
    bool args_given = false;
    std::vector<std::string> args;
    bool offscreen_requested = false;
    bool offscreen = false;
    bool video = false;
    bool box_installed = false;

    Window window;
    bool window_made = false;
    std::string title;
    std::unique_ptr<SdlDevice> device;
    Point window_size;               // [px] of the windowed window (options or back buffer)
    SDL_Texture* picture = nullptr;  // the back buffer while the window has another size
    DeviceSettings settings;
    DeviceCaps caps;
    SurfaceDesc desc;
    bool device_created = false;  // created callback succeeded, destroyed not yet called
    bool device_reset = false;    // reset callback succeeded, lost not yet called
    std::deque<Message> pending;

    bool quit = false;
    int exit_code = 0;
    bool pause_time = false;
    bool pause_render = false;
    double time = 0;
    Uint64 last_counter = 0;
    long frame_count = 0;
    double fps = 0;
    Uint64 fps_counter = 0;
    long fps_frames = 0;
    std::string frame_stats;
    std::string device_stats;
};

State s;

// A box with an OK button and no owner window (SDL shows one before any window exists);
// the text also goes to standard error, for a log of the run.
void sdl_message_box(const char* text, const char* caption) {
    std::fprintf(stderr, "[%s] %s\n", caption, text);
    std::fflush(stderr);
    if (show_box_in_own_process(text, caption)) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr);
}

bool display_present() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

std::vector<std::string> own_command_line() {
    std::ifstream f("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    std::string cur;
    for (char c : all) {
        if (c == '\0') {
            args.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!args.empty()) args.erase(args.begin());  // the program name
    return args;
}

void parse_options() {
    if (s.options_parsed) return;
    s.options = parse_command_line(s.args_given ? s.args : own_command_line());
    s.options_parsed = true;
}

// Graphical boxes need a display and must never stop an automated run.
void install_box_handler() {
    if (s.box_installed || !s.show_message_boxes || s.options.no_error_message_boxes ||
        s.options.automation || s.offscreen_requested || !display_present())
        return;
    set_message_box_handler(sdl_message_box);
    s.box_installed = true;
}

void report_error(const char* text) {
    if (s.show_message_boxes && !s.options.no_error_message_boxes) {
        message_box(text, s.title.empty() ? "Tolvan" : s.title.c_str());
    } else {
        debug_trace(text);
    }
}

void call_lost() {
    if (!s.device_reset) return;
    s.device_reset = false;
    if (s.lost.fn) s.lost.fn(s.lost.context);
}

void call_destroyed() {
    call_lost();
    if (!s.device_created) return;
    s.device_created = false;
    if (s.destroyed.fn) s.destroyed.fn(s.destroyed.context);
}

bool call_created() {
    int r = s.created.fn ? s.created.fn(s.device.get(), &s.desc, s.created.context) : status_ok;
    if (r < 0) {
        // Let the receiver free whatever it made before the failing step.
        if (s.destroyed.fn) s.destroyed.fn(s.destroyed.context);
        return false;
    }
    s.device_created = true;
    return true;
}

bool call_reset() {
    if (!s.device_created) return false;
    s.device->set_lost(false);
    int r = s.reset.fn ? s.reset.fn(s.device.get(), &s.desc, s.reset.context) : status_ok;
    if (r < 0) {
        s.device_reset = true;  // lost runs once for the partial reset
        call_destroyed();
        return false;
    }
    s.device_reset = true;
    return true;
}

void device_unusable(const char* text) {
    report_error(text);
    post_quit(1);
}

void render_targets_reset() {
    if (!s.device_reset) return;
    call_lost();
    if (!call_reset()) device_unusable("The graphics device could not be reset.");
}

void drop_picture_target() {
    if (!s.picture) return;
    if (s.device) SDL_SetRenderTarget(s.device->renderer(), nullptr);
    SDL_DestroyTexture(s.picture);
    s.picture = nullptr;
}

// The window's drawable area [px] and its size in window points.
bool window_sizes(Point& output, Point& window) {
    if (!s.window.sdl || !s.device) return false;
    SDL_GetWindowSize(s.window.sdl, &window.x, &window.y);
    // Not the renderer's output size: that is the texture's while one is the target.
    SDL_GetWindowSizeInPixels(s.window.sdl, &output.x, &output.y);
    return output.x > 0 && output.y > 0 && window.x > 0 && window.y > 0;
}

// Draws into a texture of the back buffer's size while the window has another size (scaled
// window, full screen), straight into the window otherwise.
void update_picture_target() {
    Point output, window;
    if (!window_sizes(output, window)) return;
    const int w = s.desc.width, h = s.desc.height;
    if (output.x == w && output.y == h) {
        drop_picture_target();
        return;
    }
    SDL_Renderer* r = s.device->renderer();
    if (!s.picture) {
        s.picture = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
        if (!s.picture) {
            debug_trace(SDL_GetError());  // drawn unscaled in the corner instead
            return;
        }
    }
    SDL_SetRenderTarget(r, s.picture);
}

// Shows the frame: the picture scaled into the window (nearest pixel at whole factors,
// smoothed otherwise, black around it), or the window's own drawing.
void present_frame() {
    SDL_Renderer* r = s.device->renderer();
    Point output, window;
    if (s.picture && window_sizes(output, window)) {
        const PictureFit fit = fit_picture(s.desc.width, s.desc.height, output.x, output.y);
        SDL_SetTextureScaleMode(s.picture,
                                fit.whole_factor ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        SDL_SetRenderTarget(r, nullptr);
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderSetClipRect(r, nullptr);
        SDL_RenderClear(r);
        const Rect& d = fit.destination;
        const SDL_Rect dst{d.left, d.top, d.width(), d.height()};
        SDL_RenderCopy(r, s.picture, nullptr, &dst);
        SDL_RenderPresent(r);
        SDL_SetRenderTarget(r, s.picture);
        return;
    }
    SDL_RenderPresent(r);
}

// Mouse positions from window points to back-buffer pixels. A button press outside the
// picture (in the border of a scaled window) reaches nobody: false.
bool map_mouse(Message& m) {
    switch (m.kind) {
        case MessageKind::mouse_move:
        case MessageKind::left_button_down:
        case MessageKind::left_button_up:
        case MessageKind::left_button_double_click:
        case MessageKind::right_button_down:
        case MessageKind::right_button_up:
        case MessageKind::middle_button_down:
        case MessageKind::middle_button_up:
        case MessageKind::mouse_wheel:
            break;
        default:
            return true;
    }
    Point output, window;
    if (!window_sizes(output, window)) return true;
    const int w = s.desc.width, h = s.desc.height;
    const PictureFit fit = fit_picture(w, h, output.x, output.y);
    const Point p = window_to_picture(fit, w, h, window.x, window.y, output.x, output.y, m.x, m.y);
    m.x = p.x;
    m.y = p.y;
    const bool press = m.kind == MessageKind::left_button_down ||
                       m.kind == MessageKind::right_button_down ||
                       m.kind == MessageKind::middle_button_down ||
                       m.kind == MessageKind::left_button_double_click;
    return !press || (p.x >= 0 && p.x < w && p.y >= 0 && p.y < h);
}

void render_device_reset() {
    if (!s.device_created) return;
    call_destroyed();
    drop_picture_target();
    s.device->release_textures();
    if (!call_created() || !call_reset()) {
        device_unusable("The graphics device could not be created again.");
    }
}

void update_stats() {
    if (s.options.no_stats) {
        s.frame_stats.clear();
        s.device_stats.clear();
        return;
    }
    static const char* vp_text[] = {" (pure hw vp)", " (hw vp)", " (mixed vp)", " (sw vp)"};
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s%s: %s",
                  s.settings.type == DeviceType::reference ? "REF" : "HAL",
                  vp_text[static_cast<int>(s.settings.vertex_processing)],
                  s.caps.renderer_name.empty() ? "SDL renderer" : s.caps.renderer_name.c_str());
    s.device_stats = buf;
}

void apply_sizing(const Message& m) {
    if (!s.window.sdl || !m.sizing_rect) return;
    Rect current;
    get_window_rect(&s.window, &current);
    if (*m.sizing_rect == current) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(s.window.sdl, &top, &left, &bottom, &right);
    SDL_SetWindowPosition(s.window.sdl, m.sizing_rect->left + left, m.sizing_rect->top + top);
    SDL_SetWindowSize(s.window.sdl, m.sizing_rect->width() - left - right,
                      m.sizing_rect->height() - top - bottom);
}

void framework_handling(const Message& m) {
    switch (m.kind) {
        case MessageKind::close:
            post_quit(0);
            break;
        case MessageKind::key_down:
            if (m.key == vk::return_key && (m.modifiers & mod_alt) && s.handle_alt_enter) {
                if (!m.repeat) toggle_fullscreen();
            } else if (s.handle_hotkeys && m.key == vk::escape) {
                Message close;
                close.kind = MessageKind::close;
                dispatch_message(close);
            } else if (s.handle_hotkeys && m.key == vk::pause && !m.repeat) {
                bool paused = s.pause_time || s.pause_render;
                pause(!paused, !paused);
            }
            break;
        case MessageKind::sizing:
            apply_sizing(m);
            break;
        default:
            break;
    }
}

void handle_sdl_event(const SDL_Event& e) {
    if (e.type == SDL_RENDER_TARGETS_RESET) return render_targets_reset();
    if (e.type == SDL_RENDER_DEVICE_RESET) return render_device_reset();
    Message msgs[32];
    int n = translate_event(e, msgs, 32);
    for (int i = 0; i < n && !s.quit; ++i) {
        if (msgs[i].kind == MessageKind::sizing && s.window.sdl) {
            // The window was resized: offer the new rectangle, then apply what comes back.
            Rect proposed;
            get_window_rect(&s.window, &proposed);
            msgs[i].sizing_rect = &proposed;
            dispatch_message(msgs[i]);
            continue;
        }
        if (!map_mouse(msgs[i])) continue;
        dispatch_message(msgs[i]);
    }
}

double seconds_between(Uint64 a, Uint64 b) {
    return double(b - a) / double(SDL_GetPerformanceFrequency());
}

void render_frame() {
    Uint64 now = SDL_GetPerformanceCounter();
    float elapsed = 0;
    if (s.options.constant_frame_time) {
        elapsed = float(s.options.frame_time_s);
    } else if (s.last_counter != 0) {
        elapsed = float(seconds_between(s.last_counter, now));
    }
    s.last_counter = now;
    if (s.pause_time) elapsed = 0;
    s.time += elapsed;

    update_picture_target();
    if (s.move.fn) s.move.fn(s.device.get(), s.time, elapsed, s.move.context);
    if (s.quit) return;
    if (s.render.fn) s.render.fn(s.device.get(), s.time, elapsed, s.render.context);
    present_frame();
    s.device->end_frame();
    ++s.frame_count;

    Uint64 after = SDL_GetPerformanceCounter();
    if (s.fps_counter == 0) s.fps_counter = after;
    ++s.fps_frames;
    double span = seconds_between(s.fps_counter, after);
    if (span >= 1.0) {
        s.fps = s.fps_frames / span;
        s.fps_frames = 0;
        s.fps_counter = after;
    }
    if (s.options.quit_after_frame > 0 && s.frame_count >= s.options.quit_after_frame) {
        post_quit(0);
    }
}

void destroy_window() {
    if (s.window.sdl) SDL_DestroyWindow(s.window.sdl);
    s.window.sdl = nullptr;
    s.window_made = false;
}

}  // namespace

void set_device_created_callback(DeviceCreatedCallback cb, void* c) {
    s.created = {cb, c};
}
void set_device_reset_callback(DeviceResetCallback cb, void* c) {
    s.reset = {cb, c};
}
void set_device_lost_callback(DeviceLostCallback cb, void* c) {
    s.lost = {cb, c};
}
void set_device_destroyed_callback(DeviceDestroyedCallback cb, void* c) {
    s.destroyed = {cb, c};
}
void set_message_callback(MessageCallback cb, void* c) {
    s.message = {cb, c};
}
void set_frame_render_callback(FrameRenderCallback cb, void* c) {
    s.render = {cb, c};
}
void set_frame_move_callback(FrameMoveCallback cb, void* c) {
    s.move = {cb, c};
}

void set_command_line(int argc, const char* const* argv) {
    s.args.clear();
    for (int i = 1; i < argc; ++i) s.args.emplace_back(argv[i] ? argv[i] : "");
    s.args_given = true;
    s.options_parsed = false;
}

void set_offscreen(bool offscreen) {
    s.offscreen_requested = offscreen;
}
bool is_offscreen() {
    return s.offscreen || (!s.window_made && s.offscreen_requested);
}

int framework_init(bool parse, bool show_message_box_on_error, bool handle_alt_enter,
                   bool handle_default_hotkeys) {
    if (s.initialised) return status_ok;
    if (parse) {
        parse_options();
    } else {
        s.options = FrameworkOptions{};
    }
    s.show_message_boxes = show_message_box_on_error;
    s.handle_alt_enter = handle_alt_enter;
    s.handle_hotkeys = handle_default_hotkeys;
    if (SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        debug_trace(SDL_GetError());
        return status_fail;
    }
    if (TTF_WasInit() == 0 && TTF_Init() != 0) debug_trace(TTF_GetError());
    install_box_handler();
    s.initialised = true;
    update_stats();
    return status_ok;
}

void install_message_boxes() {
    parse_options();
    install_box_handler();
}

const FrameworkOptions& get_framework_options() {
    return s.options;
}

void set_cursor_settings(bool show_cursor_when_fullscreen, bool clip_cursor_when_fullscreen) {
    // The cursor stays shown; full screen is a desktop-sized window, so clipping is moot.
    (void)show_cursor_when_fullscreen;
    (void)clip_cursor_when_fullscreen;
}

int create_window(const char* title, void*, void*, void*, int x, int y) {
    if (!s.initialised && framework_init() != status_ok) return status_fail;
    if (s.window_made) return status_ok;
    s.title = title ? title : "";
    s.offscreen = s.offscreen_requested;
    // Without a display there is nothing to show the program on and nothing to end it
    // with: that is an error, not a reason to draw where nobody sees it.
    if (!s.offscreen) {
        if (!display_present()) {
            report_error("The window cannot be opened: no display (DISPLAY is not set).");
            return status_fail;
        }
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            const std::string text = std::string("The window cannot be opened: ") + SDL_GetError();
            report_error(text.c_str());
            return status_fail;
        }
        s.video = true;
    }
    if (!s.offscreen) {
        if (s.options.start_x >= 0) x = s.options.start_x;
        if (s.options.start_y >= 0) y = s.options.start_y;
        int px = x == default_position ? int(SDL_WINDOWPOS_UNDEFINED) : x;
        int py = y == default_position ? int(SDL_WINDOWPOS_UNDEFINED) : y;
        // Sized for the device's back buffer when the device is created.
        s.window.sdl = SDL_CreateWindow(s.title.c_str(), px, py, 1024, 480, SDL_WINDOW_HIDDEN);
        if (!s.window.sdl) {
            const std::string text = std::string("The window cannot be opened: ") + SDL_GetError();
            report_error(text.c_str());
            return status_fail;
        }
        const char* driver = SDL_GetCurrentVideoDriver();
        if (s.window.sdl && driver && std::string(driver) == "x11") watch_x11_connection();
    }
    s.window_made = true;
    return status_ok;
}

int create_device(int adapter, bool windowed, int width, int height,
                  DeviceAcceptableCallback acceptable, ModifyDeviceSettingsCallback modify,
                  void* context) {
    if (!s.window_made && create_window("") != status_ok) return status_fail;
    if (s.device) return status_ok;
    const FrameworkOptions& o = s.options;
    DeviceSettings st;
    st.adapter = o.adapter >= 0 ? o.adapter : adapter;
    st.windowed = o.fullscreen ? false : (o.windowed ? true : windowed);
    // The back buffer is the size the application draws in; -width and -height size the
    // window, which shows the picture scaled.
    st.width = width;
    st.height = height;
    st.vsync = o.force_vsync >= 0 ? o.force_vsync != 0 : !s.offscreen;
    st.type = (s.offscreen || o.force_ref) ? DeviceType::reference : DeviceType::hardware;
    if (st.width <= 0) st.width = 1024;
    if (st.height <= 0) st.height = 480;

    DeviceCaps caps;
    auto describe = [&](DeviceType t) {
        caps.type = t;
        caps.hardware_transform_and_lighting = t == DeviceType::hardware;
        caps.vertex_shader_version_major = t == DeviceType::hardware ? 2 : 0;
        caps.vertex_shader_version_minor = 0;
        caps.post_pixel_shader_blending = true;
        caps.renderer_name = t == DeviceType::hardware ? "accelerated" : "software";
    };
    // Candidate back-buffer formats, asked in order; the first accepted one is used.
    const PixelFormat formats[] = {PixelFormat::x8r8g8b8, PixelFormat::a8r8g8b8};
    bool accepted = false;
    for (int pass = 0; pass < 2 && !accepted; ++pass) {
        if (pass == 1) {
            if (st.type == DeviceType::reference || o.force_hal) break;
            st.type = DeviceType::reference;
        }
        describe(st.type);
        for (PixelFormat f : formats) {
            if (!acceptable || acceptable(&caps, PixelFormat::x8r8g8b8, f, st.windowed, context)) {
                st.back_buffer_format = f;
                accepted = true;
                break;
            }
        }
    }
    if (!accepted) {
        report_error("No graphics device with the needed capabilities was found.");
        return status_fail;
    }
    st.vertex_processing = caps.hardware_transform_and_lighting ? VertexProcessing::hardware
                                                                : VertexProcessing::software;
    if (o.force_pure_hw_vp) st.vertex_processing = VertexProcessing::pure_hardware;
    if (o.force_hw_vp) st.vertex_processing = VertexProcessing::hardware;
    if (o.force_sw_vp) st.vertex_processing = VertexProcessing::software;
    if (modify && !modify(&st, &caps, context)) return status_fail;

    SDL_Renderer* renderer = nullptr;
    SDL_Surface* surface = nullptr;
    if (s.offscreen) {
        surface =
            SDL_CreateRGBSurfaceWithFormat(0, st.width, st.height, 32, SDL_PIXELFORMAT_RGB888);
        renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    } else {
        s.window_size = window_size_for(o.width, o.height, st.width, st.height);
        SDL_SetWindowSize(s.window.sdl, s.window_size.x, s.window_size.y);
        if (st.type == DeviceType::reference) {
            renderer = create_software_window_renderer(s.window.sdl);
        } else {
            Uint32 flags = SDL_RENDERER_ACCELERATED;
            if (st.vsync) flags |= SDL_RENDERER_PRESENTVSYNC;
            renderer = SDL_CreateRenderer(s.window.sdl, -1, flags);
            // Without a renderer, or with one whose GL driver rasterises on the CPU, SDL's
            // software renderer draws instead (measured under Xvfb: a sixth of the CPU).
            const bool software_gl = renderer && !o.force_hal && gl_draws_in_software(renderer);
            if (software_gl) {
                SDL_DestroyRenderer(renderer);
                renderer = nullptr;
            }
            if (!renderer && !o.force_hal) {
                st.type = DeviceType::reference;
                st.vertex_processing = VertexProcessing::software;
                describe(st.type);
                renderer = create_software_window_renderer(s.window.sdl);
            }
        }
    }
    if (!renderer) {
        if (surface) SDL_FreeSurface(surface);
        report_error("The graphics device could not be created.");
        return status_fail;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) == 0 && info.name) {
        caps.renderer_name = info.name;
        caps.max_texture_width = info.max_texture_width;
        caps.max_texture_height = info.max_texture_height;
    }
    s.device = std::make_unique<SdlDevice>(renderer, surface, st.width, st.height);
    s.settings = st;
    s.caps = caps;
    s.desc = s.device->back_buffer_desc();
    s.desc.format = st.back_buffer_format;
    update_stats();

    if (s.window.sdl) {
        if (!st.windowed) SDL_SetWindowFullscreen(s.window.sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_ShowWindow(s.window.sdl);
    }
    if (!call_created() || !call_reset()) {
        s.device.reset();
        report_error("The graphics device could not be initialised.");
        post_quit(1);
        return status_fail;
    }
    if (s.offscreen) {
        // The off-screen "window" is active from the start, as a shown window would be.
        Message focus;
        focus.kind = MessageKind::set_focus;
        s.pending.push_back(focus);
    }
    s.last_counter = 0;
    return status_ok;
}

void dispatch_message(const Message& m) {
    bool no_further = false;
    if (s.message.fn) s.message.fn(&s.window, m, &no_further, s.message.context);
    if (!no_further) framework_handling(m);
}

bool run_one_frame() {
    if (s.quit) return false;
    SDL_Event e;
    while (!s.quit && SDL_PollEvent(&e)) handle_sdl_event(e);
    while (!s.quit && !s.pending.empty()) {
        Message m = s.pending.front();
        s.pending.pop_front();
        dispatch_message(m);
    }
    if (s.quit) return false;
    if (!s.device || !s.device_reset || s.pause_render) {
        SDL_Delay(10);  // nothing to draw: idle until the next pass
        s.last_counter = 0;
        return !s.quit;
    }
    render_frame();
    return !s.quit;
}

int main_loop(void*) {
    // Without a device nothing is shown and nothing can end the loop: the run ends here
    // (with the code of a quit the failure posted, else 1).
    if (!s.device) {
        destroy_window();
        return s.quit ? s.exit_code : 1;
    }
    while (run_one_frame()) {
    }
    call_destroyed();
    drop_picture_target();
    s.device.reset();
    destroy_window();
    return s.exit_code;
}

void post_quit(int exit_code) {
    if (s.quit) return;
    s.quit = true;
    s.exit_code = exit_code;
}

int get_exit_code() {
    return s.exit_code;
}

Window* get_window_handle() {
    return s.window_made ? &s.window : nullptr;
}

bool get_window_rect(Window* window, Rect* rect) {
    if (!rect) return false;
    if (!window || !window->sdl) {
        if (!s.window_made) return false;
        *rect = {0, 0, s.desc.width, s.desc.height};
        return true;
    }
    int x = 0, y = 0, w = 0, h = 0, top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowPosition(window->sdl, &x, &y);
    SDL_GetWindowSize(window->sdl, &w, &h);
    SDL_GetWindowBordersSize(window->sdl, &top, &left, &bottom, &right);
    *rect = {x - left, y - top, x + w + right, y + h + bottom};
    return true;
}

Point get_client_size() {
    if (s.window.sdl) {
        Point p;
        SDL_GetWindowSize(s.window.sdl, &p.x, &p.y);
        return p;
    }
    return {s.desc.width, s.desc.height};
}

Device* get_device() {
    return s.device.get();
}
const SurfaceDesc* get_back_buffer_surface_desc() {
    return s.device ? &s.desc : nullptr;
}
const DeviceSettings* get_device_settings() {
    return s.device ? &s.settings : nullptr;
}

const char* get_frame_stats(bool include_frame_rate) {
    if (s.options.no_stats) return "";
    char desc[160];
    std::snprintf(desc, sizeof desc, "Vsync %s (%dx%d), %s%s%s", s.settings.vsync ? "On" : "Off",
                  s.desc.width, s.desc.height, pixel_format_name(s.desc.format), "", "");
    char buf[200];
    if (include_frame_rate) {
        std::snprintf(buf, sizeof buf, "%0.2f fps %s", s.fps, desc);
    } else {
        std::snprintf(buf, sizeof buf, "%s", desc);
    }
    s.frame_stats = buf;
    return s.frame_stats.c_str();
}

const char* get_device_stats() {
    return s.device_stats.c_str();
}
double get_fps() {
    return s.fps;
}
double get_time() {
    return s.time;
}
bool is_paused() {
    return s.pause_time || s.pause_render;
}

void pause(bool pause_time, bool pause_rendering) {
    s.pause_time = pause_time;
    s.pause_render = pause_rendering;
    s.last_counter = 0;
}

bool is_windowed() {
    return s.settings.windowed;
}

int toggle_fullscreen() {
    if (!s.device || !s.window.sdl) return status_fail;
    bool to_windowed = !s.settings.windowed;
    call_lost();
    s.device->set_lost(true);
    SDL_SetWindowFullscreen(s.window.sdl, to_windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (to_windowed) SDL_SetWindowSize(s.window.sdl, s.window_size.x, s.window_size.y);
    // The back buffer keeps its size; each frame shows it scaled to the window.
    s.settings.windowed = to_windowed;
    if (!call_reset()) {
        device_unusable("The graphics device could not be reset.");
        return status_fail;
    }
    return status_ok;
}

void warn_reference_device() {
    debug_trace("Drawing with the software renderer");
}

void framework_shutdown() {
    call_destroyed();
    drop_picture_target();
    s.device.reset();
    destroy_window();
    if (s.box_installed) set_message_box_handler(nullptr);
    if (s.initialised) SDL_Quit();
    s = State{};
}

}  // namespace gui
