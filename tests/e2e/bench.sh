#!/usr/bin/env bash
# --bench: one CSV row per rendered frame with the scene the timeline says ran it, the
# per-scene table agreeing with the rows, the start-up steps, and the plot made from the CSV.
source "$(dirname "$0")/lib.bash" "$@"

capture="$BINARY_DIR/flumbadoo-capture"
cd "$SOURCE_DIR"

# Past scene 2's hand-over (frame 30 at 10 fps), so the rows span two scenes.
"$capture" --scene 2 --until 3.4 --fps 10 --bench "$WORK/times.csv" --timeline --quiet \
    >"$WORK/out" 2>"$WORK/stderr"
status=$?
cat "$WORK/out"
check "the bench run exits with 0 (was $status)" test "$status" -eq 0
check "the CSV starts with its header" test "$(head -n 1 "$WORK/times.csv")" = "frame,scene,ms"

# The scene of every frame as the timeline tells it: the start scene until its hand-over
# frame (included), then the next one.
python3 - "$WORK/times.csv" "$WORK/out" >"$WORK/verdict" <<'PY'
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1])))
out = open(sys.argv[2]).read().splitlines()
timeline = [l.split() for l in out if len(l.split()) in (2, 3) and l.split()[0].isdigit()]
end = int(next(t[0] for t in timeline if t[1] == "end"))
scene, expected = 2, []
handovers = {int(t[0]): int(t[2]) for t in timeline if len(t) == 3}
for frame in range(1, end + 1):
    expected.append(scene)
    scene = handovers.get(frame, scene)
problems = []
if [int(r["frame"]) for r in rows] != list(range(1, end + 1)):
    problems.append("rows are not frames 1..%d" % end)
if [int(r["scene"]) for r in rows] != expected:
    problems.append("scenes differ from the timeline")
if not all(float(r["ms"]) > 0 for r in rows):
    problems.append("a frame took no time")
# The table's frames column against the rows.
table = {int(l.split()[0]): int(l.split()[1]) for l in out if l.split() and l.split()[0].isdigit() and len(l.split()) == 6}
counts = {s: expected.count(s) for s in set(expected)}
if table != counts:
    problems.append("table frames %s, rows %s" % (table, counts))
print("ok" if not problems else "; ".join(problems), "| frames", end, "scenes", counts)
PY
cat "$WORK/verdict"
check "one row per frame, each with the scene the timeline names, and a table that agrees" \
    grep -q '^ok' "$WORK/verdict"
for step in configuration window textures sprites sounds music particles "letter texts" shaders; do
    check "the start-up step $step is timed" grep -q "^$step  *[0-9]" "$WORK/out"
done

tools/plot-bench.sh "$WORK/times.csv" "$WORK/plot.png" "bench check" 2>"$WORK/plot-error"
check "the plot script writes a PNG" bash -c "head -c 8 '$WORK/plot.png' | grep -q PNG"
tools/plot-bench.sh "$WORK/out" "$WORK/wrong.png" 2>"$WORK/plot-error"
status=$?
check "the plot script refuses a file that is no frame-times CSV (status $status)" test "$status" -ne 0
check "and leaves no picture" test ! -e "$WORK/wrong.png" -a ! -e "$WORK/wrong.png.part"
finish
