#!/usr/bin/env bash
# The drawing shortcuts (passes left out where they cannot change a pixel, layers composited
# only where something was drawn into them, particles as one vertex array) change no pixel:
# stills of moments where they apply, taken with and without them, are the same files, and
# the bench's passes show that they did apply there.
source "$(dirname "$0")/lib.bash" "$@"

cd "$SOURCE_DIR"
# The presentation card composited inside its corners (35), circles without their flash and
# the logo not yet shown (50), greetings coming (67) and
# holding (72), the flowers' letters and veil once the inset has gone (88; the inset itself is
# drawn straight onto the window, which may round a pixel differently), a field-flight picture
# holding (95.8).
moments=35,50,67,72,88,95.8
for mode in shortcuts full; do
    flag=$([ $mode = full ] && echo --no-shortcuts)
    "$capture" --at 35 --until 95.8 --fps 1 --stills $moments --out "$WORK/$mode" --bench "$WORK/$mode.csv" \
        --quiet $flag >/dev/null 2>&1
    check "the $mode run exits with 0" test $? -eq 0
done
for still in "$WORK"/full/*.png; do
    check "$(basename "$still") is the same with and without the shortcuts" cmp -s "$still" "$WORK/shortcuts/$(basename "$still")"
done
check "six stills were compared" test "$(ls "$WORK"/full/*.png | wc -l)" -eq 6
# Frames that drew each pass (of those timing their passes), per scene, in each run: the
# shortcuts must have left some out.
frames() { awk -F, -v scene="$2" -v pass="$3" '$1 == scene && $2 == pass { print $3 } END { print 0 }' "$WORK/$1.passes.csv" | head -n 1; }
for case in "65 fade overlay" "7 flash veil" "7 flowersOrig" "5 dots"; do
    read -r scene pass <<<"$case"
    check "scene $scene drew $pass on fewer frames with the shortcuts ($(frames shortcuts $scene "$pass") of $(frames full $scene "$pass"))" \
        test "$(frames shortcuts $scene "$pass")" -lt "$(frames full $scene "$pass")"
done
finish
