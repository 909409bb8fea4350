#!/usr/bin/env bash
# The fixed-step runner: frame counting, stills, the timeline's end line, --bench's CSV and
# tables and the plot made from it, and its option errors.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
"$capture" --timeline --until 2 >"$WORK/timeline" 2>/dev/null
status=$?
check "two seconds at 60 fps exit with 0 (was $status) and end on frame 120" test "$status$(tail -n 1 "$WORK/timeline")" = "0120 end"
# At 30 frames a second, output frame k shows 60 Hz step 2k - 1; the timeline still counts steps.
"$capture" --fps 30 --until 1 --timeline --stills 0,0.5,0.52,1 --out "$WORK/stills" >"$WORK/timeline30" 2>/dev/null
check "--fps 30 --until 1 ends on step 61, the first shown at or after 1 s" test "$(tail -n 1 "$WORK/timeline30")" = "61 end"
check "stills at the first output frames at or after each time" \
    test "$(cd "$WORK/stills" && echo *.png)" = "frame-000001.png frame-000016.png frame-000017.png frame-000031.png"
"$capture" --fps 7 --at 0.7 --until 1.3 --stills 0,1.3 --out "$WORK/at" --timeline >"$WORK/timeline-at" 2>/dev/null
check "--at starts output at the first frame that reaches it, on the full run's frames" \
    test "$(cd "$WORK/at" && echo *.png)" = "frame-000006.png frame-000010.png"
check "--at runs the steps before it all the same" test "$(tail -n 1 "$WORK/timeline-at")" = "78 end"
still="$WORK/stills/frame-000031.png"
check "stills are 1920 x 1080 PNG images" \
    test "$(ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 "$still")" = "png,1920,1080"
# With no scene drawing yet, a still shows what the screen shows: opaque black, every pixel.
check "a still of the empty demo is opaque black" test "$(ffmpeg -v error -i "$still" -f rawvideo -pix_fmt rgba - |
    python3 -c 'import sys; d = sys.stdin.buffer.read(); print({d[i:i + 4].hex() for i in range(0, len(d), 4)})')" = "{'000000ff'}"
# A still shows the frame its step's hash is of (bottom row first): also where the frame's last
# drawing went through a layer (88 s, scene 7's blobs under its letters and flowers).
"$capture" --fps 10 --at 87.9 --until 88 --stills 88 --out "$WORK/blobs" --hashes "$WORK/blobs.txt" --quiet 2>/dev/null
check "a still is the frame the hashes hash" test "$(ffmpeg -v error -i "$WORK/blobs/frame-000881.png" -vf vflip \
    -f rawvideo -pix_fmt rgb24 - | sha256sum | cut -d' ' -f1)" = "$(tail -n 1 "$WORK/blobs.txt" | cut -d' ' -f2)"

# Past scene 2's hand-over (step 176); at 10 fps frame k shows step 6k - 5, the others run undrawn.
"$capture" --scene 2 --until 3.4 --fps 10 --bench "$WORK/times.csv" --timeline --quiet >"$WORK/out" 2>/dev/null
status=$?
cat "$WORK/out"
check "the bench run exits with 0 (was $status)" test "$status" -eq 0
# Each frame's scene as the timeline has it: the start scene up to its hand-over step, then the
# next; the tables of drawn frames and undrawn steps per scene agree with the rows and the timeline.
check "one row per output frame, each with the scene the timeline names, and tables that agree" \
    python3 - "$WORK/times.csv" "$WORK/out" <<'PY'
import collections, csv, sys
lines = open(sys.argv[1]).read().splitlines()
rows, out = list(csv.DictReader(lines)), open(sys.argv[2]).read().splitlines()
closing = next(i for i, l in enumerate(out) if l.endswith(" end"))  # the timeline, then the tables
end, tables = int(out[closing].split()[0]), [l.split() for l in out[closing + 1:]]
handovers = {int(t[0]): int(t[2]) for t in map(str.split, out[:closing]) if len(t) == 3}
scene, scene_of_step = 2, {}
for step in range(1, end + 1):
    scene_of_step[step], scene = scene, handovers.get(step, scene)
