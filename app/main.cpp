#include <cstdio>
#include <cstdlib>

#include "app/startup.h"

int main(int argc, char** argv) {
    const int code = run_receiver(argc, argv, startup_options{});
    // Every way out has stopped the stream and the worker threads and finished a recording;
    // the process ends without tearing down the static records, which threads of the
    // libraries (the sound server's) may still reach.
    std::fflush(nullptr);
    std::_Exit(code);
}
