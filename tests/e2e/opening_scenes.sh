#!/usr/bin/env bash
# The first three scenes in the real capture tool, run undrawn: the hand-over steps of their
# timelines, and the same frames when two of their sprites are missing from the manifest.
source "$(dirname "$0")/lib.bash" "$@"

capture="$BINARY_DIR/flumbadoo-capture"
# Scene 0 ends after 1.5 + 4 + 1 + 4 + 1 s (each wait passed strictly: frame 695), scene 1
# 16 s later (961 frames), scene 2 on the 176th frame of its beat track.
expected=$'695 0 1\n1656 1 2\n1832 2 3'

cd "$SOURCE_DIR"
"$capture" --at 30.55 --until 30.55 --timeline >"$WORK/timeline" 2>"$WORK/stderr"
status=$?
check "the capture exits with 0 (was $status)" test "$status" -eq 0
check "hand-overs 0 1, 1 2 and 2 3 on their frames" test "$(grep -v end "$WORK/timeline")" = "$expected"
check "nothing is missing from the shipped assets" bash -c "! grep -q 'does not exist' '$WORK/stderr'"

# A copy of the demo without two sprites that these scenes draw.
mkdir "$WORK/copy"
cp -r assets config.json "$WORK/copy/"
python3 - "$WORK/copy/assets/sprites.json" <<'PY'
import json, sys
path = sys.argv[1]
manifest = json.load(open(path))
for key in ("quib", "grumlo3"):
    del manifest["sprites"][key]
json.dump(manifest, open(path, "w"), indent=4)
PY
cd "$WORK/copy"
"$capture" --at 30.55 --until 30.55 --timeline >"$WORK/timeline-missing" 2>"$WORK/stderr-missing"
status=$?
check "without the sprites the capture still exits with 0 (was $status)" test "$status" -eq 0
check "without the sprites the hand-overs come on the same frames" \
    test "$(grep -v end "$WORK/timeline-missing")" = "$expected"
for key in quib grumlo3; do
    count=$(grep -c "Sprite with key $key does not exist" "$WORK/stderr-missing")
    check "the missing sprite $key is reported once (was $count)" test "$count" -eq 1
done
finish
