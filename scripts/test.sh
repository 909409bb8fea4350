#!/usr/bin/env bash
# Sets up, builds and runs every test: the unit, display and end-to-end tests through ctest,
# then the reliability steps (scripts/reliability.sh: the sanitizer build over the unit tests
# and the whole demo, and a short fuzzer run). Starts a virtual X display when there is none,
# and keeps audio on OpenAL's silent null device.
# With arguments, only ctest runs, with those arguments (scripts/test.sh -R Soundtrack).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export ALSOFT_DRIVERS=null
run_tests=(ctest --test-dir build --output-on-failure -j "$(nproc)" "$@")
# -noreset: an X server that resets when its last client leaves refuses connections for a
# moment, and ctest starts and ends hundreds of short OpenGL programs one after another.
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "${run_tests[@]}"
else
    "${run_tests[@]}"
fi
if [ $# -eq 0 ]; then
    scripts/reliability.sh
fi
