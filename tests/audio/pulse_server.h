#pragma once
// A private PulseAudio server for one test suite (scripts/pulse-test-server), and the
// child processes that play into and record from its null sinks.
#include <sys/types.h>

#include <string>
#include <vector>

struct pulse_server {
    std::string dir;  // runtime dir under the build dir; removed by the stop
    int rate = 0;     // [Hz] of both null sinks
    bool up = false;
};

// Starts the server and points this process's PulseAudio clients (PortAudio's ALSA pulse
// plugin, paplay, parec) at it. False when it did not come up.
bool pulse_start(pulse_server& s, int rate);
void pulse_stop(pulse_server& s);
// Kills the server at once (SIGKILL, as a crash would) and keeps its directory, so that
// pulse_restart brings a server back at the same address.
void pulse_kill(pulse_server& s);
bool pulse_restart(pulse_server& s);

// Starts a program with the given arguments; stdout goes to stdout_path when not empty.
pid_t spawn(const std::vector<std::string>& argv, const std::string& stdout_path = {});
// Ends a spawned child with SIGTERM (SIGKILL after 2 s) and reaps it.
void end_child(pid_t pid);
// Waits up to timeout_ms for a child to exit by itself; true with its exit status 0.
bool wait_child(pid_t pid, int timeout_ms);
