#!/usr/bin/env bash
# Without config.json the demo says so, keeps its defaults and still runs and ends cleanly.
source "$(dirname "$0")/lib.bash" "$@"

ln -s "$SOURCE_DIR/assets" "$WORK/assets"
cd "$WORK"
start_demo
says_missing() { grep -qx "Config.json missing." "$WORK/stderr"; }

check "\"Config.json missing.\" on standard error" wait_until 60 says_missing
check "Escape ends the demo" hold_key_until Escape 60 exited
wait "$demo_pid"
status=$?
check "exit status is 0 (was $status)" test "$status" -eq 0
check "the message comes first" test "$(head -n 1 "$WORK/stderr")" = "Config.json missing."
finish
