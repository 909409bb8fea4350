#!/usr/bin/env bash
# The video export, decoded back: size, frame count, rate and duration; a frame against the still
# of the same time; the sound of scene 2's beats, of scene 7's flashes at 30 frames a second and of
# the first logo's floor hit on the frames that show them; bad paths and a dying encoder.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
probe() { # FILE STREAM ENTRIES [OPTION]: the entries of the first stream of that kind (v or a)
    ffprobe -v error ${4:-} -select_streams "$2" -show_entries "$3" -of csv=p=0 "$1" | head -n 1
}
frames() { # VIDEO FILTER FORMAT [OPTION...]: the pictures of the video, filtered, as raw pixels
    ffmpeg -v error -i "$1" -vf "$2" "${@:4}" -f rawvideo -pix_fmt "$3" -
}

# Scene 2 from its first frame through its ten words and their beats, every 60 Hz step drawn.
words="$WORK/words.mp4"
"$capture" --scene 2 --until 2.7 --video "$words" --preset ultrafast --quiet --stills 1.5 --out "$WORK/stills" \
    --timeline >"$WORK/timeline" 2>"$WORK/stderr"
status=$?
cat "$WORK/stderr"
check "the export exits with 0 (was $status)" test "$status" -eq 0
count=$(sed -n 's/ end$//p' "$WORK/timeline")
for row in "stream=width,height|v|1920,1080" "stream=r_frame_rate|v|60/1" "stream=sample_rate,channels|a|44100,2" \
    "stream=nb_read_frames|v|$count|-count_frames"; do
    IFS='|' read -r entries stream expected option <<<"$row"
    check "the video's $entries is $expected" test "$(probe "$words" "$stream" "$entries" "$option")" = "$expected"
done
check "the file lasts frames / fps" python3 -c "import sys; sys.exit(abs($(probe "$words" v format=duration) - $count / 60) > 1 / 60)"
check "nothing is left beside the video" test "$(ls "$WORK" | grep -c part)" -eq 0

