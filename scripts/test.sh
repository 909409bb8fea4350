#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. Starts a virtual X display when there is
# none, and keeps audio on OpenAL's silent null device.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export ALSOFT_DRIVERS=null
run_tests=(ctest --test-dir build --output-on-failure -j "$(nproc)" "$@")
# -noreset: an X server that resets when its last client leaves refuses connections for a
# moment, and ctest starts and ends hundreds of short OpenGL programs one after another.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "${run_tests[@]}"
fi
exec "${run_tests[@]}"
