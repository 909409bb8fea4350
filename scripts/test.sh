#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. Starts a virtual X display when there is
# none, and keeps audio on OpenAL's silent null device.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export ALSOFT_DRIVERS=null
run_tests=(ctest --test-dir build --output-on-failure -j "$(nproc)" "$@")
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "${run_tests[@]}"
fi
exec "${run_tests[@]}"
