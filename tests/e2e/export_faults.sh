#!/usr/bin/env bash
# Exports that fail leave nothing half-written: a capture stopped by SIGTERM or SIGINT (alone or
# through scripts/demo.sh --video) says so in one line, removes its parts and fails; onto a full
# disk it says the disk is full. The hostile machines the demo already survives stay survived:
# OpenGL without shaders, and an X server that goes away mid-run.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
# Stopped while frames flow into the encoder: the parts exist by then.
for signal in TERM INT; do
    mkdir -p "$WORK/$signal"
    "$capture" --fps 10 --preset ultrafast --quiet --video "$WORK/$signal/out.mp4" 2>"$WORK/$signal.err" &
    pid=$!
    wait_until 60 test -s "$WORK/$signal/out.mp4.picture.part"
    kill "-$signal" "$pid"
    wait "$pid"
    status=$?
    cat "$WORK/$signal.err"
    number=$(kill -l "$signal")
    check "SIG$signal: status $((128 + number)) (was $status)" test "$status" -eq $((128 + number))
    check "SIG$signal: one line says so" grep -q "^flumbadoo-capture: stopped by SIG$signal after [0-9]* frames; what was being written has been removed$" "$WORK/$signal.err"
    check "SIG$signal: nothing left in the folder" test -z "$(ls -A "$WORK/$signal")"
done

# Through the script that renders the demo for a viewer, when it runs from this build.
if [ "$BINARY_DIR" = "$SOURCE_DIR/build" ]; then
    mkdir -p "$WORK/script"
    scripts/demo.sh --video "$WORK/script/demo.mp4" >"$WORK/script.out" 2>"$WORK/script.err" &
    pid=$!
    wait_until 300 test -s "$WORK/script/demo.mp4.picture.part"
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    check "demo.sh --video stopped by SIGTERM: status 143 (was $status)" test "$status" -eq 143
    # The virtual display's runner sends the tool's standard error to standard output.
    check "demo.sh --video stopped by SIGTERM: the capture's line" grep -q "stopped by SIGTERM" "$WORK/script.out" "$WORK/script.err"
    check "demo.sh --video stopped by SIGTERM: nothing left in the folder" test -z "$(ls -A "$WORK/script")"
fi

# A disk that fills up under the export: only where this user may mount a small one.
mkdir -p "$WORK/tiny"
if mount -t tmpfs -o size=3m tmpfs "$WORK/tiny" 2>/dev/null; then
    "$capture" --fps 10 --until 30 --preset ultrafast --quiet --video "$WORK/tiny/out.mp4" 2>"$WORK/tiny.err"
    status=$?
    cat "$WORK/tiny.err"
    check "a full disk: status 1 (was $status)" test "$status" -eq 1
    check "a full disk: its own line says so" grep -qx "flumbadoo-capture: the disk holding $WORK/tiny/out.mp4 is full; nothing was written" "$WORK/tiny.err"
    check "a full disk: nothing left on it" test -z "$(ls -A "$WORK/tiny")"
    umount "$WORK/tiny"
else
    echo "skipped: a full disk (cannot mount a small one here)"
fi

# OpenGL without its shader extensions: the first shader the demo needs is refused, with its line.
MESA_EXTENSION_OVERRIDE="-GL_ARB_shader_objects -GL_ARB_vertex_shader -GL_ARB_fragment_shader" \
    timeout 60 "$BINARY_DIR/flumbadoo" >/dev/null 2>"$WORK/noshaders.err"
status=$?
cat "$WORK/noshaders.err"
check "no shaders: status 0 (was $status)" test "$status" -eq 0
check "no shaders: the laser shader's line" grep -qx "Unable to load the laser shader :(" "$WORK/noshaders.err"

# An X server of its own, killed while the demo plays: the demo ends within a second or two.
# A display number no other server holds (one that is taken would leave this server dead and the
# demo on the other one).
display=
for number in $(seq 70 99); do
    if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
        display=:$number
        break
    fi
done
Xvfb "$display" -screen 0 1920x1080x24 -noreset >/dev/null 2>&1 &
server=$!
wait_until 20 xdpyinfo -display "$display" >/dev/null 2>&1 || wait_until 20 test -e "/tmp/.X11-unix/X${display#:}"
DISPLAY=$display "$BINARY_DIR/flumbadoo" >/dev/null 2>"$WORK/gone.err" &
demo=$!
# Killed once the window is there and a second of the demo has played, however long start-up took.
window_on_server() { DISPLAY=$display xdotool search --name "Flumbadoo" >/dev/null 2>&1; }
check "the demo opens its window on its own server" wait_until 60 window_on_server
sleep 1
kill "$server"
wait_until 5 not kill -0 "$demo" 2>/dev/null
gone=$?
kill -KILL "$demo" 2>/dev/null
wait "$demo" 2>/dev/null
check "the X server gone: the demo ends within five seconds" test "$gone" -eq 0
finish
