#!/usr/bin/env bash
# The pictures stay with the music through stalls of the main thread: the real-time loop plays the
# flowers beat with the music at its place (OpenAL's wave writer playing it in real time) and
# stalls for 0.2 s, 1.5 s and 5 s; every frame drawn after each stall shows the step of the
# music's time within a frame. On the wall clock alone the 5 s stall leaves them 4 s apart.
source "$(dirname "$0")/lib.bash" "$@"
cd "$SOURCE_DIR"
printf '[general]\ndrivers = wave\nperiod_size = 256\n[wave]\nfile = %s\n' "$WORK/sound.wav" >"$WORK/alsoft.conf"
probe() { ALSOFT_CONF="$WORK/alsoft.conf" ALSOFT_DRIVERS=wave "$BINARY_DIR/tests/flumbadoo-stall-probe" "$@" 2>/dev/null; }
# The largest distance between picture and music, in frames, over the frames drawn after step FROM
# (and before step TO).
worst_after() { # FILE FROM [TO]
    awk -v from="$2" -v to="${3:-1000000}" 'NR > 1 && $1 > from + 1 && $1 <= to {
        d = ($2 - $3) * 60; d = d < 0 ? -d : d; if (d > m) m = d } END { printf "%.2f", m }' "$1"
}
probe 120:0.2 300:1.5 480:5 >"$WORK/music"
probe --wall-clock 120:0.2 300:1.5 480:5 >"$WORK/wall"
for range in "120 300 0.2" "300 480 1.5" "480 1000000 5"; do
    set -- $range
    echo "after the $3 s stall: picture and music at most $(worst_after "$WORK/music" "$1" "$2") frames apart" \
        "kept to the music, $(worst_after "$WORK/wall" "$1" "$2") on the wall clock alone"
done
check "the probe ran through both scenes" test "$(tail -n 1 "$WORK/music" | cut -d" " -f1)" -gt 1400
check "after every stall the pictures stay within a frame of the music" \
    awk "BEGIN { exit !($(worst_after "$WORK/music" 120) <= 1.0) }"
check "on the wall clock alone the 5 s stall leaves them seconds apart (the probe sees the fault)" \
    awk "BEGIN { exit !($(worst_after "$WORK/wall" 480) >= 200) }"
finish
