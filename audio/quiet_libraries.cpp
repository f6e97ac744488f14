#include "audio/quiet_libraries.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>

#include <initializer_list>

namespace {

void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}
void quiet_jack(const char*) {}

// JACK's functions are looked up rather than linked: libjack is there only when the sound
// library was built with JACK support, and then it is already loaded.
void quiet_jack_library() {
    using set_function = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
        if (void* f = dlsym(RTLD_DEFAULT, name)) reinterpret_cast<set_function>(f)(quiet_jack);
    }
}

}  // namespace

void quiet_sound_libraries() {
    snd_lib_error_set_handler(quiet_alsa);
    quiet_jack_library();
}
