#!/usr/bin/env bash
# Makes the demo recording as README command 1 does (scripts/make-demo: espeak-ng voices,
# tolvan-demo) and reads it back through the receiver's own signal path (tolvan-demod) with
# independent readers: every transmission of every CW station, converted to 16-bit PCM by
# sox, must decode with morse2ascii to the text sent; every utterance of both voices must
# match the spoken source (voice_match, analytic signals, correlation >= 0.85), and the same
# voice demodulated on the wrong sideband must not.
#
#   demo_read_test.sh TOLVAN_DEMO TOLVAN_DEMOD VOICE_MATCH ARTIFACTS
set -uo pipefail
generator="$1"
demod="$2"
match="$3"
artifacts="$4"
root="$(cd "$(dirname "$0")/../.." && pwd)"
mkdir -p "$artifacts"
fail() { echo "FAIL: $*"; exit 1; }
for tool in espeak-ng sox morse2ascii; do
    command -v "$tool" >/dev/null || fail "$tool missing"
done
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

"$root/scripts/make-demo" "$generator" "$tmp/demo.wav" "$tmp/voices" || fail "make-demo failed"

# The layout that Rec writes: 44-byte header, 96000 Hz float stereo, whole blocks.
u32_at() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }
u16_at() { od -An -tu2 -j"$2" -N2 "$1" | tr -d ' '; }
size="$(stat -c %s "$tmp/demo.wav")"
(( (size - 44) % 16384 == 0 )) || fail "not whole blocks: $size bytes"
seconds=$(( (size - 44) / 768000 ))
(( seconds == 60 )) || fail "$seconds s long"
[[ "$(u32_at "$tmp/demo.wav" 24)" == 96000 && "$(u16_at "$tmp/demo.wav" 20)" == 3 &&
   "$(u16_at "$tmp/demo.wav" 22)" == 2 && "$(u32_at "$tmp/demo.wav" 40)" == $((size - 44)) ]] ||
    fail "header"

"$generator" --list --usb-voice "$tmp/voices/usb.wav" --lsb-voice "$tmp/voices/lsb.wav" \
    >"$tmp/stations" || fail "--list"
cp "$tmp/stations" "$artifacts/demo_stations.txt"
cw_count=0
voice_count=0
while IFS=$'\t' read -r name mode position bin readout width level wpm period starts text; do
    case "$mode" in
    CWL)
        [[ "$wpm" != 0 ]] || continue  # the carrier sends nothing
        "$demod" --quiet --mode cwl --tuned-bin "$bin" --bandwidth "$width" "$tmp/demo.wav" \
            "$tmp/$name.wav" || fail "$name: tolvan-demod"
        sox "$tmp/$name.wav" -b 16 -e signed-integer -c 1 "$tmp/$name-16.wav" 2>/dev/null ||
            fail "$name: sox"
        want="$(tr 'A-Z' 'a-z' <<<"$text")"
        IFS=, read -ra at <<<"$starts"
        for t in "${at[@]}"; do
            # One transmission at a time, from just before its first element.
            sox "$tmp/$name-16.wav" "$tmp/cut.wav" trim "$(awk -v t="$t" 'BEGIN{print t - 0.3}')" \
                "$period" 2>/dev/null || fail "$name: sox trim"
            got="$(morse2ascii "$tmp/cut.wav" 2>/dev/null | tr -d '\0' | xargs)"
            echo "$name ($wpm wpm, $width Hz) at $t s: \"$got\""
            [[ "$got" == "$want" ]] || fail "$name at $t s reads \"$got\", sent \"$want\""
            cw_count=$((cw_count + 1))
        done
        ;;
    LSB | USB)
        IFS=, read -ra at <<<"$starts"
        sox "$tmp/voices/$name.wav" -t f32 -c 1 "$tmp/$name-source.f32" rate 12000 \
            sinc 300-2700 2>/dev/null || fail "$name: sox source"
        lower="$(tr 'A-Z' 'a-z' <<<"$mode")"
        other="$([[ $lower == usb ]] && echo lsb || echo usb)"
        for sideband in "$lower" "$other"; do
            "$demod" --quiet --mode "$sideband" --tuned-bin "$bin" --bandwidth "$width" \
                "$tmp/demo.wav" "$tmp/$name-$sideband.wav" || fail "$name: tolvan-demod"
            sox "$tmp/$name-$sideband.wav" -t f32 -c 1 "$tmp/$name-$sideband.f32" rate 12000 \
                sinc 300-2700 2>/dev/null || fail "$name: sox"
        done
        echo "$name on $mode:"
        "$match" "$tmp/$name-$lower.f32" "$tmp/$name-source.f32" 12000 "${at[0]}" "$period" \
            "${#at[@]}" 0.85 || fail "$name does not match its source"
        echo "$name on the wrong sideband:"
        if "$match" "$tmp/$name-$other.f32" "$tmp/$name-source.f32" 12000 "${at[0]}" "$period" 1 0.5; then
            fail "$name matches its source on the wrong sideband"
        fi
        voice_count=$((voice_count + ${#at[@]}))
        ;;
    esac
done <"$tmp/stations"
(( cw_count >= 9 && voice_count >= 4 )) || fail "only $cw_count CW transmissions, $voice_count utterances"
echo "PASS: $cw_count CW transmissions decoded, $voice_count utterances matched"
