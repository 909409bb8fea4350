#!/usr/bin/env bash
# The maker's player under X, on a copy of the assets, in the presentation card's scene: started
# paused with --at it shows the capture tool's still of that step, and a pause holds it; a second
# on and back again (a fresh start at the step) show the stills of those steps; it plays and
# pauses; going back to the scene's start after playing shows that step's still; a shader saved
# with a compile error leaves it running, its log on standard error and the last good program
# drawing the next frame, also after going back; a shader that paints one colour and a
# picture replaced while it plays reach the screen; O lays the overlay over its corner and its
# bottom line only, and takes it off again; Escape ends it with status 0.
source "$(dirname "$0")/lib.bash" "$@"

player="$BINARY_DIR/flumbadoo-player"
shot() { ffmpeg -v error -f x11grab -draw_mouse 0 -video_size 1920x1080 -i "$DISPLAY+0,0" -frames:v 1 -y "$1"; }
pixels() { ffmpeg -v error -i "$1" -f rawvideo -pix_fmt rgb24 - | md5sum; }
same_pixels() { [ "$(pixels "$1")" = "$(pixels "$2")" ]; } # A B
sample() { ffmpeg -v error -i "$1" -vf scale=192:108:flags=neighbor -f rawvideo -pix_fmt rgb24 -; } # PICTURE
# Percent of the pixels that are exactly RRGGBB, on a 192 x 108 nearest-neighbour sample.
share_of() { # RRGGBB FILE
    sample "$2" | python3 -c \
        "import sys; d = sys.stdin.buffer.read(); t = bytes.fromhex('$1'); print(100 * sum(d[i:i + 3] == t for i in range(0, len(d), 3)) // (len(d) // 3))"
}
same_shot() { shot "$WORK/now.png" && same_pixels "$WORK/now.png" "$1"; } # PICTURE
# The screen now against PICTURE, on a 192 x 108 sample: the overlay's box (1100 x 280 at the top
# left) and its keys' line (the bottom 40 rows) are darker, and the rest is unchanged.
overlay_over() { # PICTURE
    shot "$WORK/overlay.png" && python3 - <(sample "$1") <(sample "$WORK/overlay.png") <<'PY'
import sys
before, after = (open(f, "rb").read() for f in sys.argv[1:])
def level(picture, rows, columns):
    values = [picture[(192 * y + x) * 3 + c] for y in rows for x in columns for c in range(3)]
    return sum(values) / len(values)
box, keys, rest = (range(0, 27), range(0, 109)), (range(105, 108), range(0, 192)), (range(30, 102), range(0, 192))
darker = all(level(after, *area) < 0.75 * level(before, *area) for area in (box, keys))
sys.exit(not (darker and level(before, *box) > 20 and all(
    before[(192 * y + x) * 3:(192 * y + x) * 3 + 3] == after[(192 * y + x) * 3:(192 * y + x) * 3 + 3]
    for y in rest[0] for x in rest[1])))
PY
}
shows_colour() { [ "$(shot "$WORK/colour.png" && share_of "$1" "$WORK/colour.png")" -ge "$2" ]; } # RRGGBB PERCENT
said() { [ "$(grep -cF -- "$2" "$WORK/out")" -ge "$1" ]; } # COUNT TEXT: standard output has it COUNT times
pauses() { grep -c "^paused at " "$WORK/out"; }
replace() { printf '%s\n' "$2" >"$WORK/new" && mv -f "$WORK/new" "$1"; } # FILE TEXT, never through the link

check "--help lists the options and keys" bash -c "'$player' --help | grep -q '^  Space  *pause / play'"
for args in "--speed 3" "--at soon" "--scene 14" "--at 1 --scene 2" "--position 1" "--bogus"; do
    "$player" $args >/dev/null 2>"$WORK/error"
    status=$?
    check "$args is refused with status 2 (was $status) and a message" \
        bash -c "[ $status -eq 2 ] && grep -q '^flumbadoo-player: ' '$WORK/error'"
done

prepare
cd "$WORK/run"
# The capture's stills of steps 1774 (one second before 1834), 1833 and 1834 (output frames 1833 and 1834 at 60 fps; scene 3 starts
# on step 1833), 1861 and 1921 (frames 32 and 33 at one frame a second, which show steps 60k - 59).
"$capture" --at 30.541 --until 30.558 --stills 30.541,30.558 --out "$WORK/ref" --quiet 2>/dev/null
"$capture" --fps 1 --at 31 --until 32 --stills 31,32 --out "$WORK/ref1" --quiet 2>/dev/null
mv "$WORK/ref1/frame-000032.png" "$WORK/ref/frame-001861.png"
mv "$WORK/ref1/frame-000033.png" "$WORK/ref/frame-001921.png"
"$capture" --at 29.55 --until 29.57 --stills 29.56 --out "$WORK/ref" --quiet 2>/dev/null
ref() { echo "$WORK/ref/frame-00$1.png"; } # STEP