# Frame n of the run is picture n - 1, the right way up; eight frames away differs (the check can tell).
still=$(ls "$WORK/stills")
n=$((10#$(echo "$still" | tr -dc 0-9)))
frames "$WORK/stills/$still" scale=480:270 rgb24 >"$WORK/pictures.rgb"
frames "$words" "select=eq(n\,$((n - 1)))+eq(n\,$((n - 9))),scale=480:270" rgb24 -fps_mode passthrough >>"$WORK/pictures.rgb"
check "picture n - 1 matches still n, the right way up, and one eight frames away does not" \
    python3 - "$WORK/pictures.rgb" <<'PY'
import sys
size = 480 * 270 * 3
still, *pictures = (lambda d: [d[k:k + size] for k in range(0, len(d), size)])(open(sys.argv[1], "rb").read())
away, same = [sum(1 for i in range(0, size, 3) if max(abs(still[i + c] - p[i + c]) for c in range(3)) > 40)
              / (size // 3) for p in pictures]  # picture n - 9 comes first in the video
print(f"share of the pixels that differ from the still: {same:.3f} in picture n - 1, {away:.3f} in n - 9")
sys.exit(not (same < 0.02 and away > 0.1))
PY

# Each beat flashes the background red and blue on the frame it fires; its hit starts within half a
# frame of that picture (a sound one frame late must fail, not pass by a rounding).
frames "$words" scale=64:36 rgb24 >"$WORK/small.rgb"
ffmpeg -v error -i "$words" -map 0:a -ac 1 -f s16le - >"$WORK/sound.s16"
check "ten beats flash in the picture, each hit within half a frame of its picture" \
    python3 - "$WORK/small.rgb" "$WORK/sound.s16" <<'PY'
import array, sys
pictures, sound, fps, size = open(sys.argv[1], "rb").read(), array.array("h"), 60, 64 * 36 * 3
sound.frombytes(open(sys.argv[2], "rb").read())
# Red plus blue over green: the flash adds to red and blue only.
tint = [sum(p[i] + p[i + 2] - 2 * p[i + 1] for i in range(0, size, 3)) / (size // 3)
        for p in (pictures[k:k + size] for k in range(0, len(pictures), size))]
flashes = [k for k in range(len(tint)) if tint[k] - (tint[k - 1] if k else 0) > 25]
# A hit: the first loud 2 ms window near the beat with 2.5 times the peak of the 20 ms before it.
window = 88
level = [max(abs(s) for s in sound[i:i + window]) for i in range(0, len(sound) - window, window)]
def onset(t):
    first, last = int((t - 2 / fps) * 44100 / window), int((t + 2 / fps) * 44100 / window)
    for i in range(max(first, 0), min(last, len(level))):
        if level[i] > 8000 and level[i] > 2.5 * max(level[max(i - 10, 0):i], default=0):
            return i * window / 44100
    return float("inf")
offsets = [1000 * (onset(k / fps) - k / fps) for k in flashes]
print("flash frames", flashes, "sound offsets in ms", " ".join(f"{o:+.1f}" for o in offsets))
sys.exit(0 if len(flashes) == 10 and all(abs(o) <= 500 / fps for o in offsets) else 1)
PY

# At 30 frames a second, a minute into the demo after every hand-over before it: each flash of
# scene 7 (the picture turning dark or bright at once) within one frame of an attack in the sound.
"$capture" --fps 30 --at 79 --until 90 --video "$WORK/flowers.mp4" --preset ultrafast --quiet 2>"$WORK/stderr"
check "the 30 fps export from the middle of the demo exits with 0" test $? -eq 0
frames "$WORK/flowers.mp4" scale=64:36 rgb24 >"$WORK/flowers.rgb"
ffmpeg -v error -i "$WORK/flowers.mp4" -map 0:a -ac 1 "$WORK/flowers.wav"
check "every flash of the 30 fps export within one frame of its hit" \
    python3 tests/e2e/onsets.py flashes "$WORK/flowers.rgb" "$WORK/flowers.wav" 30

# The first logo's first floor hit, about 5 s into scene 1, every step drawn from 4 s on: the picture
# where the logo is lowest (put back on the floor) shows as its "bounce" starts, in a silent track.
"$capture" --scene 1 --at 4 --until 5.5 --video "$WORK/logos.mp4" --preset ultrafast 2>"$WORK/stderr"
status=$?
check "the logos export exits with 0 (was $status)" test "$status" -eq 0
# Its closing report: the time each frame spent in readback, waiting and the pipe, none negative
# and none longer than a frame can take.
report=$(grep -o 'readback .*ffmpeg [0-9.]* ms' "$WORK/stderr")
check "the report gives three times per frame between 0 and 1000 ms ($report)" python3 -c "
import re, sys; times = [float(t) for t in re.findall(r'(-?[0-9.]+) ms', sys.argv[1])]
sys.exit(not (len(times) == 3 and all(0 <= t < 1000 for t in times)))" "$report"
frames "$WORK/logos.mp4" crop=1920:240:0:840,scale=240:240 gray >"$WORK/floor.gray"
ffmpeg -v error -i "$WORK/logos.mp4" -map 0:a -ac 1 -f s16le - >"$WORK/logos.s16"
check "the bounce sounds within half a frame of the floor hit's picture" python3 - "$WORK/floor.gray" "$WORK/logos.s16" <<'PY'
import array, sys
pictures, sound, size = open(sys.argv[1], "rb").read(), array.array("h"), 240 * 240
sound.frombytes(open(sys.argv[2], "rb").read())
def lowest(p):  # lowest row of the strip with a dark pixel (the logo on the white stage), -1 for none
    return max((r for r in range(240) if min(p[r * 240:(r + 1) * 240]) < 128), default=-1)
# Pictures still fading in from black have no white stage to find the logo on.
rows = [lowest(p) if sum(p) > 200 * size else -1 for p in (pictures[k:k + size] for k in range(0, len(pictures), size))]
hit = rows.index(max(rows))
first = next((i for i, s in enumerate(sound) if abs(s) > 1000), None)
offset = float("inf") if first is None else first / 44100 - hit / 60
print("lowest rows", rows, "\nhit picture", hit, "shows at %.4f s, sound %+.4f s from it" % (hit / 60, offset))
sys.exit(abs(offset) > 0.5 / 60)
PY
# Unwritable paths and an encoder that dies after start-up: a message, a failure, no file left.
mkdir "$WORK/folder" "$WORK/bin" "$WORK/video"
printf '#!/bin/sh\ncase "$*" in *-version*) exit 0;; esac\nexit 1\n' >"$WORK/bin/ffmpeg" && chmod +x "$WORK/bin/ffmpeg"
for row in "video in a missing folder|--video $WORK/missing/out.mp4|$WORK/missing/out.mp4" \
    "video onto a folder|--video $WORK/folder|$WORK/folder" "an encoder that fails|--video $WORK/video/x.mp4|ffmpeg" \
    "frame times in a missing folder|--bench $WORK/missing/times.csv|$WORK/missing/times.csv"; do
    IFS='|' read -r what options named <<<"$row"
    PATH="$WORK/bin:$PATH" "$capture" --until 0.5 --fps 10 --quiet $options >/dev/null 2>"$WORK/error"
    status=$?
    check "$what: status $status and the message names $named: $(cat "$WORK/error")" \
        test $status -ne 0 -a -n "$(grep -F "$named" "$WORK/error")"
done
check "nothing is left behind: no missing folder made, the folders empty" \
    test ! -e "$WORK/missing" -a -z "$(find "$WORK/folder" "$WORK/video" -mindepth 1)"
finish
