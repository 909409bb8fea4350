# Shared helpers of the end-to-end scripts: sourced, not run.
# Usage in a script: source "$(dirname "$0")/lib.bash" "$@"

set -uo pipefail
# -noreset as in scripts/test.sh: the programs started here come and go one after another.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" bash "$0" "$@"
fi
export ALSOFT_DRIVERS=null

SOURCE_DIR=$(cd "${1:?source dir}" && pwd)
BINARY_DIR=$(cd "${2:?binary dir}" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
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

# Waits until FILE has at least N lines, or SECONDS pass. Returns non-zero on time-out.
wait_for_lines() { # FILE N SECONDS
    local deadline=$((SECONDS + $3))
    while [ "$(wc -l <"$1" 2>/dev/null || echo 0)" -lt "$2" ]; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# Waits until CONDITION (a command) succeeds, or SECONDS pass. Returns non-zero on time-out.
wait_until() { # SECONDS CONDITION...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# Holds KEY down until CONDITION (a command) succeeds or SECONDS pass, then lets go.
hold_key_until() { # KEY SECONDS CONDITION...
    local key=$1 deadline=$((SECONDS + $2))
    shift 2
    xdotool keydown "$key"
    until "$@"; do
        if [ $SECONDS -ge $deadline ]; then
            xdotool keyup "$key"
            return 1
        fi
        sleep 0.05
    done
    xdotool keyup "$key"
}

# Starts the demo from the current folder in the background, its output in $WORK/stdout and
# $WORK/stderr; alive and exited then tell whether it still runs.
start_demo() {
    "$BINARY_DIR/flumbadoo" >"$WORK/stdout" 2>"$WORK/stderr" &
    demo_pid=$!
}
alive() { kill -0 "$demo_pid" 2>/dev/null; }
exited() { ! alive; }

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
}
