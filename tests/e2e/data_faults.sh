#!/usr/bin/env bash
# Data files that used to crash or hang the real program, each in a private copy of the
# assets: the program writes its line, plays its frames and exits with status 0, with no
# signal and no heap corruption reported at exit.
source "$(dirname "$0")/lib.bash" "$@"

# The assets are linked entry by entry (shaders file by file) so that one can be replaced.
prepare() {
    rm -rf "$WORK/run"
    mkdir -p "$WORK/run/assets/shaders"
    for entry in "$SOURCE_DIR"/assets/*; do
        [ "$(basename "$entry")" = shaders ] || ln -s "$entry" "$WORK/run/assets/"
    done
    ln -s "$SOURCE_DIR"/assets/shaders/* "$WORK/run/assets/shaders/"
    cp "$SOURCE_DIR/config.json" "$WORK/run/" 2>/dev/null || true
}
replace() { # FILE CONTENT: FILE (relative to the run folder) gets CONTENT
    rm -rf "$WORK/run/$1"
    printf '%s\n' "$2" >"$WORK/run/$1"
}
folder() { # FILE: FILE becomes an empty folder
    rm -rf "$WORK/run/$1"
    mkdir "$WORK/run/$1"
}

# Runs the capture tool (the demo's own start-up, frames and exit) for a few frames and
# checks the status, the expected line and that frames ran.
run_case() { # NAME EXPECTED-LINE
    (cd "$WORK/run" && timeout 120 "$BINARY_DIR/flumbadoo-capture" --until 0.1 --timeline \
        >"$WORK/$1.out" 2>"$WORK/$1.err")
    local status=$?
    echo "--- $1: status $status"
    grep -v "does not exist\|skipped, its texture" "$WORK/$1.err" | head -n 20
    check "$1: exit status 0 (was $status)" test "$status" -eq 0
    check "$1: \"$2\"" grep -qxF "$2" "$WORK/$1.err"
    check "$1: frames ran" grep -qxE "[1-9][0-9]* end" "$WORK/$1.out"
}

prepare
folder config.json
run_case config-folder "Config.json missing."

prepare
python3 -c 'print("[" * 90000 + "]" * 90000)' >"$WORK/deep.json"
rm "$WORK/run/assets/textures.json"
cp "$WORK/deep.json" "$WORK/run/assets/textures.json"
run_case deep-textures "validateJson: Missing prop: textures."

prepare
folder assets/sprites.json
run_case sprites-folder "SpriteManager: Unable to open file assets/sprites.json."

prepare
replace assets/particles.json '{"particlesystems": {"star_particles": {"file": "assets", "instances": 10},
    "flower_particles": {"file": "assets/particles/flower_particles.json", "instances": 2147483647}}}'
run_case particles "ParticleSystem: Unable to open file assets."
check "particles: the count is limited" \
    grep -qxF "ParticleSystem: Particle count 2147483647 is above the limit of 10000, using 10000." "$WORK/particles.err"

prepare
replace assets/sounds.json '{"sounds": {"bounce": {"file": "assets"}, "static": {"file": "assets/sounds/static.ogg"}}}'
run_case sound-folder "SoundManager: Unable to load file assets."

prepare
folder assets/shaders/tri.frag
run_case shader-folder "tri shader failed"

# More sources than OpenAL has: each key is limited, and the sounds that still find no
# source report it at exit into SFML's error stream, which must still exist then.
prepare
replace assets/sounds.json "$(python3 -c 'import json; print(json.dumps({"sounds": {"s%02d" % i:
    {"file": "assets/sounds/bounce.ogg", "instances": 255} for i in range(20)}}))')"
run_case sound-count "SoundManager: instances of [s00] is 255, above the limit of 16; using 16."
check "sound-count: no heap corruption reported" bash -c "! grep -qi 'malloc\|corrupt\|AddressSanitizer' '$WORK/sound-count.err'"
finish
