#pragma once
// Modal message box with an OK button and no owner window. Texts are UTF-8.
// The window toolkit installs a graphical handler; tests install a recorder.
using message_box_handler = void (*)(const char* text, const char* caption);

void message_box(const char* text, const char* caption);
// Replaces the handler; returns the previous one. Null restores the stderr handler.
message_box_handler set_message_box_handler(message_box_handler h);
