#!/usr/bin/env bash
# The real tolvan in a scaled window under a private Xvfb with a private PulseAudio server:
# -width:2048 opens a 2048 x 960 window whose picture is the 1024 x 480 one doubled pixel
# for pixel; in it and in a 1536 x 900 window (1.5 times, black bands above and below),
# "Start", a wheel turn over the AGC-limit slider and a click into the spectrum land where
# they are made: "Quit" then saves the AGC limit moved by one and the tuning position of the
# clicked column; a click in a black band tunes nothing.
#
#   scaled_window_test.sh TOLVAN ARTIFACTS
set -uo pipefail
tolvan="$1"
artifacts="$2"
mkdir -p "$artifacts"
source "$(dirname "$0")/x_session.sh"
for tool in convert compare; do
    command -v "$tool" >/dev/null || fail "$tool missing"
done
start_x_session 2560x1200x24
mkdir -p "$tmp/run"
cd "$tmp/run"

# open NAME ARGS...: starts tolvan at the screen's top left; sets wid.
open() {
    local name="$1"
    shift
    rm -f Tolvan_101.ini IQ.ini
    "$tolvan" -startx:0 -starty:0 -noerrormsgboxes "$@" >"$tmp/$name.log" 2>&1 &
    app_pid=$!
    wid="$(timeout 30 xdotool search --sync --onlyvisible --name '^Tolvan 1\.1$' | head -1)"
    [[ -n "$wid" ]] || fail "$name: no window: $(grep -v ALSA "$tmp/$name.log" | tail -3)"
    xdotool mousemove 2555 1195  # away from every control: no hover colours
    sleep 1.5
}
# Window point of picture point (x, y) for the factor and the top offset of a window.
at() { awk -v x="$1" -v y="$2" -v f="$factor" -v top="$top" 'BEGIN{printf "%d %d", x * f, top + y * f}'; }
click() { xdotool mousemove --window "$wid" $(at "$1" "$2") click "${3:-1}"; sleep 0.3; }
quit_and_wait() {
    click 940 456
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    wait "$app_pid"
    local code=$?
    app_pid=""
    [[ $code -eq 0 ]] || fail "$1: exit code $code: $(grep -v ALSA "$tmp/$1.log" | tail -3)"
}
value() { sed -n "$1p" Tolvan_101.ini | tr -d '\r'; }

# 1. Unscaled, for the picture to compare with.
open plain -quitafterframe:100000
import -window "$wid" "$tmp/plain.png" 2>/dev/null || fail "screenshot"
kill "$app_pid"
wait "$app_pid" 2>/dev/null
app_pid=""

# 2. Doubled: the window, the picture pixel for pixel, then input.
factor=2
top=0
open double -width:2048
info="$(xwininfo -id "$wid")"
echo "$info" | grep -q 'Width: 2048' && echo "$info" | grep -q 'Height: 960' ||
    fail "window: $info $(grep -v ALSA "$tmp/double.log" | tail -3)"
import -window "$wid" "$tmp/double.png" 2>/dev/null || fail "screenshot"
cp "$tmp/double.png" "$artifacts/tolvan_scaled_2x.png"
# The control panel right of the CPU readout holds nothing that moves before "Start".
convert "$tmp/plain.png" -crop 590x166+430+312 +repage -scale 200% "$tmp/a.png"
convert "$tmp/double.png" -crop 1180x332+860+624 +repage "$tmp/b.png"
differ="$(compare -metric AE "$tmp/a.png" "$tmp/b.png" null: 2>&1)"
[[ "$differ" == 0 ]] || fail "the doubled picture differs from the plain one in $differ pixels"
click 940 456         # Start
click 155 398 4       # wheel away from the user over the AGC-limit slider: 70 -> 69
click 300.5 100.5     # the spectrum at column 300: tuning position 4 x 300
quit_and_wait double
[[ "$(value 26)" == 1200 ]] || fail "2x: tuning position $(value 26), not 1200"
[[ "$(value 34)" == 69 ]] || fail "2x: AGC gain limit $(value 34), not 69"

# 3. One and a half times, letterboxed: 1536 x 720 centred in 1536 x 900.
factor=1.5
top=90
open wide -width:1536 -height:900
click 940 456
click 155 398 5       # wheel towards the user: 70 -> 71
click 700 100         # column 700: 2800
click 100 -40         # in the black band above the picture: nothing
sleep 0.5
import -window "$wid" "$artifacts/tolvan_scaled_1_5x.png" 2>/dev/null
quit_and_wait wide
[[ "$(value 26)" == 2800 ]] || fail "1.5x: tuning position $(value 26), not 2800"
[[ "$(value 34)" == 71 ]] || fail "1.5x: AGC gain limit $(value 34), not 71"
echo "PASS"
