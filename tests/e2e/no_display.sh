#!/usr/bin/env bash
# Without a display (DISPLAY unset, or naming a server that is not there) the programs say
# so in one line instead of aborting: the demo ends with status 0, the capture and paint
# tools with a failure that scripts can see, and scripts/demo.sh says it before building.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
demo_line='No X display: DISPLAY is not set or its server cannot be reached. Run the demo in a graphical session, or under xvfb-run -a -s "-screen 0 1920x1080x24 -noreset". To watch it without a screen, render it to a video: xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" build/flumbadoo-capture --video demo.mp4 (README.md, "Render to video").'

run_without_display() { # NAME DISPLAY-VALUE COMMAND...: runs COMMAND, leaves $WORK/NAME.err and .status
    local name=$1 display=$2
    shift 2
    if [ -z "$display" ]; then
        env -u DISPLAY timeout 60 "$@" >"$WORK/$name.out" 2>"$WORK/$name.err"
    else
        DISPLAY=$display timeout 60 "$@" >"$WORK/$name.out" 2>"$WORK/$name.err"
    fi
    echo $? >"$WORK/$name.status"
    echo "--- $name: status $(cat "$WORK/$name.status")"
    cat "$WORK/$name.err"
}

for display in "" ":4242"; do
    label=${display:-unset}
    run_without_display "demo$label" "$display" "$BINARY_DIR/flumbadoo"
    check "demo, DISPLAY $label: status 0" test "$(cat "$WORK/demo$label.status")" -eq 0
    check "demo, DISPLAY $label: the one line" test "$(cat "$WORK/demo$label.err")" = "$demo_line"

    # The tools fail with one line naming themselves; paint is pointed away from assets/.
    for tool in "capture --until 1" "paint --out $WORK/painted"; do
        name=${tool%% *}
        run_without_display "$name$label" "$display" "$BINARY_DIR/flumbadoo-$name" ${tool#* }
        status=$(cat "$WORK/$name$label.status")
        check "$name, DISPLAY $label: fails without a signal (status $status)" test "$status" -ge 1 -a "$status" -lt 124
        check "$name, DISPLAY $label: one line naming the tool and how to start a virtual display" \
            grep -qx "flumbadoo-$name: no X display: .*xvfb-run -a -s .*-noreset.*" "$WORK/$name$label.err"
        check "$name, DISPLAY $label: nothing else" test "$(wc -l <"$WORK/$name$label.err")" -eq 1
    done
done

# demo.sh stops before it installs or builds anything: no build output follows the line.
run_without_display script "" scripts/demo.sh
check "demo.sh: status 0" test "$(cat "$WORK/script.status")" -eq 0
check "demo.sh: the demo's line and nothing else" test "$(cat "$WORK/script.err")$(cat "$WORK/script.out")" = "$demo_line"
finish
