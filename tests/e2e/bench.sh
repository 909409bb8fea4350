#!/usr/bin/env bash
# --bench: one CSV row per output frame with the scene the timeline says ran it, the
# per-scene tables of drawn frames and undrawn steps agreeing with the timeline, the start-up
# steps, and the plot made from the CSV.
source "$(dirname "$0")/lib.bash" "$@"

capture="$BINARY_DIR/flumbadoo-capture"
cd "$SOURCE_DIR"

# Past scene 2's hand-over (step 176), so the rows span two scenes; at 10 fps output frame k
# shows step 6k - 5, and the steps between run without drawing.
"$capture" --scene 2 --until 3.4 --fps 10 --bench "$WORK/times.csv" --timeline --quiet \
    >"$WORK/out" 2>"$WORK/stderr"
status=$?
cat "$WORK/out"
check "the bench run exits with 0 (was $status)" test "$status" -eq 0
check "the CSV starts with its header" test "$(head -n 1 "$WORK/times.csv")" = "frame,scene,ms"

# The scene of every output frame as the timeline of steps tells it: the start scene until
# its hand-over step (included), then the next one.
python3 - "$WORK/times.csv" "$WORK/out" >"$WORK/verdict" <<'PY'
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1])))
out = open(sys.argv[2]).read().splitlines()
# The timeline comes first, up to its end line; the tables follow.
closing = next(i for i, l in enumerate(out) if l.endswith(" end"))
timeline, tables = [l.split() for l in out[:closing]], out[closing + 1:]
end = int(out[closing].split()[0])
handovers = {int(t[0]): int(t[2]) for t in timeline if len(t) == 3}
scene, scene_of_step = 2, {}
for step in range(1, end + 1):
    scene_of_step[step] = scene
    scene = handovers.get(step, scene)
shown = [s for s in range(1, end + 1) if (s - 1) % 6 == 0]
expected = [scene_of_step[s] for s in shown]
problems = []
if [int(r["frame"]) for r in rows] != list(range(1, len(shown) + 1)):
    problems.append("rows are not output frames 1..%d" % len(shown))
if [int(r["scene"]) for r in rows] != expected:
    problems.append("scenes differ from the timeline")
if not all(float(r["ms"]) > 0 for r in rows):
    problems.append("a frame took no time")
# The tables: drawn frames and undrawn steps per scene, against the rows and the timeline.
table = {int(l.split()[0]): int(l.split()[1]) for l in tables if l.split() and l.split()[0].isdigit() and len(l.split()) == 6}
counts = {s: expected.count(s) for s in set(expected)}
if table != counts:
    problems.append("table frames %s, rows %s" % (table, counts))
undrawn = {int(l.split()[0]): int(l.split()[1]) for l in tables if l.split() and l.split()[0].isdigit() and len(l.split()) == 3}
steps = {s: [scene_of_step[t] for t in range(1, end + 1) if t not in shown].count(s) for s in set(scene_of_step.values())}
if undrawn != {s: n for s, n in steps.items() if n}:
    problems.append("undrawn steps %s, timeline %s" % (undrawn, steps))
print("ok" if not problems else "; ".join(problems), "| steps", end, "scenes", counts)
PY
cat "$WORK/verdict"
check "one row per output frame, each with the scene the timeline names, and tables that agree" \
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
