# Sourced by the tests that run the real receiver in a window. Provides:
#   tmp                 a private folder, removed at exit
#   fail MESSAGE        prints "FAIL: MESSAGE" and exits 1
#   app_pid             set it to the receiver's pid: a receiver still running at exit is
#                       ended (TERM, then KILL after 2 s)
#   start_x_session SCREEN
#                       a private Xvfb with the screen SCREEN (for example 1280x1024x24) and
#                       a private PulseAudio server at 96000 Hz (scripts/pulse-test-server);
#                       exports DISPLAY and the PulseAudio client variables
session_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
fail() {
    echo "FAIL: $*"
    exit 1
}
# Mesa's software GL driver leaves allocations LeakSanitizer cannot attribute.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

tmp="$(mktemp -d)"
xvfb_pid=""
app_pid=""
x_session_cleanup() {
    if [[ -n "$app_pid" ]]; then
        kill "$app_pid" 2>/dev/null
        for _ in $(seq 20); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$app_pid" 2>/dev/null
    fi
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    "$session_root/scripts/pulse-test-server" stop "$tmp/pulse" >/dev/null 2>&1
    rm -rf "$tmp"
}
trap x_session_cleanup EXIT

start_x_session() {
    local tool line
    for tool in Xvfb xwininfo xdotool import; do
        command -v "$tool" >/dev/null || fail "$tool missing"
    done
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s "$tmp/display" ]] && break; sleep 0.1; done
    [[ -s "$tmp/display" ]] || fail "Xvfb did not start"
    export DISPLAY=":$(head -1 "$tmp/display")"
    while read -r line; do export "$line"; done < <("$session_root/scripts/pulse-test-server" start "$tmp/pulse" 96000)
    [[ -n "${PULSE_SERVER:-}" ]] || fail "no PulseAudio server"
}
