# Shared helpers of the end-to-end scripts: source "$(dirname "$0")/lib.bash" "$@"

set -uo pipefail
# -noreset as in scripts/test.sh: the programs started here come and go one after another.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" bash "$0" "$@"
fi
export ALSOFT_DRIVERS=null

SOURCE_DIR=$(cd "${1:?source dir}" && pwd)
BINARY_DIR=$(cd "${2:?binary dir}" && pwd)
capture="$BINARY_DIR/flumbadoo-capture"
WORK=$(mktemp -d)
# KEEP_WORK=1 keeps the folder (its name is printed) for a look at what a failed check saw.
[ -n "${KEEP_WORK:-}" ] && echo "work folder: $WORK" || trap 'rm -rf "$WORK"' EXIT
failures=0

check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
not() { ! "$@"; }

# Waits until CONDITION (a command) succeeds, or SECONDS pass. Returns non-zero on time-out.
wait_until() { # SECONDS CONDITION...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}
lines_at_least() { [ "$(wc -l <"$1")" -ge "$2" ]; } # FILE N

# The demo in the background, from the current folder, into $WORK/stdout and $WORK/stderr.
start_demo() {
    "$BINARY_DIR/flumbadoo" >"$WORK/stdout" 2>"$WORK/stderr" &
    demo_pid=$!
}
alive() { kill -0 "$demo_pid" 2>/dev/null; }

# A copy of the assets and config.json in $WORK/run, every file a link of its own to replace.
prepare() {
    rm -rf "$WORK/run"
    mkdir "$WORK/run"
    cp -rs "$SOURCE_DIR/assets" "$WORK/run/assets"
    cp "$SOURCE_DIR/config.json" "$WORK/run/"
}

# Runs the capture tool's start-up and a few frames in $WORK/run: $WORK/NAME.out gets the
# timeline, .err standard error, .rss the peak resident memory in KiB; status the exit status.
run_case() { # NAME
    (cd "$WORK/run" && /usr/bin/time -f %M -o "$WORK/$1.rss" timeout 300 "$capture" --until 0.1 --timeline \
        >"$WORK/$1.out" 2>"$WORK/$1.err")
    status=$?
    echo "--- $1: status $status"
    grep -v "does not exist\|skipped, its texture\|vertical sync" "$WORK/$1.err" | head -n 20
}
frames_ran() { grep -qxE "[1-9][0-9]* end" "$WORK/$1.out"; } # NAME

finish() {
    [ "$failures" -eq 0 ] && echo "all checks passed" && exit 0
    echo "$failures check(s) failed"
    exit 1
}
