// The table from SDL events and keys to window messages and virtual-key codes.
#include "gui/sdl_events.h"

namespace gui {
namespace {

struct KeyEntry {
    SDL_Keycode sdl;
    int vk;
};

const KeyEntry key_table[] = {
    {SDLK_BACKSPACE, vk::back},
    {SDLK_TAB, vk::tab},
    {SDLK_RETURN, vk::return_key},
    {SDLK_KP_ENTER, vk::return_key},
    {SDLK_RETURN2, vk::return_key},
    {SDLK_LSHIFT, vk::shift},
    {SDLK_RSHIFT, vk::shift},
    {SDLK_LCTRL, vk::control},
    {SDLK_RCTRL, vk::control},
    {SDLK_LALT, vk::menu},
    {SDLK_RALT, vk::menu},
    {SDLK_PAUSE, vk::pause},
    {SDLK_CAPSLOCK, vk::capital},
    {SDLK_ESCAPE, vk::escape},
    {SDLK_SPACE, vk::space},
    {SDLK_PAGEUP, vk::prior},
    {SDLK_PAGEDOWN, vk::next},
    {SDLK_END, vk::end},
    {SDLK_HOME, vk::home},
    {SDLK_LEFT, vk::left},
    {SDLK_UP, vk::up},
    {SDLK_RIGHT, vk::right},
    {SDLK_DOWN, vk::down},
    {SDLK_INSERT, vk::insert},
    {SDLK_DELETE, vk::delete_key},
    {SDLK_KP_MULTIPLY, vk::multiply},
    {SDLK_KP_PLUS, vk::add},
    {SDLK_KP_MINUS, vk::subtract},
    {SDLK_KP_PERIOD, vk::decimal},
    {SDLK_KP_DIVIDE, vk::divide},
    {SDLK_KP_0, vk::numpad0},
    {SDLK_KP_1, vk::numpad0 + 1},
    {SDLK_KP_2, vk::numpad0 + 2},
    {SDLK_KP_3, vk::numpad0 + 3},
    {SDLK_KP_4, vk::numpad0 + 4},
    {SDLK_KP_5, vk::numpad0 + 5},
    {SDLK_KP_6, vk::numpad0 + 6},
    {SDLK_KP_7, vk::numpad0 + 7},
    {SDLK_KP_8, vk::numpad0 + 8},
    {SDLK_KP_9, vk::numpad0 + 9},
    {SDLK_F1, vk::f1},
    {SDLK_F2, vk::f1 + 1},
    {SDLK_F3, vk::f1 + 2},
    {SDLK_F4, vk::f1 + 3},
    {SDLK_F5, vk::f1 + 4},
    {SDLK_F6, vk::f1 + 5},
    {SDLK_F7, vk::f1 + 6},
    {SDLK_F8, vk::f1 + 7},
    {SDLK_F9, vk::f1 + 8},
    {SDLK_F10, vk::f1 + 9},
    {SDLK_F11, vk::f1 + 10},
    {SDLK_F12, vk::f1 + 11},
    // Punctuation keys of a US layout (the Win32 OEM codes).
    {SDLK_SEMICOLON, 0xBA},
    {SDLK_EQUALS, 0xBB},
    {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE},
    {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},
    {SDLK_LEFTBRACKET, 0xDB},
    {SDLK_BACKSLASH, 0xDC},
    {SDLK_RIGHTBRACKET, 0xDD},
    {SDLK_QUOTE, 0xDE},
};

std::uint32_t button_bits(Uint32 state) {
    std::uint32_t b = 0;
    if (state & SDL_BUTTON_LMASK) b |= button_left;
    if (state & SDL_BUTTON_RMASK) b |= button_right;
    if (state & SDL_BUTTON_MMASK) b |= button_middle;
    return b;
}

std::uint32_t current_buttons() {
    return button_bits(SDL_GetMouseState(nullptr, nullptr));
}

// Decodes one UTF-8 sequence at s[i]; advances i. Invalid bytes give U+FFFD.
char32_t next_code_point(const char* s, int& i) {
    auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    char32_t c = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        auto n = static_cast<unsigned char>(s[i]);
        if ((n & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (n & 0x3F);
        ++i;
    }
    return c;
}

}  // namespace

int virtual_key(const SDL_Keysym& keysym) {
    // SDL numbers the digit row 1..9, then 0.
    if (keysym.scancode >= SDL_SCANCODE_1 && keysym.scancode <= SDL_SCANCODE_9)
        return '1' + (keysym.scancode - SDL_SCANCODE_1);
    if (keysym.scancode == SDL_SCANCODE_0) return '0';
    const SDL_Keycode key = keysym.sym;
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    for (const KeyEntry& e : key_table) {
        if (e.sdl == key) return e.vk;
    }
    return 0;
}

std::uint32_t modifier_bits(Uint16 m) {
    std::uint32_t b = 0;
    if (m & KMOD_SHIFT) b |= mod_shift;
    if (m & KMOD_CTRL) b |= mod_control;
    if (m & KMOD_ALT) b |= mod_alt;
    return b;
}

int translate_event(const SDL_Event& e, Message* out, int max) {
    if (max <= 0) return 0;
    Message m;
    switch (e.type) {
        case SDL_QUIT:
            m.kind = MessageKind::close;
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    m.kind = MessageKind::set_focus;
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    m.kind = MessageKind::kill_focus;
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    m.kind = MessageKind::close;
                    break;
                case SDL_WINDOWEVENT_RESIZED:
                    m.kind = MessageKind::sizing;
                    m.x = e.window.data1;
                    m.y = e.window.data2;
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    m.kind = MessageKind::size;
                    m.x = e.window.data1;
                    m.y = e.window.data2;
                    break;
                default:
                    return 0;
            }
            break;
        case SDL_MOUSEMOTION:
            m = make_mouse_message(MessageKind::mouse_move, e.motion.x, e.motion.y,
                                   button_bits(e.motion.state));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool down = e.type == SDL_MOUSEBUTTONDOWN;
            MessageKind k;
            if (e.button.button == SDL_BUTTON_LEFT) {
                k = down ? MessageKind::left_button_down : MessageKind::left_button_up;
            } else if (e.button.button == SDL_BUTTON_RIGHT) {
                k = down ? MessageKind::right_button_down : MessageKind::right_button_up;
            } else if (e.button.button == SDL_BUTTON_MIDDLE) {
                k = down ? MessageKind::middle_button_down : MessageKind::middle_button_up;
            } else {
                return 0;
            }
            m = make_mouse_message(k, e.button.x, e.button.y, current_buttons());
            break;
        }
        case SDL_MOUSEWHEEL: {
            int notches = e.wheel.y;
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            if (notches == 0) return 0;
            // SDL: positive y = scrolled away from the user, as the Win32 wheel delta.
            m = make_wheel_message(e.wheel.mouseX, e.wheel.mouseY, notches * 120);
            m.buttons = current_buttons();
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int key = virtual_key(e.key.keysym);
            if (key == 0) return 0;
            m = make_key_message(
                e.type == SDL_KEYDOWN ? MessageKind::key_down : MessageKind::key_up, key,
                modifier_bits(e.key.keysym.mod));
            m.repeat = e.key.repeat != 0;
            break;
        }
        case SDL_TEXTINPUT: {
            int n = 0;
            for (int i = 0; e.text.text[i] != 0 && n < max;) {
                char32_t c = next_code_point(e.text.text, i);
                out[n++] = make_char_message(c);
            }
            return n;
        }
        default:
            return 0;
    }
    out[0] = m;
    return 1;
}

}  // namespace gui
