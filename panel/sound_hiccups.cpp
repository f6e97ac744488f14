#include "panel/sound_hiccups.h"

#include <cstdio>
#include <ctime>

namespace {

void add_part(std::string& text, uint64_t told, uint64_t now, const char* what) {
    if (now <= told) return;
    char part[128];
    std::snprintf(part, sizeof part, "%s%s %llu time%s (%llu in all)", text.empty() ? "" : "; ",
                  what, (unsigned long long)(now - told), now - told == 1 ? "" : "s",
                  (unsigned long long)now);
    text += part;
}

}  // namespace

hiccup_counts count_hiccups(const audio_counters& c) {
    return {c.output_underflows.load(), c.output_repeats.load(), c.input_overflows.load()};
}

std::string hiccup_report(const hiccup_counts& told, const hiccup_counts& now) {
    std::string text;
    add_part(text, told.ran_dry, now.ran_dry, "the sound output ran dry");
    add_part(text, told.late, now.late, "a late block was replaced by the last one");
    add_part(text, told.input_lost, now.input_lost, "card input was lost");
    return text;
}

void report_sound_hiccups(panel_context& c) {
    if (!c.audio || !c.controls) return;
    panel_state& p = *c.controls;
    const int64_t now_ms = steady_now_ms();
    if (now_ms - p.hiccups_told_ms < hiccup_report_interval_ms) return;
    const hiccup_counts now = count_hiccups(c.audio->counters);
    const std::string text = hiccup_report(p.hiccups_told, now);
    p.hiccups_told = now;
    if (text.empty()) return;
    p.hiccups_told_ms = now_ms;
    const std::time_t t = std::time(nullptr);
    char clock[16] = "";
    std::strftime(clock, sizeof clock, "%H:%M:%S", std::localtime(&t));
    std::fprintf(stderr, "tolvan: %s: %s\n", clock, text.c_str());
}
