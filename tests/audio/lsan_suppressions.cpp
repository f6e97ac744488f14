// The sound libraries keep process-lifetime allocations (configuration caches, host-API
// tables) that the leak checker would report at exit; they are not leaks of this code.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libasound.so\nleak:libpulse.so\nleak:libpulsecommon\nleak:libportaudio.so\n"
           "leak:libjack.so\nleak:libdbus-1.so\n";
}
