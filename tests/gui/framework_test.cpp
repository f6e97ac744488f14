// The framework's life cycle, frame loop and message path, driven with SDL events on the
// off-screen device.
#include "gui/framework.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace {

struct Recorder {
    std::vector<std::string> calls;
    std::vector<gui::Message> messages;
    bool consume = false;  // message procedure sets no-further-processing
    int quit_in_move_at = 0;
    int quit_code = 0;
    int frames = 0;
    int fail_created = 0;
    int fail_reset = 0;
    std::vector<float> elapsed;
    bool reset_before_first_frame = false;
};

Recorder* rec = nullptr;

int on_created(gui::Device* d, const gui::SurfaceDesc* desc, void* ctx) {
    rec->calls.push_back("created " + std::to_string(desc->width) + "x" +
                         std::to_string(desc->height));
    EXPECT_EQ(ctx, nullptr);
    EXPECT_NE(d, nullptr);
    return rec->fail_created ? -1 : 0;
}
int on_reset(gui::Device*, const gui::SurfaceDesc*, void*) {
    rec->calls.push_back("reset");
    if (rec->frames == 0) rec->reset_before_first_frame = true;
    return rec->fail_reset ? -1 : 0;
}
void on_lost(void*) {
    rec->calls.push_back("lost");
}
void on_destroyed(void*) {
    rec->calls.push_back("destroyed");
}
long on_message(gui::Window* w, const gui::Message& m, bool* no_further, void*) {
    EXPECT_NE(w, nullptr);
    rec->messages.push_back(m);
    if (m.kind == gui::MessageKind::set_focus) rec->calls.push_back("set_focus");
    *no_further = rec->consume;
    return 0;
}
void on_move(gui::Device*, double, float elapsed, void*) {
    rec->calls.push_back("move");
    rec->elapsed.push_back(elapsed);
    if (rec->quit_in_move_at && rec->frames + 1 == rec->quit_in_move_at) {
        gui::post_quit(rec->quit_code);
    }
}
void on_render(gui::Device* d, double, float, void*) {
    rec->calls.push_back("render");
    ++rec->frames;
    d->clear(0xFF102030);
}

class FrameworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rec = &r;
        gui::set_device_created_callback(on_created, nullptr);
        gui::set_device_reset_callback(on_reset, nullptr);
        gui::set_device_lost_callback(on_lost, nullptr);
        gui::set_device_destroyed_callback(on_destroyed, nullptr);
        gui::set_message_callback(on_message, nullptr);
        gui::set_frame_render_callback(on_render, nullptr);
        gui::set_frame_move_callback(on_move, nullptr);
        gui::set_offscreen(true);
    }
    void TearDown() override {
        gui::framework_shutdown();
        rec = nullptr;
    }
    void start(std::vector<const char*> args = {}) {
        args.insert(args.begin(), "test");
        gui::set_command_line(int(args.size()), args.data());
        ASSERT_EQ(gui::framework_init(true, true, true, true), gui::status_ok);
        gui::set_cursor_settings(true, true);
        ASSERT_EQ(gui::create_window("Tolvan 1.1"), gui::status_ok);
        ASSERT_EQ(gui::create_device(0, true, 1024, 480), gui::status_ok);
    }
    static void push_key(SDL_Keycode key, bool down = true, Uint16 mod = 0) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.sym = key;
        e.key.keysym.mod = mod;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&e);
    }
    static void push_type(SDL_EventType type) {
        SDL_Event e{};
        e.type = type;
        SDL_PushEvent(&e);
    }
    std::vector<std::string> device_calls() const {
        std::vector<std::string> out;
        for (const auto& c : r.calls) {
            if (c != "move" && c != "render" && c != "set_focus") out.push_back(c);
        }
        return out;
    }
    Recorder r;
};

TEST_F(FrameworkTest, LifeCycleRunsCreatedResetFramesLostDestroyed) {
    start({"-quitafterframe:3"});
    EXPECT_EQ(gui::main_loop(), 0);
    std::vector<std::string> expected = {"created 1024x480", "reset", "set_focus", "move",
                                         "render",           "move",  "render",    "move",
                                         "render",           "lost",  "destroyed"};
    EXPECT_EQ(r.calls, expected);
    EXPECT_TRUE(r.reset_before_first_frame);
    EXPECT_EQ(gui::get_exit_code(), 0);
}