"$player" --at 31.01 --paused --no-overlay --position 0,0 >"$WORK/out" 2>"$WORK/err" &
demo_pid=$!
check "started paused at 31.01 s" wait_until 60 said 1 "paused at 31.017 s (step 1861)"
shot "$WORK/a.png"
check "the first picture is the capture's still of step 1861" same_pixels "$WORK/a.png" "$(ref 1861)"
sleep 1
shot "$WORK/b.png"
check "paused, a second later the same picture" same_pixels "$WORK/a.png" "$WORK/b.png"

xdotool key Right
check "Right: a second on" wait_until 30 said 1 "paused at 32.017 s (step 1921)"
shot "$WORK/c.png"
check "a second on shows the still of step 1921" same_pixels "$WORK/c.png" "$(ref 1921)"
xdotool key Left
check "Left: a second back, in the same window" wait_until 60 said 2 "paused at 31.017 s (step 1861)"
shot "$WORK/d.png"
check "back at step 1861, its still" same_pixels "$WORK/d.png" "$(ref 1861)"

xdotool key space
check "Space plays" wait_until 30 said 1 "playing from 31.017 s (step 1861)"
sleep 1
count=$(pauses)
xdotool key space
check "Space pauses again" wait_until 30 said $((count + 1)) "paused at "
shot "$WORK/e.png"
sleep 1
shot "$WORK/f.png"
check "it played on, then held still" bash -c "! cmp -s '$WORK/e.png' '$WORK/d.png' && cmp -s '$WORK/e.png' '$WORK/f.png'"
xdotool key p
check "P: back to the scene's start" wait_until 60 said 1 "paused at 30.550 s (step 1833)"
shot "$WORK/g.png"
check "after playing and going back, the scene's first step shows its still" same_pixels "$WORK/g.png" "$(ref 1833)"

replace assets/shaders/laser.frag 'void main() { gl_FragColor = vec4(1.0) oops; }'
check "a shader with a compile error is reported" wait_until 10 grep -q "laser.frag: compile error" "$WORK/err"
check "with the compiler's log on standard error" grep -q "Failed to compile fragment shader" "$WORK/err"
check "the player lives on" alive
xdotool key period
check "Period: one frame on" wait_until 30 said 1 "paused at 30.567 s (step 1834)"
shot "$WORK/h.png"
check "the last good shader draws it, the capture's still" same_pixels "$WORK/h.png" "$(ref 1834)"
xdotool key Left
check "Left while a shader does not compile: a second back, in the same window" \
    wait_until 60 said 1 "paused at 29.567 s (step 1774)"
check "the player lives on after going back" alive
shot "$WORK/back.png"
check "there the last good shader draws the capture's still" same_pixels "$WORK/back.png" "$(ref 1774)"
xdotool key Right
check "Right: a second on again" wait_until 30 said 2 "paused at 30.567 s (step 1834)"

xdotool key 4 space
check "4: a quarter of the speed" wait_until 10 said 1 "speed 0.25"
check "Space plays on" wait_until 30 said 1 "playing from 30.567 s (step 1834)"
replace assets/shaders/laser.frag $'#version 120\nvoid main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }'
check "a shader painting green is on screen" wait_until 10 shows_colour 00ff00 20
grep "laser.frag: on screen" "$WORK/out"
ffmpeg -v error -f lavfi -i color=c=0x10e0c0:s=1920x1080 -frames:v 1 -pix_fmt rgb24 -y "$WORK/flat.png"
mv -f "$WORK/flat.png" assets/images/presentado.png
check "a picture replaced while playing is reloaded" wait_until 10 said 1 "presentado.png: on screen"
grep "on screen" "$WORK/out"
count=$(pauses)
xdotool key space
check "Space pauses" wait_until 30 said $((count + 1)) "paused at "
step=$(grep "paused at " "$WORK/out" | tail -n 1 | sed 's/.*(step \([0-9]*\))/\1/')
shot "$WORK/i.png"
xdotool key o
check "O: the overlay darkens its box at the top left and the keys' line at the bottom, nothing else" \
    wait_until 10 overlay_over "$WORK/i.png"
xdotool key o
check "O again: the overlay is gone" wait_until 10 same_shot "$WORK/i.png"
[ -n "${PLAYER_SHOTS:-}" ] && mkdir -p "$PLAYER_SHOTS" && cp "$WORK"/*.png "$PLAYER_SHOTS/"

xdotool key Escape
check "Escape ends it" wait_until 20 not alive
wait "$demo_pid"
check "with status 0" test $? -eq 0
# The capture, started afresh on the changed files, draws the paused step as the player shows it.
at=$(python3 -c "print(($step - 0.5) / 60)")
"$capture" --at "$at" --until "$at" --stills "$at" --out "$WORK/ref2" --quiet 2>/dev/null
check "the new picture and the green shader at step $step, as a fresh start draws them" \
    same_pixels "$WORK/i.png" "$WORK/ref2/frame-00$step.png"
echo "--- standard output:"
cat "$WORK/out"
finish
