#!/usr/bin/env bash
# The real demo under X: three Space presses a second apart write three rising marker
# lines, Escape ends it with status 0, and a normal start writes no diagnostic line.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
start_demo

# Space is held until its line appears, so a slow start-up cannot swallow the press.
for count in 1 2 3; do
    check "Space press $count writes a marker line" hold_key_until space 90 wait_for_lines "$WORK/stdout" "$count" 0
    sleep 1
done
check "Escape ends the demo" hold_key_until Escape 30 exited
wait "$demo_pid"
status=$?
check "exit status is 0 (was $status)" test "$status" -eq 0

echo "--- standard output"
cat "$WORK/stdout"
mapfile -t markers <"$WORK/stdout"
check "three marker lines" test "${#markers[@]}" -eq 3
check "first marker is @0" test "${markers[0]:-}" = "@0"
rising() {
    awk -v a="${markers[1]#@}" -v b="${markers[2]#@}" 'BEGIN { exit !(a > 0.8 && b > a + 0.8 && b < 30) }'
}
check "later markers rise by about a second each" rising

echo "--- standard error"
cat "$WORK/stderr"
# Xvfb's GLX offers no swap control, which SFML reports; that line is the platform's, not ours.
check "no diagnostic lines" test -z "$(grep -v '^Setting vertical sync not supported$' "$WORK/stderr")"
finish
