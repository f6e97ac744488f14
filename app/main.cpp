#include <cstdio>
#include <cstdlib>

#include "app/startup.h"

int main(int argc, char** argv) {
    const int code = run_receiver(argc, argv, startup_options{});
    // Worker threads that shutdown did not stop (the window was closed without Quit) end
    // with the process; nothing is saved on that path.
    std::fflush(nullptr);
    std::_Exit(code);
}
