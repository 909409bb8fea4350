#!/usr/bin/env bash
# The whole demo through the real capture runner at one output frame a second: every hand-over
# of the chain in order, then the end. The 60 Hz clock: the same timeline with no step drawn,
# the same still with --at as in the full run, the same pixels whether the steps before a still
# are drawn or not. Without two sprites of the opening scenes the hand-overs keep their steps;
# without every picture, sound, music and particle file (shaders, font and manifests kept) the
# demo plays to its end and reports each missing file once, never once per frame.
source "$(dirname "$0")/lib.bash" "$@"

# A timeline (FILE): "<step> <from> <to>" per hand-over, in the chain's order on rising steps,
# then "<step> end" on the step after the one that handed over to 666, which stops the loop.
check_chain() { # FILE
    python3 - "$1" <<'PY'
import sys
chain = [0, 1, 2, 3, 4, 5, 6, 65, 7, 8, 9, 10, 11, 12, 666]
rows = [line.split() for line in open(sys.argv[1])]
steps, moves = [int(row[0]) for row in rows], [row[1:] for row in rows]
expected = [[str(a), str(b)] for a, b in zip(chain, chain[1:])] + [["end"]]
if moves != expected or steps != sorted(set(steps)) or steps[-1] != steps[-2] + 1:
    sys.exit(f"timeline {rows}: expected the hand-overs {expected} on rising steps, the end on the step after the last")
PY
}
# Into $WORK/NAME.timeline and .err. The demo lasts 160 s: the demo-time bound stops a chain stalled
# in a scene without a routine (black for ever), the wall-clock bound a frame that hangs (124).
capture_run() { # NAME ARGS...
    timeout 540 "$capture" --quiet --timeline "${@:2}" >"$WORK/$1.timeline" 2>"$WORK/$1.err"
    status=$?
    echo "--- $1: exit status $status; timeline:" $(cat "$WORK/$1.timeline")
}
reported_once() { # NAME TEXT...: each TEXT is on exactly one line of NAME's standard error
    local text bad=0
    for text in "${@:2}"; do
        [ "$(grep -cF -- "$text" "$WORK/$1.err")" -eq 1 ] || { echo "  not once: $text" && bad=1; }
    done
    return $bad
}

cd "$SOURCE_DIR"
capture_run full --fps 1 --until 240 --stills 20,80,150 --out "$WORK/full"
check "the runner exits with 0 and in time (was $status)" test "$status" -eq 0
check "every hand-over in chain order, then \"<step> end\"" check_chain "$WORK/full.timeline"
check "no asset is reported missing" not grep 'does not exist\|Unable to' "$WORK/full.err"
# Scene 0 ends after 1.5 + 4 + 1 + 4 + 1 s (each wait passed strictly), scene 1 16 s later,
# scene 2 on the 176th step of its beat track.
opening=$'695 0 1\n1656 1 2\n1832 2 3'
check "hand-overs 0 1, 1 2 and 2 3 on their steps" test "$(head -n 3 "$WORK/full.timeline")" = "$opening"
"$capture" --at 240 --timeline --quiet >"$WORK/undrawn" 2>/dev/null
check "with no step drawn, the same hand-overs on the same steps" cmp "$WORK/full.timeline" "$WORK/undrawn"

# DIR_A DIR_B [any]: one still each, with the same pixels and, unless "any", the same name.
same_still() {
    local a b
    a=$(ls "$1")
    b=${3:+$(ls "$2")}
    b=${b:-$a}
    [ "$(echo "$a" | wc -w)$(echo "$b" | wc -w)" = 11 ] && cmp -s "$1/$a" "$2/$b"
}
for at in 3 20 80 150; do
    "$capture" --fps 1 --at $at --until $at --stills $at --out "$WORK/at$at" --quiet 2>/dev/null
    [ $at -gt 3 ] && check "--at $at shows the full run's still of $at s, pixel for pixel" \
        same_still "$WORK/at$at" "$WORK/full"
done
# Every step drawn for a second (three from the start) against those steps run undrawn, on the
# step those stills show: at one frame a second the first at or after T is the one after T.
for at in 3 80 150; do
    "$capture" --at $((at > 3 ? at - 1 : 0)) --until $at.01 --stills $at.01 --out "$WORK/drawn$at" --quiet 2>/dev/null
    check "at $at s the still after drawn steps equals the still after undrawn ones" \
        same_still "$WORK/at$at" "$WORK/drawn$at" any
done

prepare
rm "$WORK/run/assets/sprites.json"
python3 -c 'import json, sys; m = json.load(sys.stdin); [m["sprites"].pop(k) for k in ("quib", "grumlo3")]
print(json.dumps(m))' <"$SOURCE_DIR/assets/sprites.json" >"$WORK/run/assets/sprites.json"
cd "$WORK/run"
capture_run sprites --at 30.55 --until 30.55
check "without two sprites the capture exits with 0 (was $status) with the hand-overs on the same steps" \
    test "$status$(head -n 3 "$WORK/sprites.timeline")" = "0$opening"
check "each missing sprite is reported once" reported_once sprites "Sprite with key quib does not exist" \
    "Sprite with key grumlo3 does not exist"

cd "$SOURCE_DIR"
prepare
python3 -c 'import json; [print(e["file"]) for m in ("textures", "sounds", "music", "particles")
    for e in next(iter(json.load(open(f"assets/{m}.json")).values())).values()]' | sort -u >"$WORK/removed"
cd "$WORK/run"
xargs rm -f <"$WORK/removed"
capture_run media --fps 1 --until 240
check "without media ($(wc -l <"$WORK/removed") files) the runner exits with 0 and in time (was $status)" \
    test "$status" -eq 0 -a -s "$WORK/removed"
check "without media every hand-over in chain order, then \"<step> end\"" check_chain "$WORK/media.timeline"
mapfile -t removed <"$WORK/removed"
check "each removed file is reported exactly once" reported_once media "${removed[@]}"
# Each of the 15 scenes may report a key it looks up; a report per frame would come thousands of times.
sort "$WORK/media.err" | uniq -c | sort -rn | awk '$1 > 1'
check "no line is repeated frame after frame" not awk '$1 > 15 { found = 1 } END { exit !found }' \
    <(sort "$WORK/media.err" | uniq -c)
finish
