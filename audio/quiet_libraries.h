#pragma once
// Keeps the sound libraries' own diagnostics off stderr: while they look for devices,
// ALSA reports every card and plugin it cannot open and JACK every server that is not
// running, pages of text on each start that tell a user nothing. The receiver's own
// messages are not affected. Safe to call more than once.
void quiet_sound_libraries();
