#pragma once
// SDL events to window messages. Backend header.
#include <SDL.h>

#include "gui/messages.h"

namespace gui {

// Virtual-key code of an SDL key (0 when it has none).
int virtual_key(SDL_Keycode key);
// Modifier bits (mod_*) of SDL key modifiers.
std::uint32_t modifier_bits(Uint16 sdl_mod);
// Turns one SDL event into up to `max` messages (text input gives one per character);
// returns the number written. Events without a message give 0.
int translate_event(const SDL_Event& event, Message* out, int max);

}  // namespace gui
