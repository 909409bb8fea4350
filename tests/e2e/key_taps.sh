#!/usr/bin/env bash
# Taps shorter than a frame: xdotool presses and lets go within a few milliseconds, while
# a frame of the running demo lasts far longer under software OpenGL. A Space tap writes
# its marker line once; an Escape tap ends the demo with status 0.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
start_demo
window_open() { xdotool search --name Flumbadoo >/dev/null 2>&1; }
tap() { xdotool keydown "$1" keyup "$1"; }

check "the window opens" wait_until 90 window_open
sleep 3 # into the frames, past start-up

tap space
check "a Space tap writes a marker line" wait_for_lines "$WORK/stdout" 1 30
sleep 1
check "only one line for one tap" test "$(wc -l <"$WORK/stdout")" -eq 1

tap Escape
check "an Escape tap ends the demo" wait_until 30 exited
if alive; then
    kill "$demo_pid"
fi
wait "$demo_pid"
status=$?
check "exit status is 0 (was $status)" test "$status" -eq 0
cat "$WORK/stdout"
finish
