#pragma once
// Runs the off-screen framework with dialogs wired into its message path the way the
// receiver wires them: every message goes to the resource manager and then to each
// dialog in turn. Input is pushed as SDL events and delivered by one loop pass.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/framework.h"
#include "gui/toolkit.h"

class ToolkitFixture : public ::testing::Test {
  public:
    struct Event {
        unsigned code;
        int id;
        bool operator==(const Event&) const = default;
    };
    static ToolkitFixture* self;

  protected:
    void SetUp() override {
        self = this;
        gui::set_device_created_callback([](gui::Device* d, const gui::SurfaceDesc*,
                                            void*) { return self->resources.on_device_created(d); },
                                         nullptr);
        gui::set_device_reset_callback([](gui::Device* d, const gui::SurfaceDesc*,
                                          void*) { return self->resources.on_device_reset(d); },
                                       nullptr);
        gui::set_device_lost_callback([](void*) { self->resources.on_device_lost(); }, nullptr);
        gui::set_device_destroyed_callback([](void*) { self->resources.on_device_destroyed(); },
                                           nullptr);
        gui::set_message_callback(
            [](gui::Window* w, const gui::Message& m, bool* no_further, void*) -> long {
                *no_further = self->resources.msg_proc(w, m);
                for (gui::GuiDialog* d : self->chain) {
                    if (d->msg_proc(w, m)) {
                        *no_further = true;
                        break;
                    }
                }
                return 0;
            },
            nullptr);
        gui::set_frame_render_callback(
            [](gui::Device* d, double, float elapsed, void*) {
                d->clear(self->clear_colour);
                if (!d->begin_scene()) return;
                for (gui::GuiDialog* dialog : self->chain) dialog->render(elapsed);
                d->end_scene();
            },
            nullptr);
        gui::set_frame_move_callback(nullptr, nullptr);
        gui::set_offscreen(true);
        const char* args[] = {"test"};
        gui::set_command_line(1, args);
        gui::framework_init(true, true, true, true);
        gui::create_window("Tolvan 1.1");
        gui::create_device(0, true, 1024, 480);
        for (gui::GuiDialog* d : {&a, &b}) {
            d->init(&resources);
            d->set_callback(record, this);
            d->set_size(1024, 480);
        }
        chain = {&a, &b};
        pump();
    }
    void TearDown() override {
        gui::GuiDialog::clear_focus();
        gui::framework_shutdown();
        self = nullptr;
    }
    static void record(unsigned code, int id, gui::GuiControl*, void* ctx) {
        static_cast<ToolkitFixture*>(ctx)->events.push_back({code, id});
    }
    // Delivers the pushed events and draws one frame.
    void pump() { ASSERT_TRUE(gui::run_one_frame()); }
    static void push_button(bool down, Uint8 button, int x, int y) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = button;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void down(int x, int y) {
        push_button(true, SDL_BUTTON_LEFT, x, y);
        pump();
    }
    void up(int x, int y) {
        push_button(false, SDL_BUTTON_LEFT, x, y);
        pump();
    }
    void click(int x, int y) {
        push_button(true, SDL_BUTTON_LEFT, x, y);
        push_button(false, SDL_BUTTON_LEFT, x, y);
        pump();
    }
    void move(int x, int y, Uint32 state = 0) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        e.motion.state = state;
        SDL_PushEvent(&e);
        pump();
    }
    void wheel(int x, int y, int notches) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = notches;
        e.wheel.mouseX = x;
        e.wheel.mouseY = y;
        SDL_PushEvent(&e);
        pump();
    }
    void key(SDL_Keycode k, Uint16 mod = 0) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = k;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
        e.type = SDL_KEYUP;
        SDL_PushEvent(&e);
        pump();
    }
    void type(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8);
        SDL_PushEvent(&e);
        pump();
    }
    gui::Colour pixel(int x, int y) { return gui::get_device()->read_pixel(x, y); }

    gui::GuiResourceManager resources;
    gui::GuiDialog a;
    gui::GuiDialog b;
    std::vector<gui::GuiDialog*> chain;
    std::vector<Event> events;
    gui::Colour clear_colour = 0xFF000000;
};

inline ToolkitFixture* ToolkitFixture::self = nullptr;
