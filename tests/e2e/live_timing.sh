#!/usr/bin/env bash
# The real demo in real time under X, slower than its 60 Hz clock: three Space presses write rising
# marker lines, a tap shorter than a frame one more, an Escape tap ends it with status 0, a normal
# start writes no diagnostic line; the logos' bounces as OpenAL plays them (its wave writer records
# them) land within two frames of the capture tool's exact clock. Without config.json it says so.
source "$(dirname "$0")/lib.bash" "$@"

tap() { xdotool keydown "$1" keyup "$1"; }
ended_cleanly() { # WHAT: the demo started last has ended, with status 0
    alive && kill "$demo_pid"
    wait "$demo_pid"
    check "$1: exit status is 0 (was $?)" test $? -eq 0
}

cd "$SOURCE_DIR"
# The reference: the opening and the logos on the exact clock, two pictures a second drawn.
"$capture" --fps 2 --until 28 --video "$WORK/reference.mp4" --preset ultrafast --quiet 2>/dev/null
check "the reference export exits with 0" test $? -eq 0
ffmpeg -v error -i "$WORK/reference.mp4" -map 0:a "$WORK/reference.wav"
# A short mixing period, so that OpenAL starts each sound within a few milliseconds of the call.
printf '[general]\ndrivers = wave\nperiod_size = 256\n[wave]\nfile = %s\n' "$WORK/live.wav" >"$WORK/alsoft.conf"
ALSOFT_CONF="$WORK/alsoft.conf" ALSOFT_DRIVERS=wave start_demo
# Space is held until its line appears, so a slow start-up cannot swallow the press: the key
# repeats while held, and the first line comes with the demo's first frames. The deadline below
# counts from it, not from the launch.
for count in 1 2 3; do
    xdotool keydown space
    check "Space press $count writes a marker line" wait_until 90 lines_at_least "$WORK/stdout" "$count"
    [ "$count" -eq 1 ] && first_frame=$EPOCHREALTIME
    xdotool keyup space
    sleep 1
done
tap space
check "a Space tap writes a marker line" wait_until 30 lines_at_least "$WORK/stdout" 4
# The logos' last bounce is at 27.4 s of the demo: Escape 29 s after its first frame.
sleep "$(python3 -c "print(max(0.0, 29 - ($EPOCHREALTIME - $first_frame)))")"
tap Escape
check "an Escape tap ends the demo" wait_until 20 not alive
ended_cleanly "with config.json"
echo "--- standard output:" $(cat "$WORK/stdout") "--- standard error:" $(cat "$WORK/stderr")
check "four marker lines, one for the tap, @0 first and each later one about a second on" awk -F@ \
    '{ ok = NR == 1 ? $0 == "@0" : ok && $2 > last + 0.8; last = $2 } END { exit !(ok && NR == 4 && last < 40) }' "$WORK/stdout"
# Xvfb's GLX offers no swap control, which SFML reports; that line is the platform's, not ours.
check "no diagnostic lines" test -z "$(grep -v '^Setting vertical sync not supported$' "$WORK/stderr")"
# The logos scene runs from 11.5 s to 27.5 s of the demo.
check "every bounce of the real run within two frames of its 60 Hz time" \
    python3 tests/e2e/onsets.py match "$WORK/reference.wav" "$WORK/live.wav" 11.6 27.4 0.0334

ln -s "$SOURCE_DIR/assets" "$WORK/assets"
cd "$WORK"
start_demo
check "without config.json: \"Config.json missing.\" on standard error" \
    wait_until 60 grep -qx "Config.json missing." "$WORK/stderr"
xdotool keydown Escape
check "without config.json: Escape ends the demo" wait_until 60 not alive
xdotool keyup Escape
ended_cleanly "without config.json"
check "without config.json: the message comes first" test "$(head -n 1 "$WORK/stderr")" = "Config.json missing."
finish
