#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

namespace {

void stderr_box(const char* text, const char* caption) {
    std::fprintf(stderr, "[%s] %s\n", caption, text);
}

std::atomic<message_box_handler> current{stderr_box};

}  // namespace

void message_box(const char* text, const char* caption) { current.load()(text, caption); }

message_box_handler set_message_box_handler(message_box_handler h) {
    return current.exchange(h ? h : stderr_box);
}
