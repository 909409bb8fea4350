#!/usr/bin/env bash
# The fixed-step runner: frame counting, stills, the timeline's end line and its option errors.
source "$(dirname "$0")/lib.bash" "$@"

capture="$BINARY_DIR/flumbadoo-capture"
cd "$SOURCE_DIR"

"$capture" --timeline --until 2 >"$WORK/timeline" 2>"$WORK/stderr"
status=$?
check "--until 2 exits with 0 (was $status)" test "$status" -eq 0
cat "$WORK/timeline"
check "two seconds at 60 fps end on frame 120" test "$(tail -n 1 "$WORK/timeline")" = "120 end"

# At 30 frames a second, output frame k shows 60 Hz step 2k - 1; the timeline still counts steps.
"$capture" --fps 30 --until 1 --timeline --stills 0,0.5,0.52,1 --out "$WORK/stills" >"$WORK/timeline30" 2>/dev/null
check "--fps 30 --until 1 ends on step 61, the first shown at or after 1 s" test "$(tail -n 1 "$WORK/timeline30")" = "61 end"
ls "$WORK/stills"
check "stills at the first output frames at or after each time" \
    test "$(cd "$WORK/stills" && echo *.png)" = "frame-000001.png frame-000016.png frame-000017.png frame-000031.png"
"$capture" --fps 7 --at 0.7 --until 1.3 --stills 0,1.3 --out "$WORK/at" --timeline >"$WORK/timeline-at" 2>/dev/null
check "--at starts output at the first frame that reaches it, on the full run's frames" \
    test "$(cd "$WORK/at" && echo *.png)" = "frame-000006.png frame-000010.png"
check "--at runs the steps before it all the same" test "$(tail -n 1 "$WORK/timeline-at")" = "78 end"
size_of() { python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(24); print(*struct.unpack('>II', d[16:24]))" "$1"; }
check "stills are 1920 x 1080 PNG images" test "$(size_of "$WORK/stills/frame-000031.png")" = "1920 1080"
# With no scene drawing yet, a still shows what the screen shows: opaque black, every pixel.
pixels_of() { # PNG: the distinct RGBA pixels of an 8-bit RGBA PNG, as hex
    python3 - "$1" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
width, height = struct.unpack(">II", data[16:24])
pos, idat = 8, b""
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    if kind == b"IDAT":
        idat += data[pos + 8:pos + 8 + length]
    pos += 12 + length
raw, stride = zlib.decompress(idat), 4 * width
previous, seen = bytearray(stride), set()
for r in range(height):
    kind, row = raw[r * (stride + 1)], bytearray(raw[r * (stride + 1) + 1:(r + 1) * (stride + 1)])
    for i in range(stride):
        a = row[i - 4] if i >= 4 else 0
        b, c = previous[i], previous[i - 4] if i >= 4 else 0
        p = a + b - c
        paeth = min((abs(p - a), 0, a), (abs(p - b), 1, b), (abs(p - c), 2, c))[2]
        row[i] = (row[i] + (0, a, b, (a + b) // 2, paeth)[kind]) & 255
    seen.update(bytes(row[i:i + 4]).hex() for i in range(0, stride, 4))
    previous = row
print(sorted(seen))
PY
}
check "a still of the empty demo is opaque black" test "$(pixels_of "$WORK/stills/frame-000031.png")" = "['000000ff']"

expect_usage_error() { # ARGS...
    "$capture" "$@" >/dev/null 2>"$WORK/error"
    local status=$?
    [ "$status" -eq 2 ] && grep -q "^flumbadoo-capture: " "$WORK/error"
}
check "unknown option is refused" expect_usage_error --bogus
for fps in 0 61 29.97 sixty; do
    check "--fps $fps is refused: a whole number from 1 to 60" expect_usage_error --fps $fps
done
check "--at needs seconds" expect_usage_error --at soon
check "--until before --at is refused" expect_usage_error --at 5 --until 4
check "--until needs a value" expect_usage_error --until
check "--stills needs --out" expect_usage_error --stills 1,2
check "--stills needs numbers" expect_usage_error --stills 1,x --out "$WORK/x"
check "--crf stays within x264's 0 to 51" expect_usage_error --crf 52 --video "$WORK/x.mp4"
check "--preset needs an x264 preset" expect_usage_error --preset fastest --video "$WORK/x.mp4"
check "--scene needs an id" expect_usage_error --scene two
check "--video and --bench do not run together" expect_usage_error --video "$WORK/x.mp4" --bench "$WORK/x.csv"
check "a refused option writes no file" test ! -e "$WORK/x.mp4" -a ! -e "$WORK/x.mp4.part" -a ! -e "$WORK/x.csv"
"$capture" --help >"$WORK/help"
check "--help prints the usage" grep -q "^Usage: flumbadoo-capture" "$WORK/help"
finish
