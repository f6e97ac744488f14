#pragma once
// SDL events to window messages. Backend header.
#include <SDL.h>

#include "gui/messages.h"

namespace gui {

// Virtual-key code of a key (0 when it has none). The digit row gives '0'..'9' by its
// physical position whatever the layout prints on it (AZERTY's "&" key is '1'), as Win32
// virtual keys do; other keys follow the layout.
int virtual_key(const SDL_Keysym& key);
// Modifier bits (mod_*) of SDL key modifiers.
std::uint32_t modifier_bits(Uint16 sdl_mod);
// Turns one SDL event into up to `max` messages (text input gives one per character);
// returns the number written. Events without a message give 0.
int translate_event(const SDL_Event& event, Message* out, int max);

}  // namespace gui
