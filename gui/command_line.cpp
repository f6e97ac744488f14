// The framework's command-line options.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui/framework.h"

namespace gui {
namespace {

void stderr_trace(const char* text) {
    std::fprintf(stderr, "%s\n", text);
}

DebugTraceHandler trace_handler = stderr_trace;

enum class Value { none, integer, optional_seconds };

struct OptionSpec {
    const char* name;
    Value value;
};

const OptionSpec option_specs[] = {
    {"adapter", Value::integer},        {"windowed", Value::none},
    {"fullscreen", Value::none},        {"forcehal", Value::none},
    {"forceref", Value::none},          {"forcepurehwvp", Value::none},
    {"forcehwvp", Value::none},         {"forceswvp", Value::none},
    {"forcevsync", Value::integer},     {"width", Value::integer},
    {"height", Value::integer},         {"startx", Value::integer},
    {"starty", Value::integer},         {"constantframetime", Value::optional_seconds},
    {"quitafterframe", Value::integer}, {"noerrormsgboxes", Value::none},
    {"nostats", Value::none},           {"relaunchmce", Value::none},
    {"automation", Value::none},
};

void apply(FrameworkOptions& o, const std::string& name, long n, double seconds) {
    if (name == "adapter") o.adapter = int(n);
    if (name == "windowed") o.windowed = true;
    if (name == "fullscreen") o.fullscreen = true;
    if (name == "forcehal") o.force_hal = true;
    if (name == "forceref") o.force_ref = true;
    if (name == "forcepurehwvp") o.force_pure_hw_vp = true;
    if (name == "forcehwvp") o.force_hw_vp = true;
    if (name == "forceswvp") o.force_sw_vp = true;
    if (name == "forcevsync") o.force_vsync = n != 0 ? 1 : 0;
    if (name == "width") o.width = int(n);
    if (name == "height") o.height = int(n);
    if (name == "startx") o.start_x = int(n);
    if (name == "starty") o.start_y = int(n);
    if (name == "constantframetime") {
        o.constant_frame_time = true;
        o.frame_time_s = seconds;
    }
    if (name == "quitafterframe") o.quit_after_frame = int(n);
    if (name == "noerrormsgboxes") o.no_error_message_boxes = true;
    if (name == "nostats") o.no_stats = true;
    if (name == "relaunchmce") o.relaunch_mce = true;
    if (name == "automation") o.automation = true;
}

// Parses one argument; false when it is not a usable option.
bool parse_one(FrameworkOptions& o, const std::string& arg) {
    if (arg.size() < 2 || (arg[0] != '-' && arg[0] != '/')) return false;
    const char* rest = arg.c_str() + 1;
    for (const OptionSpec& spec : option_specs) {
        std::size_t len = std::char_traits<char>::length(spec.name);
        if (strncasecmp(rest, spec.name, len) != 0) continue;
        char after = rest[len];
        if (after != '\0' && after != ':') continue;
        std::string value;
        bool has_value = after == ':';
        if (has_value) {
            for (const char* p = rest + len + 1; static_cast<unsigned char>(*p) > ' '; ++p) {
                value += *p;
            }
            has_value = !value.empty();
        }
        long n = 0;
        double seconds = 0.0333;
        if (spec.value == Value::integer) {
            if (!has_value) return false;
            char* end = nullptr;
            n = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str()) return false;
        } else if (spec.value == Value::optional_seconds && has_value) {
            char* end = nullptr;
            double s = std::strtod(value.c_str(), &end);
            if (end != value.c_str()) seconds = s;
        }
        apply(o, spec.name, n, seconds);
        return true;
    }
    return false;
}

}  // namespace

void debug_trace(const char* text) {
    trace_handler(text);
}

DebugTraceHandler set_debug_trace_handler(DebugTraceHandler handler) {
    DebugTraceHandler old = trace_handler;
    trace_handler = handler ? handler : stderr_trace;
    return old;
}

FrameworkOptions parse_command_line(const std::vector<std::string>& args) {
    FrameworkOptions o;
    for (const std::string& arg : args) {
        if (!parse_one(o, arg)) {
            char text[512];
            std::snprintf(text, sizeof text, "Unrecognized flag: %s", arg.c_str());
            debug_trace(text);
        }
    }
    return o;
}

}  // namespace gui
