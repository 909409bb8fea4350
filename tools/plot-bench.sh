#!/usr/bin/env bash
# Turns the frame times that `flumbadoo-capture --bench FILE.csv` writes into a PNG plot:
# milliseconds per frame across the demo, each scene's first frame marked with its id, and
# the 16.7 ms a frame may take at 60 fps drawn across. Needs gnuplot (scripts/install-deps.sh).
# Usage: tools/plot-bench.sh TIMES.csv PLOT.png [TITLE]
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: $0 TIMES.csv PLOT.png [TITLE]" >&2
    exit 2
fi
csv=$1
png=$2
title=${3:-Frame times}
if ! head -n 1 "$csv" | grep -q '^frame,scene,ms$'; then
    echo "$0: $csv is not a frame-times file (its first line must be frame,scene,ms)" >&2
    exit 1
fi

# One dashed line and a label at the first frame of every scene.
marks=$(awk -F, 'NR == 2 || (NR > 2 && $2 != last) { printf "set arrow from %d, graph 0 to %d, graph 1 nohead dt 2 lc rgb \"#888888\"\n", $1, $1; printf "set label \"%s\" at %d, graph 0.97 offset 0.3, 0 tc rgb \"#444444\"\n", $2, $1; last = $2 }' "$csv")

# Written next to the target and moved into place, so a failed plot leaves no broken PNG.
part="$png.part"
trap 'rm -f "$part"' EXIT
gnuplot <<GNUPLOT
set terminal pngcairo size 1600,600 font ",11"
set output "$part"
set datafile separator ","
set title "$title"
set xlabel "frame"
set ylabel "ms per frame"
set key below
set yrange [0:*]
$marks
plot "$csv" every ::1 using 1:3 with lines lc rgb "#1f77b4" title "frame time", \
     16.667 with lines lw 2 lc rgb "#d62728" title "16.7 ms (60 fps)"
GNUPLOT
mv "$part" "$png"
trap - EXIT
