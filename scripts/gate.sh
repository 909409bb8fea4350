#!/usr/bin/env bash
# Records what a change that must keep the demo as it is has to keep: the frame hashes of the
# whole demo at 10 frames a second with its scene timeline, the first 40 seconds at 60, and a
# hash of the sound an export mixes. Run it on two commits and compare the folders:
#   scripts/gate.sh /tmp/gate-before        (on the old commit)
#   scripts/gate.sh /tmp/gate-after         (on the new one)
#   diff -r /tmp/gate-before /tmp/gate-after && echo identical
# Usage: scripts/gate.sh OUTDIR [BUILD_DIR]   (BUILD_DIR defaults to build/, built already)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: scripts/gate.sh OUTDIR [BUILD_DIR]}
build=${2:-build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
capture="$PWD/$build/flumbadoo-capture"
run() {
    if [ -z "${DISPLAY:-}" ]; then
        xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" env ALSOFT_DRIVERS=null "$@"
    else
        ALSOFT_DRIVERS=null "$@"
    fi
}
run "$capture" --quiet --fps 10 --timeline --hashes "$out/fps10.hashes" >"$out/timeline.txt"
run "$capture" --quiet --fps 60 --until 40 --hashes "$out/fps60-40s.hashes" >/dev/null
# One output frame a second keeps the export short; the mix covers the whole demo all the same.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
run "$capture" --quiet --fps 1 --preset ultrafast --video "$tmp/sound.mp4" >/dev/null
ffmpeg -v error -i "$tmp/sound.mp4" -vn -f s16le - | sha256sum | cut -d' ' -f1 >"$out/sound.sha256"
wc -l "$out"/*.hashes "$out/timeline.txt"
