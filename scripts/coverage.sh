#!/usr/bin/env bash
# Line and branch coverage of src/ by the tests. Builds build-cov/ unoptimised with
# FLUMBADOO_COVERAGE, runs ctest there with the arguments given (scripts/coverage.sh -L unit),
# then reports with gcovr: the totals on standard output, the annotated sources in
# build-cov/coverage/index.html. Not part of CI. JOBS sets build and test parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v gcovr >/dev/null || scripts/install-deps.sh
jobs="${JOBS:-$(nproc)}"

cmake -S . -B build-cov -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFLUMBADOO_COVERAGE=ON >/dev/null
cmake --build build-cov -j "$jobs"

# Counters add up across runs: start from zero so the report is this run's alone.
find build-cov -name '*.gcda' -delete
rm -rf build-cov/coverage
mkdir -p build-cov/coverage

export ALSOFT_DRIVERS=null
run_tests=(ctest --test-dir build-cov --output-on-failure -j "$jobs" "$@")
status=0
# -noreset: see scripts/test.sh.
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "${run_tests[@]}" || status=$?
else
    "${run_tests[@]}" || status=$?
fi
[ "$status" -eq 0 ] || echo "coverage: some tests failed (status $status); the figures cover the run as it went" >&2

# The exception paths the compiler adds to nearly every call, and branches on lines with no
# code of their own, would swamp the branches the sources actually write.
gcovr --root . --filter 'src/' -j "$jobs" \
    --exclude-throw-branches --exclude-unreachable-branches \
    --txt build-cov/coverage/files.txt \
    --html-details build-cov/coverage/index.html --html-title "Flumbadoo coverage of src/" \
    --print-summary build-cov
echo "per file: build-cov/coverage/files.txt; annotated: build-cov/coverage/index.html"
exit "$status"
