#!/usr/bin/env bash
# The whole demo, from its first frame to its end, through the real capture runner at ten
# frames a second (a short run in CI): every hand-over of the chain in order, then the end.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/lib_chain.bash"

cd "$SOURCE_DIR"
# The demo lasts about 160 s. The demo-time bound, half as long again, stops a chain that
# stalls in a scene (an id without a routine stays black for ever); the wall-clock bound
# stops a frame that hangs. A status of 124 means the wall clock ran out.
start=$SECONDS
timeout 540 "$BINARY_DIR/flumbadoo-capture" --fps 10 --until 240 --timeline >"$WORK/timeline" 2>"$WORK/stderr"
status=$?
echo "capture took $((SECONDS - start)) s, exit status $status; timeline:"
cat "$WORK/timeline"
check "the runner exits with 0 and in time (was $status)" test "$status" -eq 0
check "every hand-over in chain order, then \"<frame> end\"" check_chain "$WORK/timeline"
check "no asset is reported missing" bash -c "! grep 'does not exist\|Unable to' '$WORK/stderr'"
finish
