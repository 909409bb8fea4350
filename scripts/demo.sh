#!/usr/bin/env bash
# Sets up, builds and plays the demo from the repository root, where config.json and assets/ are.
# With --video FILE.mp4 it renders the whole demo to that file instead, on a virtual display, so
# that a machine without a screen can watch it too.
set -euo pipefail
video=""
if [ $# -gt 0 ]; then
    if [ $# -ne 2 ] || [ "$1" != --video ]; then
        echo "Usage: scripts/demo.sh [--video FILE.mp4]" >&2
        exit 2
    fi
    video=$(readlink -m "$2") # the caller's folder, before the cd below
fi
cd "$(dirname "$0")/.."
# Said before anything is installed or built: without a display there is nothing to show.
if [ -z "$video" ] && [ -z "${DISPLAY:-}" ]; then
    echo 'No X display: DISPLAY is not set. Run the demo in a graphical session, or render it to a video without a screen: scripts/demo.sh --video demo.mp4' >&2
    exit 0
fi
scripts/install-deps.sh
scripts/build.sh
if [ -n "$video" ]; then
    # A virtual 1920 x 1080 screen even where there is a display, so the picture is never scaled.
    xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" env ALSOFT_DRIVERS=null build/flumbadoo-capture \
        --video "$video" &
    runner=$!
    # Stopping the script stops the export, which removes what it had begun and says so; the
    # virtual display is left running until it has.
    trap 'pkill -TERM -P "$runner" -f flumbadoo-capture || true' INT TERM
    status=0
    wait "$runner" || status=$?
    while kill -0 "$runner" 2>/dev/null; do
        status=0
        wait "$runner" || status=$?
    done
    exit "$status"
fi
exec build/flumbadoo
