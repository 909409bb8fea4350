#!/usr/bin/env bash
# Turns what `flumbadoo-capture --bench FILE.csv` writes into a PNG plot. Needs gnuplot
# (scripts/install-deps.sh).
# - FILE.csv (frame,scene,ms): milliseconds per frame across the demo, each scene's first
#   frame marked with its id, and the 16.7 ms a frame may take at 60 fps drawn across.
# - FILE.passes.csv (scene,pass,...): one bar per scene, stacked from each of its passes'
#   milliseconds per frame (a pass drawn on half the frames counts half), "other" on top,
#   so a bar adds up to the scene's mean frame among those that timed their passes.
# Usage: tools/plot-bench.sh TIMES.csv|TIMES.passes.csv PLOT.png [TITLE]
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: $0 TIMES.csv|TIMES.passes.csv PLOT.png [TITLE]" >&2
    exit 2
fi
csv=$1
png=$2
title=${3:-Frame times}
header=$(head -n 1 "$csv")
if [ "$header" != "frame,scene,ms" ] && [ "$header" != "scene,pass,frames,scene_frames,median_ms,per_frame_ms" ]; then
    echo "$0: $csv is neither a frame-times file (first line frame,scene,ms) nor a pass-times file" \
        "(first line scene,pass,frames,scene_frames,median_ms,per_frame_ms)" >&2
    exit 1
fi

# Written next to the target and moved into place, so a failed plot leaves no broken PNG.
part="$png.part"
matrix=$(mktemp)
trap 'rm -f "$part" "$matrix"' EXIT

if [ "$header" = "frame,scene,ms" ]; then
    # One dashed line and a label at the first frame of every scene.
    marks=$(awk -F, 'NR == 2 || (NR > 2 && $2 != last) { printf "set arrow from %d, graph 0 to %d, graph 1 nohead dt 2 lc rgb \"#888888\"\n", $1, $1; printf "set label \"%s\" at %d, graph 0.97 offset 0.3, 0 tc rgb \"#444444\"\n", $2, $1; last = $2 }' "$csv")
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
else
    # A table of scenes (rows, in the order they ran) by passes (columns, in the order they
    # first came, "other" last), tab-separated since pass names hold spaces; 0 where a scene
    # has no such pass.
    awk -F, 'NR > 1 {
        if (!($1 in seenScene)) { seenScene[$1]; scenes[++sceneCount] = $1 }
        if ($2 != "other" && !($2 in seenPass)) { seenPass[$2]; passes[++passCount] = $2 }
        median[$1 SUBSEP $2] = $6
    }
    END {
        passes[++passCount] = "other"
        printf "scene"; for (p = 1; p <= passCount; ++p) printf "\t%s", passes[p]; printf "\n"
        for (s = 1; s <= sceneCount; ++s) {
            printf "%s", scenes[s]
            for (p = 1; p <= passCount; ++p) {
                key = scenes[s] SUBSEP passes[p]
                printf "\t%s", (key in median) ? median[key] : 0
            }
            printf "\n"
        }
    }' "$csv" > "$matrix"
    columns=$(head -n 1 "$matrix" | awk -F'\t' '{ print NF }')
    gnuplot <<GNUPLOT
set terminal pngcairo size 1600,800 font ",11"
set output "$part"
set datafile separator "\t"
set title "$title"
set xlabel "scene"
set ylabel "ms per frame, by pass"
set key outside right top vertical font ",9"
set yrange [0:*]
set style data histograms
set style histogram rowstacked
set style fill solid 0.9 border rgb "#333333"
set boxwidth 0.75
plot for [i=2:$columns] "$matrix" using i:xtic(1) title columnheader(i)
GNUPLOT
fi
mv "$part" "$png"
trap - EXIT
rm -f "$matrix"
