#!/usr/bin/env bash
# Sets up, builds and plays the demo from the repository root, where config.json and assets/ are.
set -euo pipefail
cd "$(dirname "$0")/.."
# Said before anything is installed or built: without a display there is nothing to show.
if [ -z "${DISPLAY:-}" ]; then
    echo 'No X display: DISPLAY is not set or its server cannot be reached. Run the demo in a graphical session, or under xvfb-run -a -s "-screen 0 1920x1080x24 -noreset". To watch it without a screen, render it to a video: xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" build/flumbadoo-capture --video demo.mp4 (README.md, "Render to video").' >&2
    exit 0
fi
scripts/install-deps.sh
scripts/build.sh
exec build/flumbadoo
