// Opens the framework's window with one control of each kind. Used by the window test
// (run with -quitafterframe:N). Each frame sleeps 10 ms.
#include <SDL.h>

#include <cstdio>

#include "gui/framework.h"
#include "tests/gui/demo_scene.h"

namespace {

demo::Scene scene;
int resets = 0;

int on_created(gui::Device* d, const gui::SurfaceDesc*, void*) {
    return scene.resources.on_device_created(d);
}
int on_reset(gui::Device* d, const gui::SurfaceDesc*, void*) {
    ++resets;
    return scene.resources.on_device_reset(d);
}
void on_lost(void*) {
    scene.resources.on_device_lost();
}
void on_destroyed(void*) {
    scene.resources.on_device_destroyed();
}

long on_message(gui::Window* w, const gui::Message& m, bool* no_further, void*) {
    *no_further = scene.resources.msg_proc(w, m);
    if (*no_further) return 0;
    *no_further = scene.dialog.msg_proc(w, m);
    return 0;
}

void on_move(gui::Device*, double, float, void*) {
    SDL_Delay(10);
}
void on_render(gui::Device* d, double, float, void*) {
    demo::draw(scene, d);
}

}  // namespace

int main(int argc, char** argv) {
    gui::set_device_created_callback(on_created, nullptr);
    gui::set_device_reset_callback(on_reset, nullptr);
    gui::set_device_lost_callback(on_lost, nullptr);
    gui::set_device_destroyed_callback(on_destroyed, nullptr);
    gui::set_message_callback(on_message, nullptr);
    gui::set_frame_render_callback(on_render, nullptr);
    gui::set_frame_move_callback(on_move, nullptr);
    demo::build(scene);
    scene.print_events = true;
    gui::set_command_line(argc, argv);
    gui::framework_init(true, true, true, true);
    gui::set_cursor_settings(true, true);
    gui::create_window("Tolvan 1.1");
    gui::create_device(0, true, 1024, 480);
    std::printf("device: %s\n", gui::get_device_stats());
    std::fflush(stdout);
    gui::main_loop();
    int code = gui::get_exit_code();
    gui::framework_shutdown();
    return code;
}
