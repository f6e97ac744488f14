// tolvan-demod: demodulates an I/Q recording offline with the receiver's signal path.
#include <cstdio>
#include <string>
#include <vector>

#include "app/demod/demod_options.h"
#include "app/demod/demod_run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    demod_parse_result parsed = parse_demod_options(args);
    switch (parsed.outcome) {
        case demod_parse_result::help:
            std::fputs(demod_help_text, stdout);
            return std::fflush(stdout) == 0 ? demod_exit_ok : demod_exit_output;
        case demod_parse_result::error:
            std::fprintf(stderr, "tolvan-demod: %s\n", parsed.message.c_str());
            return demod_exit_usage;
        case demod_parse_result::run:
            break;
    }
    return run_demod(parsed.options, stderr);
}
