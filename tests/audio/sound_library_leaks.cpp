// The sound libraries under these tests (ALSA and its plugins, PulseAudio's client,
// PortAudio) keep process-lifetime allocations, partly in plugins that ALSA unloads again,
// so the leak checker cannot even name them. Leak checking is off for this executable;
// AddressSanitizer's other checks stay on, and the callback is leak-checked in test_audio.
extern "C" int __lsan_is_turned_off() {
    return 1;
}
