#!/usr/bin/env bash
# Missing shader files at start-up: the triangle shader may fail and the demo plays on
# without it; the julia shader may not, and the demo then ends with status 0 before
# its first frame.
source "$(dirname "$0")/lib.bash" "$@"

# A private assets folder: its shader files are copied so they can be deleted, the
# rest (images, sounds, font) are only linked.
prepare() {
    rm -rf "$WORK/run"
    mkdir -p "$WORK/run/assets"
    for entry in "$SOURCE_DIR"/assets/*; do
        ln -s "$entry" "$WORK/run/assets/"
    done
    rm "$WORK/run/assets/shaders"
    cp -r "$SOURCE_DIR/assets/shaders" "$WORK/run/assets/shaders"
    if [ -f "$SOURCE_DIR/config.json" ]; then
        cp "$SOURCE_DIR/config.json" "$WORK/run/"
    fi
}

capture="$BINARY_DIR/flumbadoo-capture"

echo "--- without tri.frag"
prepare
rm "$WORK/run/assets/shaders/tri.frag"
(cd "$WORK/run" && timeout 120 "$capture" --until 0.1 --timeline >"$WORK/tri.out" 2>"$WORK/tri.err")
status=$?
grep -v "does not exist" "$WORK/tri.err"
check "the runner exits with 0 (was $status)" test "$status" -eq 0
check "\"tri shader failed\" on standard error" grep -qx "tri shader failed" "$WORK/tri.err"
check "the blob shader after it still loads" bash -c "! grep -q 'blob shader failed' '$WORK/tri.err'"
check "frames ran: $(tail -n 1 "$WORK/tri.out")" grep -qxE "[1-9][0-9]* end" "$WORK/tri.out"

echo "--- without julia.frag"
prepare
rm "$WORK/run/assets/shaders/julia.frag"
(cd "$WORK/run" && timeout 60 "$BINARY_DIR/flumbadoo" >"$WORK/julia.out" 2>"$WORK/julia.err")
status=$?
grep -v "does not exist" "$WORK/julia.err"
check "the demo ends on its own with status 0 (was $status)" test "$status" -eq 0
check "\"Unable to load the julia shader :(\" on standard error" \
    grep -qx "Unable to load the julia shader :(" "$WORK/julia.err"
check "loading stops there: it is the last line" \
    test "$(tail -n 1 "$WORK/julia.err")" = "Unable to load the julia shader :("
# The runner shares the demo's start-up and reports every frame it runs.
(cd "$WORK/run" && timeout 60 "$capture" --timeline >"$WORK/julia-capture.out" 2>/dev/null)
status=$?
check "the runner also exits with 0 (was $status)" test "$status" -eq 0
check "no frame ran" test ! -s "$WORK/julia-capture.out"
finish
