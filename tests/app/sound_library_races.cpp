// The sound libraries under the start-up test (PulseAudio's client, ALSA and its plugins,
// PortAudio) are not built with ThreadSanitizer, so their own locking is invisible to it
// and shows up as races inside them. Those reports are suppressed; the receiver's own
// threads stay checked.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libpulsecommon-16.1.so\n"
           "called_from_lib:libpulse.so.0\n"
           "called_from_lib:libasound.so.2\n"
           "called_from_lib:libportaudio.so.2\n"
           "race:libpulsecommon-16.1.so\n"
           "race:libpulse.so.0\n"
           "race:libasound.so.2\n"
           "race:libportaudio.so.2\n";
}
