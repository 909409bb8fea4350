#!/usr/bin/env bash
# Asset files that are there but are not what their name says: a picture that is text, an
# empty picture, a picture larger than any texture the renderer can hold, a sound that is
# text, a font that is text. Each is reported in one line naming the file; the demo plays
# its frames and exits with status 0, and its memory stays bounded.
source "$(dirname "$0")/lib.bash" "$@"

# Far more than the demo's own few hundred MiB, far less than what decoding the big picture
# and copying it again would take.
peakLimitKiB=$((2560 * 1024))

# The assets are linked entry by entry (folders file by file) so that one file can be replaced.
prepare() {
    rm -rf "$WORK/run"
    mkdir -p "$WORK/run/assets"
    for entry in "$SOURCE_DIR"/assets/*; do
        if [ -d "$entry" ]; then
            mkdir "$WORK/run/assets/$(basename "$entry")"
            ln -s "$entry"/* "$WORK/run/assets/$(basename "$entry")/"
        else
            ln -s "$entry" "$WORK/run/assets/"
        fi
    done
    cp "$SOURCE_DIR/config.json" "$WORK/run/" 2>/dev/null || true
}

# A grey PNG of SIDE x SIDE pixels, one bit per pixel so that the file stays small; the
# decoder still expands it to four bytes per pixel.
big_png() { # SIDE FILE
    python3 - "$1" "$2" <<'PY'
import struct, sys, zlib
side, path = int(sys.argv[1]), sys.argv[2]
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
packer = zlib.compressobj(9)
row = b"\0" + b"\x55" * ((side + 7) // 8)
pixels = b"".join(packer.compress(row) for _ in range(side)) + packer.flush()
with open(path, "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 1, 0, 0, 0, 0))
              + chunk(b"IDAT", pixels) + chunk(b"IEND", b""))
PY
}

# Replaces FILE (relative to the run folder) with the output of COMMAND.
replace() { # FILE COMMAND...
    local file=$1
    shift
    rm -f "$WORK/run/$file"
    "$@" >"$WORK/run/$file"
}

run_case() { # NAME EXPECTED-LINE
    (cd "$WORK/run" && /usr/bin/time -f "%M" -o "$WORK/$1.rss" timeout 300 \
        "$BINARY_DIR/flumbadoo-capture" --until 0.1 --timeline >"$WORK/$1.out" 2>"$WORK/$1.err")
    local status=$? peak
    peak=$(tail -n 1 "$WORK/$1.rss")
    echo "--- $1: status $status, peak resident memory $((peak / 1024)) MiB"
    grep -v "does not exist\|skipped, its texture\|vertical sync" "$WORK/$1.err" | head -n 10
    check "$1: exit status 0 (was $status)" test "$status" -eq 0
    check "$1: \"$2\"" grep -qxF "$2" "$WORK/$1.err"
    check "$1: frames ran" grep -qxE "[1-9][0-9]* end" "$WORK/$1.out"
    check "$1: peak memory below $((peakLimitKiB / 1024)) MiB" test "$peak" -lt "$peakLimitKiB"
}

prepare
replace assets/images/flum.png echo '{"this": "is no picture"}'
run_case picture-is-text "TextureManager: Unable to load file assets/images/flum.png."

prepare
replace assets/images/doo.png true
run_case picture-empty "TextureManager: Unable to load file assets/images/doo.png."

for side in 16384 32768; do
    prepare
    rm "$WORK/run/assets/images/stars.png"
    big_png "$side" "$WORK/run/assets/images/stars.png"
    run_case "picture-${side}" "TextureManager: Unable to load file assets/images/stars.png."
done

prepare
replace assets/sounds/bounce.ogg echo 'no sound here'
run_case sound-is-text "SoundManager: Unable to load file assets/sounds/bounce.ogg."

prepare
replace assets/sticky_sugary.ttf echo 'no font here'
run_case font-is-text "Unable to load fontfile assets/sticky_sugary.ttf"
finish
