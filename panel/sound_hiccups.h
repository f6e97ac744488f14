#pragma once
// The sound's hiccups that the receiver itself can see: the output ran dry (the device had
// nothing left to play), a block was late and the last one played again, card input was
// lost. Each goes to standard error with the time of day, at most once a second, so a
// listener who hears a click can tell the receiver's from the sound server's.
#include <cstdint>
#include <string>

#include "audio/audio_context.h"
#include "panel/panel_context.h"

hiccup_counts count_hiccups(const audio_counters& c);

// "... the output ran dry 1 time (3 in all); ..." for what rose from `told` to `now`,
// empty when nothing did.
std::string hiccup_report(const hiccup_counts& told, const hiccup_counts& now);

// Once per frame on the GUI thread: tells what rose since the last report, if that was at
// least hiccup_report_interval_ms ago.
void report_sound_hiccups(panel_context& c);
constexpr int64_t hiccup_report_interval_ms = 1000;
