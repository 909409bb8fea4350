#!/usr/bin/env bash
# Without a display (DISPLAY unset, or naming a server that is not there) the programs say so
# in one line instead of aborting: the demo ends with status 0, the capture and paint tools
# with a failure that scripts can see, and scripts/demo.sh says it before building. The tools'
# --help needs none.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
demo_line='No X display: DISPLAY is not set or its server cannot be reached. Run the demo in a graphical session, or under xvfb-run -a -s "-screen 0 1920x1080x24 -noreset". To watch it without a screen, render it to a video: xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" build/flumbadoo-capture --video demo.mp4 (README.md, "Render to video").'
script_line='No X display: DISPLAY is not set. Run the demo in a graphical session, or render it to a video without a screen: scripts/demo.sh --video demo.mp4'
# Name, DISPLAY (empty: unset), command; then the status ("fails": 1 to 123, no signal) and the
# one line standard error must hold (standard output too for demo.sh), as a pattern for the tools.
for row in "demo||$BINARY_DIR/flumbadoo|0|$demo_line" "demo|:4242|$BINARY_DIR/flumbadoo|0|$demo_line" \
    "capture||$capture --until 1|fails|flumbadoo-capture: no X display: .*xvfb-run -a -s .*-noreset.*" \
    "capture|:4242|$capture --until 1|fails|flumbadoo-capture: no X display: .*xvfb-run -a -s .*-noreset.*" \
    "paint||$BINARY_DIR/flumbadoo-paint --out $WORK/painted|fails|flumbadoo-paint: no X display: .*xvfb-run -a -s .*-noreset.*" \
    "paint|:4242|$BINARY_DIR/flumbadoo-paint --out $WORK/painted|fails|flumbadoo-paint: no X display: .*xvfb-run -a -s .*-noreset.*" \
    "demo.sh (nothing installed or built)||scripts/demo.sh|0|$script_line" \
    "demo.sh with a wrong option|:4242|scripts/demo.sh --vid x.mp4|2|Usage: scripts/demo.sh \[--video FILE.mp4\]"; do
    IFS='|' read -r name display command expected line <<<"$row"
    if [ -z "$display" ]; then
        env -u DISPLAY timeout 60 $command >"$WORK/out" 2>"$WORK/err"
    else
        DISPLAY=$display timeout 60 $command >"$WORK/out" 2>"$WORK/err"
    fi
    status=$?
    what="$name, DISPLAY ${display:-unset}"
    echo "--- $what: status $status"
    cat "$WORK/err"
    [ "$expected" = fails ] && [ "$status" -ge 1 ] && [ "$status" -lt 124 ] && expected=$status
    check "$what: status $status" test "$status" = "$expected"
    [[ $name == demo.sh* ]] && cat "$WORK/out" >>"$WORK/err"
    check "$what: the one line, nothing else" test "$(wc -l <"$WORK/err")" -eq 1 -a -n "$(grep -x -- "$line" "$WORK/err")"
done

# The tools' --help needs no display, prints the usage and nothing else, and touches no audio:
# with OpenAL pointed at a sound card that is not there, nothing but the usage appears.
for tool in capture player paint; do
    env -u DISPLAY ALSOFT_DRIVERS=alsa timeout 60 "$BINARY_DIR/flumbadoo-$tool" --help >"$WORK/out" 2>"$WORK/err"
    status=$?
    check "$tool --help without a display: status $status" test "$status" = 0
    check "$tool --help without a display: the usage, nothing on standard error" \
        test -s "$WORK/out" -a ! -s "$WORK/err" -a "$(head -c 6 "$WORK/out")" = "Usage:"
done
finish
