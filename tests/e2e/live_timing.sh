#!/usr/bin/env bash
# The real demo in real time on this machine, which draws fewer frames a second than the
# demo's 60 Hz clock steps: the logos' bounce sounds, as OpenAL plays them (its wave writer
# records them), must land within two frames of where the capture tool's exact clock puts them.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
# The reference: the opening and the logos on the exact clock, two pictures a second drawn.
"$BINARY_DIR/flumbadoo-capture" --fps 2 --until 28 --video "$WORK/reference.mp4" --preset ultrafast --quiet \
    2>"$WORK/capture-errors"
check "the reference export exits with 0" test $? -eq 0
ffmpeg -v error -i "$WORK/reference.mp4" -map 0:a "$WORK/reference.wav"

# A short mixing period, so that OpenAL starts each sound within a few milliseconds of the call.
cat >"$WORK/alsoft.conf" <<CONF
[general]
drivers = wave
period_size = 256
[wave]
file = $WORK/live.wav
CONF
ALSOFT_CONF="$WORK/alsoft.conf" ALSOFT_DRIVERS=wave start_demo
sleep 29
xdotool key Escape
check "the demo ends on Escape" wait_until 20 exited
wait "$demo_pid"
check "and exits with 0" test $? -eq 0

# The logos scene runs from 11.5 s to 27.5 s of the demo.
python3 "$SOURCE_DIR/tests/e2e/onsets.py" match "$WORK/reference.wav" "$WORK/live.wav" 11.6 27.4 0.0334 \
    >"$WORK/verdict"
status=$?
cat "$WORK/verdict"
check "every bounce of the real run within two frames of its 60 Hz time" test "$status" -eq 0
finish