shown = [s for s in range(1, end + 1) if (s - 1) % 6 == 0]
expected = [scene_of_step[s] for s in shown]
undrawn = collections.Counter(scene_of_step[s] for s in range(1, end + 1) if s not in shown)
table = lambda width: {int(t[0]): int(t[1]) for t in tables if len(t) == width and t[0].isdigit()}
problems = [what for what, bad in [
    ("the header is not frame,scene,ms", lines[0] != "frame,scene,ms"),
    ("rows are not output frames 1..%d" % len(shown), [int(r["frame"]) for r in rows] != list(range(1, len(shown) + 1))),
    ("scenes differ from the timeline", [int(r["scene"]) for r in rows] != expected),
    ("a frame took no time", not all(float(r["ms"]) > 0 for r in rows)),
    # The table takes the odd output frames; the even ones time their passes.
    ("table frames %s, rows %s" % (table(6), collections.Counter(expected[0::2])), table(6) != collections.Counter(expected[0::2])),
    ("undrawn steps %s, timeline %s" % (table(3), undrawn), table(3) != undrawn)] if bad]
print("; ".join(problems) or "ok", "| steps", end, "scenes", collections.Counter(expected))
sys.exit(bool(problems))
PY
for step in configuration window textures sprites sounds music particles "letter texts" shaders; do
    check "the start-up step $step is timed" grep -q "^$step  *[0-9]" "$WORK/out"
done
tools/plot-bench.sh "$WORK/times.csv" "$WORK/plot.png" "bench check" 2>/dev/null
check "the plot script writes a PNG" bash -c "head -c 8 '$WORK/plot.png' | grep -q PNG"
check "the passes file has every scene's passes and their rest, on each scene's even output frames" \
    python3 - "$WORK/times.csv" "$WORK/times.passes.csv" <<'PY'
import collections, csv, sys
frames = collections.Counter(r["scene"] for r in csv.DictReader(open(sys.argv[1])) if int(r["frame"]) % 2 == 0)
passes = list(csv.DictReader(open(sys.argv[2])))
bad = [p for p in passes if int(p["scene_frames"]) != frames[p["scene"]] or not 0 < int(p["frames"]) <= frames[p["scene"]]]
others = {p["scene"] for p in passes if p["pass"] == "other"}
print(len(passes), "passes;", bad[:3], sorted(set(frames) - others))
sys.exit(bool(bad) or others != set(frames) or not any(p["pass"] == "perlin" for p in passes))
PY
tools/plot-bench.sh "$WORK/times.passes.csv" "$WORK/passes.png" "bench check" 2>/dev/null
check "the plot script draws the passes as a PNG" bash -c "head -c 8 '$WORK/passes.png' | grep -q PNG"
tools/plot-bench.sh "$WORK/out" "$WORK/wrong.png" 2>/dev/null
status=$?
check "the plot script refuses a file that is no frame-times CSV (status $status) and leaves no picture" \
    test "$status" -ne 0 -a ! -e "$WORK/wrong.png" -a ! -e "$WORK/wrong.png.part"

# Option errors: status 2 and a line naming the tool, no file written.
usage_error() { # ARGS...
    "$capture" "$@" >/dev/null 2>"$WORK/error"
    [ $? -eq 2 ] && grep -q "^flumbadoo-capture: " "$WORK/error"
}
for args in "--bogus" "--fps 0" "--fps 61" "--fps 29.97" "--fps sixty" "--at soon" "--at 5 --until 4" "--until" \
    "--stills 1,2" "--stills 1,x --out $WORK/x" "--crf 52 --video $WORK/x.mp4" "--preset fastest --video $WORK/x.mp4" \
    "--scene two" "--video $WORK/x.mp4 --bench $WORK/x.csv"; do
    check "$args is refused" usage_error $args
done
check "a refused option writes no file" test ! -e "$WORK/x.mp4" -a ! -e "$WORK/x.mp4.part" -a ! -e "$WORK/x.csv"
check "--help prints the usage" bash -c "'$capture' --help | grep -q '^Usage: flumbadoo-capture'"

finish
