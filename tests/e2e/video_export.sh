#!/usr/bin/env bash
# The video export, decoded back with ffprobe and ffmpeg: size, frame count, rate and
# duration; a frame against the still of the same time; the sound of scene 2's beats and of
# the first logo's floor hit on the frames that show them; a failing encoder leaves no file.
source "$(dirname "$0")/lib.bash" "$@"

capture="$BINARY_DIR/flumbadoo-capture"
cd "$SOURCE_DIR"

probe() { # FILE ENTRY: one value of the first stream of that kind (v or a)
    ffprobe -v error -select_streams "$2" -show_entries "$3" -of default=noprint_wrappers=1:nokey=1 "$1" | head -n 1
}
near() { python3 -c "import sys; sys.exit(0 if abs(float(sys.argv[1]) - float(sys.argv[2])) <= float(sys.argv[3]) else 1)" "$@"; }

# Scene 2 from its first frame through its ten words and their beats, every 60 Hz step drawn.
fps=60
"$capture" --scene 2 --until 2.7 --fps $fps --video "$WORK/words.mp4" --preset ultrafast --quiet \
    --stills 1.5 --out "$WORK/stills" --timeline >"$WORK/timeline" 2>"$WORK/stderr"
status=$?
cat "$WORK/stderr"
check "the export exits with 0 (was $status)" test "$status" -eq 0
frames=$(sed -n 's/ end$//p' "$WORK/timeline")
check "the video is 1920 x 1080" test "$(ffprobe -v error -select_streams v -show_entries stream=width,height -of csv=p=0 "$WORK/words.mp4")" = "1920,1080"
check "the video holds every rendered frame ($frames)" \
    test "$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$WORK/words.mp4")" = "$frames"
check "the frame rate is $fps" test "$(probe "$WORK/words.mp4" v stream=r_frame_rate)" = "$fps/1"
check "the file lasts frames / fps" near "$(probe "$WORK/words.mp4" v format=duration)" "$(python3 -c "print($frames / $fps)")" "$(python3 -c "print(1 / $fps)")"
check "the sound is 44.1 kHz stereo" test "$(ffprobe -v error -select_streams a -show_entries stream=sample_rate,channels -of csv=p=0 "$WORK/words.mp4")" = "44100,2"
check "nothing is left beside the video" test "$(ls "$WORK" | grep -c part)" -eq 0

