// Font and drawing libraries keep process-lifetime allocations (fontconfig's configuration,
// FreeType caches) that the leak checker would report at exit; they are not leaks of this
// code.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libfreetype.so\nleak:libX11.so\nleak:libxcb.so\n"
           "leak:libdbus-1.so\n";
}
