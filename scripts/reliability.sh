#!/usr/bin/env bash
# The reliability steps of CI, each timed: the whole program built with AddressSanitizer and
# UndefinedBehaviorSanitizer runs the unit tests and the whole demo (through the capture tool
# with every picture, sound, music and particle definition file taken away, and twice in one
# process with the shipped assets), then the data-file fuzzer and the media fuzzer run a fixed
# number of inputs each. Any sanitizer finding
# or fuzzer crash fails. Options: --skip-sanitize, --skip-fuzz; FUZZ_RUNS, MEDIA_FUZZ_RUNS and
# FUZZ_SEED set the two fuzzers' numbers of inputs and their random seed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

sanitize=yes
fuzz=yes
for option in "$@"; do
    case $option in
    --skip-sanitize) sanitize=no ;;
    --skip-fuzz) fuzz=no ;;
    *)
        echo "reliability.sh: unknown option $option" >&2
        exit 2
        ;;
    esac
done

# Slow steps: at 5 frames per second the whole demo (under 240 s) is at most 1200 frames.
demoFps=5
demoUntil=240
fuzzRuns=${FUZZ_RUNS:-20000}
# A fixed seed makes CI's short run the same search every time, so it cannot fail by chance;
# long runs by hand (README) take a seed of their own and look further.
fuzzSeed=${FUZZ_SEED:-1}
mediaRuns=${MEDIA_FUZZ_RUNS:-3000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs COMMAND and says how long it took. Inside it errexit is off (it runs as a condition),
# so the step functions chain their commands themselves.
step() { # NAME COMMAND...
    local name=$1 start=$SECONDS
    shift
    echo "=== $name"
    if "$@"; then
        echo "=== $name: passed in $((SECONDS - start)) s"
    else
        echo "=== $name: FAILED after $((SECONDS - start)) s"
        return 1
    fi
}

# The sanitizer build keeps the OpenGL driver mapped until the leak check at exit
# (tests/sanitizers/KeepGlDriver.cpp), so what the driver keeps for the whole process is still
# reachable and no leak. Whatever is suppressed beyond that is in the file, with its reason.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ALSOFT_DRIVERS=null

with_display() {
    if [ -z "${DISPLAY:-}" ]; then
        xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "$@"
    else
        "$@"
    fi
}

# Only what the sanitized steps run: the unit tests, the tools they call and the capture tool.
build_sanitized() {
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLUMBADOO_SANITIZE=ON >/dev/null &&
    cmake --build build-asan -j "$(nproc)" --target flumbadoo-tests flumbadoo-display-tests flumbadoo-capture \
        flumbadoo-compose flumbadoo-paint
}

# Without the composer's byte-for-byte regeneration: the plain build runs it, and sanitized it
# takes a minute and a half of the step's two, most of it in the same loops over samples.
unit_tests_sanitized() {
    with_display ctest --test-dir build-asan -L unit -E 'Composer.RegeneratesTheCommittedFilesByteForByte' \
        --output-on-failure -j "$(nproc)"
}

# Runs the sanitized demo from FOLDER through the capture tool and fails on any finding.
demo_sanitized() { # NAME FOLDER
    local log="$work/$1.err" status
    (cd "$2" && with_display "$root/build-asan/flumbadoo-capture" --fps "$demoFps" --until "$demoUntil" \
        --timeline >"$work/$1.out" 2>"$log")
    status=$?
    grep -v "does not exist\|skipped, its texture" "$log" | tail -n 40
    tail -n 1 "$work/$1.out"
    if [ "$status" -ne 0 ] || grep -q "Sanitizer\|runtime error:" "$log"; then
        echo "$1: status $status or a sanitizer finding"
        return 1
    fi
    grep -qxE "[1-9][0-9]* end" "$work/$1.out"
}
# The whole demo twice in one process through its reset, drawing every 30th step.
demo_twice_sanitized() {
    with_display env FLUMBADOO_DEMO_RUNS=2 FLUMBADOO_DRAW_EVERY=30 build-asan/tests/flumbadoo-display-tests \
        --gtest_filter='TwentyDemosTest.*' 2>&1 | grep -v "does not exist" | tail -n 20
    [ "${PIPESTATUS[0]}" -eq 0 ]
}

# A copy of the demo with every picture, sound, music and particle definition file removed:
# the manifests, shaders and font stay, so every entry names a file that is not there.
all_files_removed() {
    mkdir -p "$work/removed"
    cp -r assets "$work/removed/"
    cp config.json "$work/removed/" 2>/dev/null || true
    rm -f "$work"/removed/assets/{images,sounds,music,particles}/*
    echo "$work/removed"
}

build_fuzzer() {
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DFLUMBADOO_FUZZ=ON -DFLUMBADOO_BUILD_TESTS=OFF >/dev/null &&
    cmake --build build-fuzz --target flumbadoo-fuzz flumbadoo-media-fuzz -j "$(nproc)"
}

# The seed corpus: every JSON file the demo ships or the tests use, and the inputs that once
# crashed a reader. The fuzzer adds what it finds to the copy, never to the sources.
seed_corpus() { # FOLDER
    mkdir -p "$1"
    local file
    while IFS= read -r file; do
        cp "$file" "$1/$(echo "$file" | tr / _)"
    done < <(find config.json assets tests/data fuzz/corpus -name '*.json' -type f 2>/dev/null)
}

run_fuzzer() {
    seed_corpus "$work/corpus"
    mkdir -p "$work/artifacts"
    # -close_fd_mask: the readers' diagnostic lines would flood the log; the fuzzer's own
    # report still comes through. Leaks are checked after every input, and the driver's
    # context, made once before the first, is no leak of any: no check at exit. The paths
    # are absolute because the fuzzer works in a folder of its own.
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=leak_check_at_exit=0 with_display \
        "$root/build-fuzz/flumbadoo-fuzz" -runs="$fuzzRuns" -seed="$fuzzSeed" -max_len=2048 -timeout=10 -rss_limit_mb=2048 \
        -close_fd_mask=3 -dict="$root/fuzz/json.dict" -artifact_prefix="$work/artifacts/" "$work/corpus" 2>&1 |
        grep -v "^#[0-9]*.*\(NEW\|REDUCE\|pulse\)" | tail -n 30
    local status=${PIPESTATUS[0]}
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ]; then
        echo "fuzzer: status $status; inputs that failed: $(ls "$work/artifacts")"
        return 1
    fi
}

# The media seeds: the test pictures and sounds (among them the ones that once broke a loader),
# the shipped sounds and font, and the first few kilobytes of the shipped pictures and music.
media_corpus() { # FOLDER
    mkdir -p "$1"
    local file
    for file in tests/data/images/* tests/data/sounds/* assets/sounds/* assets/sticky_sugary.ttf; do
        cp "$file" "$1/$(echo "$file" | tr / _)"
    done
    for file in assets/images/and.png assets/images/black.png assets/images/bubble1.png \
        assets/music/totally_not_trobisk.ogg assets/sticky_sugary.ttf assets/sounds/static.ogg; do
        head -c 6000 "$file" >"$1/cut_$(echo "$file" | tr / _)"
    done
}

run_media_fuzzer() {
    media_corpus "$work/media"
    mkdir -p "$work/media-artifacts"
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=leak_check_at_exit=0 with_display \
        "$root/build-fuzz/flumbadoo-media-fuzz" -runs="$mediaRuns" -seed="$fuzzSeed" -max_len=65536 -timeout=20 \
        -rss_limit_mb=2048 -close_fd_mask=3 -artifact_prefix="$work/media-artifacts/" "$work/media" 2>&1 |
        grep -v "^#[0-9]*.*\(NEW\|REDUCE\|pulse\)" | tail -n 30
    local status=${PIPESTATUS[0]}
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/media-artifacts")" ]; then
        echo "media fuzzer: status $status; inputs that failed: $(ls "$work/media-artifacts")"
        return 1
    fi
}

if [ "$sanitize" = yes ]; then
    step "sanitizer build" build_sanitized
    step "unit tests, sanitized" unit_tests_sanitized
    step "whole demo, all files removed, sanitized" demo_sanitized removed "$(all_files_removed)"
    step "whole demo twice in one process, drawing, sanitized" demo_twice_sanitized
fi
if [ "$fuzz" = yes ]; then
    step "fuzzer build" build_fuzzer
    step "fuzzer, $fuzzRuns inputs" run_fuzzer
    step "media fuzzer, $mediaRuns inputs" run_media_fuzzer
fi