# A frame against the still of the same time: frame n of the run is picture n - 1.
still=$(ls "$WORK/stills")
n=$((10#$(echo "$still" | tr -dc 0-9)))
ffmpeg -v error -i "$WORK/stills/$still" -vf scale=480:270 -f rawvideo -pix_fmt rgb24 - >"$WORK/still.rgb"
for k in $((n - 1)) $((n - 9)); do
    ffmpeg -v error -i "$WORK/words.mp4" -vf "select=eq(n\,$k),scale=480:270" -frames:v 1 -f rawvideo -pix_fmt rgb24 - >"$WORK/frame$k.rgb"
done
differing() { # A B: share of pixels whose colour differs by more than 40 in a channel
    python3 - "$1" "$2" <<'PY'
import sys
a, b = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
assert len(a) == len(b) == 480 * 270 * 3, (len(a), len(b))
print(sum(1 for i in range(0, len(a), 3) if max(abs(a[i + c] - b[i + c]) for c in range(3)) > 40) / (len(a) // 3))
PY
}
same=$(differing "$WORK/still.rgb" "$WORK/frame$((n - 1)).rgb")
other=$(differing "$WORK/still.rgb" "$WORK/frame$((n - 9)).rgb")
echo "still $still against picture $((n - 1)): $same differ; against picture $((n - 9)): $other"
check "picture n - 1 matches still n, the right way up" python3 -c "import sys; sys.exit(0 if $same < 0.02 else 1)"
check "a picture eight frames away does not (the comparison can tell)" python3 -c "import sys; sys.exit(0 if $other > 0.1 else 1)"

# Sync: each beat flashes the background red and blue on the frame it fires; its hit must
# start in the sound within one frame of the moment that picture shows.
ffmpeg -v error -i "$WORK/words.mp4" -vf scale=64:36 -f rawvideo -pix_fmt rgb24 - >"$WORK/small.rgb"
ffmpeg -v error -i "$WORK/words.mp4" -map 0:a -ac 1 -f s16le - >"$WORK/sound.s16"
python3 - "$WORK/small.rgb" "$WORK/sound.s16" $fps >"$WORK/sync" <<'PY'
import array, sys
pictures, sound, fps = open(sys.argv[1], "rb").read(), array.array("h"), int(sys.argv[3])
sound.frombytes(open(sys.argv[2], "rb").read())
size = 64 * 36 * 3
# Red plus blue over green: the flash adds to red and blue only.
tint = [sum(p[i] + p[i + 2] - 2 * p[i + 1] for i in range(0, size, 3)) / (size // 3)
        for p in (pictures[k:k + size] for k in range(0, len(pictures), size))]
flashes = [k for k in range(len(tint)) if tint[k] - (tint[k - 1] if k else 0) > 25]
# A hit starts in the first 2 ms window near the beat whose peak is 2.5 times the loudest
# of the 20 ms before it (silence before the track) and loud in itself.
window = 88
level = [max(abs(s) for s in sound[i:i + window]) for i in range(0, len(sound) - window, window)]
def onset(t):
    first, last = int((t - 2 / fps) * 44100 / window), int((t + 2 / fps) * 44100 / window)
    for i in range(max(first, 0), min(last, len(level))):
        before = max(level[max(i - 10, 0):i], default=0)
        if level[i] > 8000 and level[i] > 2.5 * before:
            return i * window / 44100
    return float("inf")
print("flash frames", flashes)
for k in flashes:
    print("beat", k, "shows at %.4f, sound %+.1f ms" % (k / fps, 1000 * (onset(k / fps) - k / fps)))
PY
cat "$WORK/sync"
beats=$(grep -c '^beat' "$WORK/sync")
check "ten beats flash in the picture (saw $beats)" test "$beats" -eq 10
# Half a frame, not one: a sound placed one frame late must fail, not pass by a rounding.
check "every beat's hit starts within half a frame of its picture" \
    python3 -c "import sys; sys.exit(0 if all(abs(float(l.split()[-2])) <= 500 / $fps for l in open('$WORK/sync') if l.startswith('beat')) else 1)"

# At 30 frames a second, more than a minute into the demo after every hand-over before it:
# each flash of scene 7 (the picture turning dark or bright at once) shows within one output
# frame of an attack in the exported sound.
"$capture" --fps 30 --at 79 --until 90 --video "$WORK/flowers.mp4" --preset ultrafast --quiet 2>"$WORK/stderr"
check "the 30 fps export from the middle of the demo exits with 0" test $? -eq 0
ffmpeg -v error -i "$WORK/flowers.mp4" -vf scale=64:36 -f rawvideo -pix_fmt rgb24 - >"$WORK/flowers.rgb"
ffmpeg -v error -i "$WORK/flowers.mp4" -map 0:a -ac 1 "$WORK/flowers.wav"
python3 tests/e2e/onsets.py flashes "$WORK/flowers.rgb" "$WORK/flowers.wav" 30 >"$WORK/flowers-sync"
status=$?
tail -n 1 "$WORK/flowers-sync"
check "every flash of the 30 fps export within one frame of its hit" test "$status" -eq 0

# The first logo's first floor hit, about 5 s into scene 1, every step drawn from 4 s on: the
# picture where the logo is lowest is the hit (it is put back on the floor there), and its
# "bounce" must start as that picture shows, in a track that is silent until then (no music
# before scene 2).
"$capture" --scene 1 --at 4 --until 5.5 --video "$WORK/logos.mp4" --preset ultrafast --quiet 2>"$WORK/stderr"
status=$?
check "the logos export exits with 0 (was $status)" test "$status" -eq 0
ffmpeg -v error -i "$WORK/logos.mp4" -vf crop=1920:240:0:840,scale=240:240 -f rawvideo -pix_fmt gray - >"$WORK/floor.gray"
ffmpeg -v error -i "$WORK/logos.mp4" -map 0:a -ac 1 -f s16le - >"$WORK/logos.s16"
python3 - "$WORK/floor.gray" "$WORK/logos.s16" >"$WORK/bounce" <<'PY'
import array, sys
pictures, sound = open(sys.argv[1], "rb").read(), array.array("h")
sound.frombytes(open(sys.argv[2], "rb").read())
size = 240 * 240
def lowest(p):  # lowest row of the strip with a dark pixel (the logo on the white stage), -1 for none
    return max((r for r in range(240) if min(p[r * 240:(r + 1) * 240]) < 128), default=-1)
# Pictures still fading in from black have no white stage to find the logo on.
rows = [lowest(p) if sum(p) > 200 * size else -1 for p in (pictures[k:k + size] for k in range(0, len(pictures), size))]
hit = rows.index(max(rows))
first = next((i for i, s in enumerate(sound) if abs(s) > 1000), None)
print("lowest rows", rows)
print("hit picture", hit, "shows at %.4f" % (hit / 60), "sound starts at", first and "%.4f" % (first / 44100))
print("offset", "inf" if first is None else "%.4f" % (first / 44100 - hit / 60))
PY
cat "$WORK/bounce"
check "the bounce sounds within half a frame of the floor hit's picture" \
    python3 -c "import sys; sys.exit(0 if abs(float(open('$WORK/bounce').read().split()[-1])) <= 0.5 / 60 else 1)"

# Failure paths: a message naming the file, a non-zero status and no file left behind.
expect_refused() { # DESCRIPTION TARGET ARGS...
    local what=$1 target=$2
    shift 2
    "$capture" --until 0.5 --fps 10 --quiet "$@" >/dev/null 2>"$WORK/error"
    local status=$?
    cat "$WORK/error"
    check "$what: status $status" test "$status" -ne 0
    check "$what: the message names the file" grep -qF "$target" "$WORK/error"
}
expect_refused "video in a missing folder" "$WORK/missing/out.mp4" --video "$WORK/missing/out.mp4"
check "no missing folder was made" test ! -e "$WORK/missing"
mkdir "$WORK/folder"
expect_refused "video onto a folder" "$WORK/folder" --video "$WORK/folder"
check "the folder is left empty" test -z "$(ls -A "$WORK/folder")"
expect_refused "frame times in a missing folder" "$WORK/missing/times.csv" --bench "$WORK/missing/times.csv"
# An encoder that dies after start-up: the frames rendered so far must not become a file.
mkdir "$WORK/bin" "$WORK/out"
printf '#!/bin/sh\ncase "$*" in *-version*) exit 0;; esac\nexit 1\n' >"$WORK/bin/ffmpeg"
chmod +x "$WORK/bin/ffmpeg"
PATH="$WORK/bin:$PATH" expect_refused "an encoder that fails" "ffmpeg" --video "$WORK/out/dead.mp4"
check "nothing is left where the video was to go" test -z "$(ls -A "$WORK/out")"

finish
