#!/usr/bin/env bash
# The real demo on screens of other sizes: on the first title card, a screenshot shows the whole
# 1920 x 1080 picture scaled to fit, centred between black bars, like the capture tool's still
# scaled down; a window resized while playing is followed. On a 1920 x 1080 screen the frame is
# the capture tool's, pixel for pixel. Without an audio device the demo says so in one line,
# plays on and ends with status 0.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
# The first card holds still from 2.5 s to 5 s of the demo.
"$capture" --fps 10 --until 3 --stills 3 --out "$WORK/still" --quiet 2>/dev/null
reference=$(ls "$WORK"/still/*.png)

# Runs under its own virtual screen: plays the demo from the folder given and saves the screen
# once it shows the card held still: a grab within a few levels of EXPECTED (the still fitted to
# the screen) and equal to the grab before it, so that neither a stall mid-fade nor a slow
# start-up passes for it. Given a size, it first resizes the playing window to it and saves that
# window instead. Ends the demo with Escape.
cat >"$WORK/shoot.sh" <<'SHOOT'
cd "$1" || exit 1
# Niced, so the grabs keep up; the demo keeps its clock and draws what is due when it can.
nice -n 10 "$2" >"$3.stdout" 2>"$3.stderr" &
pid=$!
grab() { ffmpeg -v error -f x11grab -video_size "$1" -i "$DISPLAY+0,0" -frames:v 1 -f rawvideo -pix_fmt rgb24 -y "$2"; }
near() { # A B: the mean difference per channel, on every 7th byte, is below 4 levels
    python3 -c 'import sys; a, b = (open(f, "rb").read()[::7] for f in sys.argv[1:]); sys.exit(not (len(a) == len(b) and sum(abs(x - y) for x, y in zip(a, b)) < 4 * len(a)))' "$1" "$2"
}
settled() { # SIZE FILE EXPECTED: grabs until the card holds still, for about a minute at most
    for _ in $(seq 200); do
        sleep 0.2
        grab "$1" "$2.next" || return 1
        if near "$2.next" "$3" && cmp -s "$2.next" "$2"; then return 0; fi
        mv "$2.next" "$2"
    done
    return 1
}
size=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
if [ -n "${5:-}" ]; then
    size=$5
    for _ in $(seq 100); do xdotool search --name "Flumbadoo" >/dev/null && break || sleep 0.1; done
    sleep 1 # into the opening, before the card holds still
    xdotool search --name "Flumbadoo" windowsize "${size%x*}" "${size#*x}"
fi
settled "$size" "$3.rgb" "$4" || echo "the card never showed held still"
xdotool keydown Escape
wait "$pid"
echo $? >"$3.status"
xdotool keyup Escape
SHOOT

# The reference scaled into the fitted rectangle of a screen, between black bars.
expected_on() { # FILE WIDTH HEIGHT LEFT TOP FITTED_WIDTH FITTED_HEIGHT
    ffmpeg -v error -i "$reference" -vf "scale=$6:$7:flags=bilinear,pad=$2:$3:$4:$5:black" \
        -f rawvideo -pix_fmt rgb24 -y "$1"
}
# The mean difference per channel between a grab and what the screen should show inside the
# fitted rectangle, and the brightest spot of the bars (which must be black).
fit_difference() { # GRAB EXPECTED WIDTH HEIGHT LEFT TOP FITTED_WIDTH FITTED_HEIGHT
    python3 - "$@" <<'PY'
import sys
grab, expected = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
w, h, left, top, fw, fh = map(int, sys.argv[3:])
inside = bars = 0
brightest = 0
for y in range(h):
    row = slice(3 * w * y, 3 * w * (y + 1))
    g, e = grab[row], expected[row]
    if top <= y < top + fh:
        span = slice(3 * left, 3 * (left + fw))
        inside += sum(abs(a - b) for a, b in zip(g[span], e[span]))
        outside = g[: 3 * left] + g[3 * (left + fw):]
    else:
        outside = g
    brightest = max(brightest, max(outside, default=0))
print(f"{inside / (3 * fw * fh):.2f} {brightest}")
PY
}
# A mean difference of a few levels is the two scalers' filtering of the letters' edges; a
# cropped or shifted picture is off by tens.
fits() { # NAME WIDTH HEIGHT LEFT TOP FITTED_WIDTH FITTED_HEIGHT
    local name=$1
    shift
    read -r mean brightest < <(fit_difference "$WORK/$name.rgb" "$WORK/$name.expected" "$@")
    echo "--- $name: mean difference $mean, brightest bar pixel $brightest"
    check "$name: the whole picture, scaled into ${5}x$6 at $3,$4" python3 -c "import sys; sys.exit(not $mean < 4)"
    check "$name: black bars" test "$brightest" -le 8
}

# Plays the demo on a screen of SCREEN pixels until it shows the card as FIT places it
# ("WIDTH HEIGHT LEFT TOP FITTED_WIDTH FITTED_HEIGHT" of the saved picture).
run_on_screen() { # NAME SCREEN FULLSCREEN FIT [RESIZE]
    rm -rf "$WORK/run-$1"
    mkdir -p "$WORK/run-$1"
    ln -s "$SOURCE_DIR/assets" "$WORK/run-$1/assets"
    printf '{ "fullscreen": %s, "vsync": true, "sound": true }\n' "$3" >"$WORK/run-$1/config.json"
    expected_on "$WORK/$1.expected" $4
    xvfb-run -a -s "-screen 0 ${2}x24 -noreset" bash "$WORK/shoot.sh" "$WORK/run-$1" "$BINARY_DIR/flumbadoo" \
        "$WORK/$1" "$WORK/$1.expected" "${5:-}"
    check "$1: exit status 0" test "$(cat "$WORK/$1.status")" = 0
    # Xvfb's GLX offers no swap control, which SFML reports; that line is the platform's.
    grep -v '^Setting vertical sync not supported$' "$WORK/$1.stderr" >"$WORK/$1.lines"
}

run_on_screen full1366 1366x768 true "1366 768 0 0 1365 768"
check "full1366: no \"video mode is not available\" line" test ! -s "$WORK/full1366.lines"
fits full1366 1366 768 0 0 1365 768
run_on_screen window1366 1366x768 false "1366 768 0 0 1365 768"
fits window1366 1366 768 0 0 1365 768
run_on_screen full1280 1280x1024 true "1280 1024 0 152 1280 720"
fits full1280 1280 1024 0 152 1280 720
run_on_screen resized 1920x1080 false "1000 700 0 68 1000 563" 1000x700
fits resized 1000 700 0 68 1000 563

# An OpenAL that can only write to a file in a folder that does not exist has no device to open.
printf '[general]\ndrivers = wave\n[wave]\nfile = %s/missing/out.wav\n' "$WORK" >"$WORK/alsoft.conf"
export ALSOFT_CONF="$WORK/alsoft.conf"
unset ALSOFT_DRIVERS
run_on_screen noaudio 1920x1080 false "1920 1080 0 0 1920 1080"
ffmpeg -v error -i "$reference" -f rawvideo -pix_fmt rgb24 -y "$WORK/reference.rgb"
check "1920 x 1080: the capture tool's frame, pixel for pixel" cmp -s "$WORK/noaudio.rgb" "$WORK/reference.rgb"
check "no audio device: one line about it, nothing else" test "$(cat "$WORK/noaudio.lines")" = \
    "No audio device: playing without sound."
finish