TEST_F(FrameworkTest, RenderTargetEventsBecomeLostAndReset) {
    start();
    ASSERT_TRUE(gui::run_one_frame());
    push_type(SDL_RENDER_TARGETS_RESET);
    ASSERT_TRUE(gui::run_one_frame());
    push_type(SDL_RENDER_DEVICE_RESET);
    ASSERT_TRUE(gui::run_one_frame());
    gui::post_quit(0);
    gui::main_loop();
    std::vector<std::string> expected = {
        "created 1024x480", "reset", "lost", "reset",    "lost", "destroyed",
        "created 1024x480", "reset", "lost", "destroyed"};
    EXPECT_EQ(device_calls(), expected);
    EXPECT_EQ(r.frames, 3);
}

TEST_F(FrameworkTest, PostedQuitCodeIsTheExitCode) {
    r.quit_in_move_at = 2;
    r.quit_code = 7;
    start();
    EXPECT_EQ(gui::main_loop(), 7);
    EXPECT_EQ(gui::get_exit_code(), 7);
    // The frame whose move posted the quit is not rendered.
    EXPECT_EQ(r.frames, 1);
}

TEST_F(FrameworkTest, QuitCodeZeroEndsTheLoopWithZero) {
    r.quit_in_move_at = 1;
    r.quit_code = 0;
    start();
    EXPECT_EQ(gui::main_loop(), 0);
}

TEST_F(FrameworkTest, EscapeClosesTheWindowWithExitCodeZero) {
    start();
    ASSERT_TRUE(gui::run_one_frame());
    push_key(SDLK_ESCAPE);
    EXPECT_FALSE(gui::run_one_frame());
    EXPECT_EQ(gui::main_loop(), 0);
    ASSERT_GE(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[r.messages.size() - 2].kind, gui::MessageKind::key_down);
    EXPECT_EQ(r.messages[r.messages.size() - 2].key, gui::vk::escape);
    EXPECT_EQ(r.messages.back().kind, gui::MessageKind::close);
}

TEST_F(FrameworkTest, ConsumedMessageGetsNoFurtherProcessing) {
    start();
    r.consume = true;
    push_key(SDLK_ESCAPE);
    push_type(SDL_QUIT);
    EXPECT_TRUE(gui::run_one_frame());
    EXPECT_TRUE(gui::run_one_frame());
    r.consume = false;
    push_type(SDL_QUIT);
    EXPECT_FALSE(gui::run_one_frame());
}

TEST_F(FrameworkTest, PausePausesAndResumesFrames) {
    start();
    ASSERT_TRUE(gui::run_one_frame());
    push_key(SDLK_PAUSE);
    ASSERT_TRUE(gui::run_one_frame());
    ASSERT_TRUE(gui::run_one_frame());
    EXPECT_TRUE(gui::is_paused());
    EXPECT_EQ(r.frames, 1);
    push_key(SDLK_PAUSE);
    ASSERT_TRUE(gui::run_one_frame());
    EXPECT_FALSE(gui::is_paused());
    EXPECT_EQ(r.frames, 2);
}

TEST_F(FrameworkTest, SdlEventsArriveAsTypedMessages) {
    start();
    ASSERT_TRUE(gui::run_one_frame());
    r.messages.clear();
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 300;
    e.button.y = 400;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 10;
    e.button.y = 100;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = 2;
    e.wheel.mouseX = 5;
    e.wheel.mouseY = 6;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -1;
    SDL_PushEvent(&e);
    push_key(SDLK_5);
    push_key(SDLK_o, false);
    push_key(SDLK_PAGEUP);
    push_key(SDLK_KP_ENTER);
    e = {};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", "a\xC3\xA9");
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&e);
    ASSERT_TRUE(gui::run_one_frame());

    using K = gui::MessageKind;
    ASSERT_EQ(r.messages.size(), 11u);
    EXPECT_EQ(r.messages[0].kind, K::left_button_down);
    EXPECT_EQ(r.messages[0].x, 300);
    EXPECT_EQ(r.messages[0].y, 400);
    EXPECT_EQ(r.messages[1].kind, K::right_button_down);
    EXPECT_EQ(r.messages[1].y, 100);
    EXPECT_EQ(r.messages[2].kind, K::mouse_wheel);
    EXPECT_EQ(r.messages[2].wheel_delta, 240);  // away from the user: positive
    EXPECT_EQ(r.messages[2].x, 5);
    EXPECT_EQ(r.messages[3].wheel_delta, -120);
    EXPECT_EQ(r.messages[4].kind, K::key_down);
    EXPECT_EQ(r.messages[4].key, '5');
    EXPECT_EQ(r.messages[5].kind, K::key_up);
    EXPECT_EQ(r.messages[5].key, 'O');
    EXPECT_EQ(r.messages[6].key, gui::vk::prior);
    EXPECT_EQ(r.messages[7].key, gui::vk::return_key);
    EXPECT_EQ(r.messages[8].kind, K::char_input);
    EXPECT_EQ(r.messages[8].character, U'a');
    EXPECT_EQ(r.messages[9].character, U'\u00E9');
    EXPECT_EQ(r.messages[10].kind, K::kill_focus);
}

