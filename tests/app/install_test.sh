#!/usr/bin/env bash
# Installs the build into temporary prefixes (cmake --install --prefix, and with DESTDIR)
# and checks what a desktop gets: tolvan, its box program, tolvan-demod and the launcher in
# bin/, a valid desktop entry naming the installed launcher, the icon where the entry finds
# it. Then starts the receiver the way the desktop does (the entry's Exec line, under a
# private Xvfb and PulseAudio server, with a fresh HOME): the per-user folder is created,
# and "Start" then "Quit" write the settings files there.
#
#   install_test.sh BUILD_DIR
set -uo pipefail
build="$1"
source "$(dirname "$0")/x_session.sh"
command -v desktop-file-validate >/dev/null || fail "desktop-file-validate missing"

# 1. The files under the prefix.
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
    fail "cmake --install: $(tail -3 "$tmp/install.log")"
for program in tolvan tolvan-box tolvan-demod tolvan-launch; do
    [[ -x "$prefix/bin/$program" ]] || fail "bin/$program missing"
done
entry="$prefix/share/applications/tolvan.desktop"
[[ -f "$entry" ]] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop entry not valid"
icon="$(sed -n 's/^Icon=//p' "$entry")"
[[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ]] || fail "icon \"$icon\" not installed"
exec_line="$(sed -n 's/^Exec=//p' "$entry")"
[[ "$exec_line" == "$prefix/bin/tolvan-launch" ]] || fail "Exec=$exec_line"
"$prefix/bin/tolvan-demod" --help >/dev/null || fail "installed tolvan-demod does not run"

# 2. Staged for a package: the files under DESTDIR, the entry naming the final path.
DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/tolvan >/dev/null 2>&1 ||
    fail "install with DESTDIR"
grep -qx 'Exec=/opt/tolvan/bin/tolvan-launch' "$tmp/stage/opt/tolvan/share/applications/tolvan.desktop" ||
    fail "staged entry: $(grep Exec "$tmp/stage/opt/tolvan/share/applications/tolvan.desktop")"
[[ -x "$tmp/stage/opt/tolvan/bin/tolvan" ]] || fail "staged tolvan missing"

# 3. Launched as the desktop does, with a HOME that has no folder for the receiver yet.
start_x_session 1280x1024x24
mkdir -p "$tmp/home" "$tmp/elsewhere"
cd "$tmp/elsewhere"
HOME="$tmp/home" XDG_DATA_HOME="" $exec_line -noerrormsgboxes >"$tmp/app.log" 2>&1 &
app_pid=$!
wid="$(timeout 30 xdotool search --sync --onlyvisible --name '^Tolvan 1\.1$' | head -1)"
[[ -n "$wid" ]] || fail "no window: $(grep -v ALSA "$tmp/app.log" | tail -3)"
folder="$tmp/home/.local/share/tolvan"
[[ -d "$folder" ]] || fail "per-user folder not created"
sleep 1
xdotool mousemove --window "$wid" 940 456 click 1  # Start
sleep 1
xdotool mousemove --window "$wid" 940 456 click 1  # Quit
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
wait "$app_pid"
code=$?
app_pid=""
[[ $code -eq 0 ]] || fail "exit code $code: $(grep -v ALSA "$tmp/app.log" | tail -3)"
[[ -f "$folder/Tolvan_101.ini" && -f "$folder/IQ.ini" ]] || fail "settings not in $folder"
[[ -z "$(ls -A "$tmp/elsewhere")" ]] || fail "files left in the starting folder"

# 4. XDG_DATA_HOME, when set, holds the folder; a folder that cannot be made is said.
mkdir -p "$tmp/data"
HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" "$prefix/bin/tolvan-launch" -quitafterframe:5 \
    -noerrormsgboxes >"$tmp/app2.log" 2>&1 || fail "launch with XDG_DATA_HOME"
[[ -d "$tmp/data/tolvan" ]] || fail "folder not under XDG_DATA_HOME"
: >"$tmp/file"
if HOME="$tmp/home" XDG_DATA_HOME="$tmp/file" "$prefix/bin/tolvan-launch" -quitafterframe:5 \
    >"$tmp/app3.log" 2>&1; then
    fail "launch into a folder that cannot exist succeeded"
fi
grep -q "cannot create $tmp/file/tolvan" "$tmp/app3.log" || fail "no message: $(cat "$tmp/app3.log")"
echo "PASS"
