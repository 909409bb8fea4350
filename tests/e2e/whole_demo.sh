#!/usr/bin/env bash
# The whole demo, from its first frame to its end, through the real capture runner at two
# output frames a second (a short run in CI): every hand-over of the chain in order, then the
# end. Then the demo's 60 Hz clock: the same timeline when no step is drawn at all, the same
# still with --at as in the full run, and the same pixels whether the steps before a still are
# drawn or run without drawing, in an early, a middle and the last scene.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/lib_chain.bash"

capture="$BINARY_DIR/flumbadoo-capture"
cd "$SOURCE_DIR"
# The demo lasts about 160 s. The demo-time bound, half as long again, stops a chain that
# stalls in a scene (an id without a routine stays black for ever); the wall-clock bound
# stops a frame that hangs. A status of 124 means the wall clock ran out.
start=$SECONDS
timeout 540 "$capture" --fps 2 --until 240 --timeline --stills 20,80,150 --out "$WORK/full" \
    >"$WORK/timeline" 2>"$WORK/stderr"
status=$?
echo "capture took $((SECONDS - start)) s, exit status $status; timeline:"
cat "$WORK/timeline"
check "the runner exits with 0 and in time (was $status)" test "$status" -eq 0
check "every hand-over in chain order, then \"<step> end\"" check_chain "$WORK/timeline"
check "no asset is reported missing" bash -c "! grep 'does not exist\|Unable to' '$WORK/stderr'"

"$capture" --at 240 --timeline --quiet >"$WORK/undrawn" 2>/dev/null
check "with no step drawn, the same hand-overs on the same steps" cmp "$WORK/timeline" "$WORK/undrawn"

# DIR_A DIR_B: DIR_A holds one still, and DIR_B the same file with the same pixels.
same_still() {
    local name
    name=$(ls "$1")
    [ "$(echo "$name" | wc -w)" -eq 1 ] && cmp -s "$1/$name" "$2/$name"
}
for at in 20 80 150; do
    "$capture" --fps 2 --at $at --until $at --stills $at --out "$WORK/at$at" --quiet 2>/dev/null
    check "--at $at shows the full run's still of $at s, pixel for pixel" same_still "$WORK/at$at" "$WORK/full"
done
# Every step drawn for a second (three from the start) against those steps run undrawn.
for at in 3 80 150; do
    "$capture" --at $((at > 3 ? at - 1 : 0)) --until $at --stills $at --out "$WORK/drawn$at" --quiet 2>/dev/null
    "$capture" --at $at --until $at --stills $at --out "$WORK/undrawn$at" --quiet 2>/dev/null
    check "at $at s the still after drawn steps equals the still after undrawn ones" \
        same_still "$WORK/undrawn$at" "$WORK/drawn$at"
done
finish