TEST_F(FrameworkTest, TheDigitRowGivesDigitsOnEveryLayout) {
    start();
    ASSERT_TRUE(gui::run_one_frame());
    r.messages.clear();
    // AZERTY: the digit row prints "&", "\u00E9" (no key code of its own) and "\u00E0" unshifted;
    // its letters follow the layout (the key left of Z in QWERTY's place is A).
    struct key_case {
        SDL_Scancode scancode;
        SDL_Keycode sym;
        int vk;
    };
    const key_case keys[] = {{SDL_SCANCODE_1, SDLK_AMPERSAND, '1'},
                             {SDL_SCANCODE_2, 0x00E9, '2'},
                             {SDL_SCANCODE_8, SDLK_UNDERSCORE, '8'},
                             {SDL_SCANCODE_0, 0x00E0, '0'},
                             {SDL_SCANCODE_Q, SDLK_a, 'A'},
                             {SDL_SCANCODE_KP_5, SDLK_KP_5, gui::vk::numpad0 + 5}};
    for (const key_case& k : keys) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.scancode = k.scancode;
        e.key.keysym.sym = k.sym;
        e.key.state = SDL_PRESSED;
        SDL_PushEvent(&e);
    }
    ASSERT_TRUE(gui::run_one_frame());
    ASSERT_EQ(r.messages.size(), std::size(keys));
    for (size_t i = 0; i < std::size(keys); ++i) EXPECT_EQ(r.messages[i].key, keys[i].vk) << i;
}

TEST_F(FrameworkTest, ConstantFrameTimeIsReportedToTheCallbacks) {
    start({"-constantframetime:0.05", "-quitafterframe:3"});
    gui::main_loop();
    ASSERT_EQ(r.elapsed.size(), 3u);
    for (float e : r.elapsed) EXPECT_FLOAT_EQ(e, 0.05f);
    EXPECT_NEAR(gui::get_time(), 0.15, 1e-6);
}

TEST_F(FrameworkTest, WidthAndHeightOptionsLeaveTheBackBufferAtTheApplicationsSize) {
    // They size the window, which shows the picture scaled; the application keeps drawing
    // in its own coordinates.
    start({"-width:2048", "-height:960", "-quitafterframe:1"});
    EXPECT_EQ(gui::get_back_buffer_surface_desc()->width, 1024);
    EXPECT_EQ(gui::get_back_buffer_surface_desc()->height, 480);
    gui::main_loop();
    EXPECT_EQ(r.calls.front(), "created 1024x480");
}

TEST_F(FrameworkTest, StatisticsLinesDescribeFrameRateAndDevice) {
    start();
    std::string stats = gui::get_frame_stats(true);
    EXPECT_EQ(stats, "0.00 fps Vsync Off (1024x480), X8R8G8B8") << stats;
    EXPECT_EQ(std::string(gui::get_frame_stats(false)), "Vsync Off (1024x480), X8R8G8B8");
    std::string dev = gui::get_device_stats();
    EXPECT_EQ(dev.rfind("REF (sw vp): ", 0), 0u) << dev;
}

TEST_F(FrameworkTest, NoStatsLeavesTheStatisticsEmpty) {
    start({"-nostats"});
    EXPECT_STREQ(gui::get_frame_stats(true), "");
    EXPECT_STREQ(gui::get_device_stats(), "");
}

std::vector<std::string> boxes;
void record_box(const char* text, const char* caption) {
    boxes.push_back(text);
}

TEST_F(FrameworkTest, OffScreenKeepsTheMessageBoxFallback) {
    boxes.clear();
    auto before = set_message_box_handler(record_box);
    start();
    // The framework installed no graphical handler: ours is still in place.
    message_box("text", "caption");
    EXPECT_EQ(boxes.size(), 1u);
    set_message_box_handler(before);
}

TEST_F(FrameworkTest, MessageBoxesReachTheScreenBeforeAnyWindowExists) {
    const char* display = std::getenv("DISPLAY");
    std::string saved = display ? display : "";
    setenv("DISPLAY", ":97", 1);  // a display is named; nothing connects to it here
    gui::set_offscreen(false);
    auto before = set_message_box_handler(record_box);
    const char* quiet[] = {"t", "-noerrormsgboxes"};
    gui::set_command_line(2, quiet);
    gui::install_message_boxes();
    EXPECT_EQ(set_message_box_handler(record_box), record_box);  // asked to stay quiet
    gui::framework_shutdown();
    const char* plain[] = {"t"};
    gui::set_command_line(1, plain);
    gui::install_message_boxes();  // before framework_init and any window
    EXPECT_NE(set_message_box_handler(record_box), record_box);
    set_message_box_handler(before);
    if (saved.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", saved.c_str(), 1);
}

TEST_F(FrameworkTest, WithoutADisplayTheWindowFailsWithAMessageAndTheLoopEndsAtOnce) {
    const char* display = std::getenv("DISPLAY");
    std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string saved_wayland = wayland ? wayland : "";
    unsetenv("WAYLAND_DISPLAY");
    boxes.clear();
    auto before = set_message_box_handler(record_box);
    gui::set_offscreen(false);
    // -quitafterframe ends a run that would draw off-screen after all.
    const char* args[] = {"t", "-quitafterframe:2"};
    gui::set_command_line(2, args);
    ASSERT_EQ(gui::framework_init(true, true, true, true), gui::status_ok);
    EXPECT_LT(gui::create_window("Tolvan 1.1"), 0);
    EXPECT_LT(gui::create_device(0, true, 1024, 480), 0);
    EXPECT_FALSE(gui::is_offscreen());
    EXPECT_EQ(gui::main_loop(), 1);  // nothing to draw on and nothing to end it with
    EXPECT_EQ(r.frames, 0);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0], "The window cannot be opened: no display (DISPLAY is not set).");
    set_message_box_handler(before);
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
    if (!saved_wayland.empty()) setenv("WAYLAND_DISPLAY", saved_wayland.c_str(), 1);
}

bool reject_all(const gui::DeviceCaps*, gui::PixelFormat, gui::PixelFormat, bool, void*) {
    return false;
}

bool accept_alpha_only(const gui::DeviceCaps*, gui::PixelFormat, gui::PixelFormat bb, bool, void*) {
    return bb == gui::PixelFormat::a8r8g8b8;
}

int modify_calls = 0;
bool modify(gui::DeviceSettings* s, const gui::DeviceCaps* caps, void*) {
    ++modify_calls;
    if (!caps->hardware_transform_and_lighting) {
        s->vertex_processing = gui::VertexProcessing::software;
    }
    return true;
}

TEST_F(FrameworkTest, DeviceCreationAsksTheTwoCallbacks) {
    auto none = [](const char*) {};
    auto old = gui::set_debug_trace_handler(none);
    ASSERT_EQ(gui::framework_init(false, false, true, true), gui::status_ok);
    gui::create_window("Tolvan 1.1");
    EXPECT_LT(gui::create_device(0, true, 1024, 480, reject_all, nullptr, nullptr), 0);
    EXPECT_TRUE(r.calls.empty());
    modify_calls = 0;
    EXPECT_EQ(gui::create_device(0, true, 1024, 480, accept_alpha_only, modify, nullptr),
              gui::status_ok);
    EXPECT_EQ(modify_calls, 1);
    EXPECT_EQ(gui::get_back_buffer_surface_desc()->format, gui::PixelFormat::a8r8g8b8);
    EXPECT_EQ(gui::get_device_settings()->vertex_processing, gui::VertexProcessing::software);
    gui::set_debug_trace_handler(old);
}

TEST_F(FrameworkTest, FailingResetMakesTheDeviceUnusable) {
    r.fail_reset = 1;
    auto none = [](const char*) {};
    auto old = gui::set_debug_trace_handler(none);
    gui::set_command_line(1, std::vector<const char*>{"t"}.data());
    gui::framework_init(true, false, true, true);
    gui::create_window("Tolvan 1.1");
    EXPECT_LT(gui::create_device(0, true, 1024, 480), 0);
    EXPECT_EQ(gui::main_loop(), 1);
    std::vector<std::string> expected = {"created 1024x480", "reset", "lost", "destroyed"};
    EXPECT_EQ(r.calls, expected);
    EXPECT_EQ(r.frames, 0);
    gui::set_debug_trace_handler(old);
}

}  // namespace
