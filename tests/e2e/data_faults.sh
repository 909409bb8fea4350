#!/usr/bin/env bash
# Data files taken away, not what their name says, or that used to crash or hang the program, in
# a private copy of the assets: the fault is reported, the status is 0, with no heap corruption
# and bounded memory, and frames run, unless a shader the demo cannot do without fails: start-up
# reports each table row that loads it, in order, up to the first such row, and ends.
source "$(dirname "$0")/lib.bash" "$@"

# Far more than the demo's own few hundred MiB, far less than decoding the big picture would take.
peakLimitKiB=$((2560 * 1024))
# A grey PNG of SIDE x SIDE pixels, one bit each so that the file stays small, four bytes decoded.
big_png() { # SIDE
    python3 - "$1" <<'PY'
import struct, sys, zlib
side, packer = int(sys.argv[1]), zlib.compressobj(9)
chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
pixels = b"".join(packer.compress(b"\0" + b"\x55" * ((side + 7) // 8)) for _ in range(side)) + packer.flush()
sys.stdout.buffer.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 1, 0, 0, 0, 0))
                        + chunk(b"IDAT", pixels) + chunk(b"IEND", b""))
PY
}
many_sounds() { # more sources than OpenAL has: 20 keys of 255 instances
    python3 -c 'import json; print(json.dumps({"sounds": {"s%02d" % i:
        {"file": "assets/sounds/bounce.ogg", "instances": 255} for i in range(20)}}))'
}
deep_json() { python3 -c 'print("[" * 90000 + "]" * 90000)'; }
sound_on_folder() { echo '{"sounds": {"bounce": {"file": "assets"}, "static": {"file": "assets/sounds/static.ogg"}}}'; }
particles_on_folder() {
    echo '{"particlesystems": {"star_particles": {"file": "assets", "instances": 10},
        "flower_particles": {"file": "assets/particles/flower_particles.json", "instances": 2147483647}}}'
}
glsl_error() { printf 'void main()\n{\n    gl_FragColor = vec4(1.0) +;\n}\n'; }
shaders=assets/shaders
laser="Unable to load the laser shader :("

# The file, what replaces it (nothing, a folder or a command's output), whether frames run or
# start-up ends, the lines standard error holds ("|" between), its only shader lines in order.
cases=(
    "assets/images/flum.png|echo no picture|plays|TextureManager: Unable to load file assets/images/flum.png."
    "assets/images/doo.png|true|plays|TextureManager: Unable to load file assets/images/doo.png."
    "assets/images/stars.png|big_png 16384|plays|TextureManager: Unable to load file assets/images/stars.png."
    "assets/images/stars.png|big_png 32768|plays|TextureManager: Unable to load file assets/images/stars.png."
    "assets/sounds/bounce.ogg|echo no sound|plays|SoundManager: Unable to load file assets/sounds/bounce.ogg."
    "assets/sticky_sugary.ttf|echo no font|plays|Unable to load fontfile assets/sticky_sugary.ttf"
    "config.json|folder|plays|Config.json missing."
    "assets/textures.json|deep_json|plays|validateJson: Missing prop: textures."
    "assets/sprites.json|folder|plays|SpriteManager: Unable to open file assets/sprites.json."
    "assets/sounds.json|sound_on_folder|plays|SoundManager: Unable to load file assets."
    "assets/particles.json|particles_on_folder|plays|ParticleSystem: Unable to open file assets.|ParticleSystem: Particle count 2147483647 is above the limit of 10000, using 10000."
    # The sounds that find no source report it at exit into SFML's error stream, which must still exist.
    "assets/sounds.json|many_sounds|plays|SoundManager: instances of [s00] is 255, above the limit of 16; using 16."
    "$shaders/laser.frag|missing|ends|$laser"
    "$shaders/peephole.frag|missing|ends|Unable to load the peephole shader :("
    "$shaders/field.frag|missing|ends|Unable to load the field shader :("
    "$shaders/circles.frag|missing|ends|Unable to load the circles shader :("
    "$shaders/julia.frag|missing|ends|Unable to load the julia shader :("
    "$shaders/tvstatic.frag|missing|ends|Unable to load the static shader :("
    "$shaders/flowers.frag|missing|ends|Unable to load the flowers shader :("
    "$shaders/flowers-orig.frag|missing|ends|Unable to load the flowers orig shader :("
    "$shaders/rainbowtunnel.frag|missing|ends|Unable to load the rainbow tunnel shader :("
    "$shaders/cute.frag|missing|ends|Unable to load the cute shader :("
    "$shaders/moire.frag|missing|ends|Unable to load the moire shader :("
    "$shaders/moire.frag|glsl_error|ends|Unable to load the moire shader :("
    "$shaders/perlin.frag|missing|ends|Unable to load the perlin shader :("
    "$shaders/scattershot.frag|missing|plays|greet1shader failed|greet2shader failed|greet3shader failed|greet4shader failed|greet5shader failed|greet6shader failed|finger shader failed|wsl1 shader failed|wsl2 failed|wsl3 failed"
    "$shaders/tri.frag|missing|plays|tri shader failed"
    "$shaders/tri.frag|folder|plays|tri shader failed"
    "$shaders/tri.frag|cat $SOURCE_DIR/assets/images/black.png|plays|tri shader failed"
    "$shaders/blob.frag|missing|plays|blob shader failed"
    # The shared vertex shader: the laser has its own, so the peephole's row is the first to end.
    "$shaders/passthrough.vert|missing|ends|Unable to load the peephole shader :("
    "$shaders/laser.vert|missing|ends|$laser"
    "$shaders/scattershot.vert|missing|plays|greet1shader failed|greet2shader failed|greet3shader failed|greet4shader failed|greet5shader failed|greet6shader failed|finger shader failed|wsl1 shader failed|wsl2 failed|wsl3 failed"
    "$shaders/blob.vert|missing|plays|blob shader failed"
)
for row in "${cases[@]}"; do
    IFS='|' read -r file replacement ending expected <<<"$row"
    name="$(basename "$file") ${replacement##*/}"
    prepare
    rm -rf "$WORK/run/$file"
    case $replacement in
    missing) ;;
    folder) mkdir "$WORK/run/$file" ;;
    *) $replacement >"$WORK/run/$file" ;;
    esac
    run_case "$name"
    check "$name: exit status 0 (was $status)" test "$status" -eq 0
    tr '|' '\n' <<<"$expected" >"$WORK/expected"
    check "$name: the expected lines" bash -c "! grep -vxFf '$WORK/$name.err' '$WORK/expected'"
    check "$name: its shader lines, in table order" diff <(grep -E 'shader :\($|failed$' "$WORK/expected") \
        <(grep -E 'shader :\($|failed$' "$WORK/$name.err")
    [ -s "$WORK/$name.out" ] && ran=plays || ran=ends
    check "$name: start-up $ending" test "$ran" = "$ending" -a "$(frames_ran "$name" && echo plays || echo ends)" = "$ending"
    peak=$(tail -n 1 "$WORK/$name.rss")
    check "$name: peak memory $((peak / 1024)) MiB, below $((peakLimitKiB / 1024)) MiB" test "$peak" -lt "$peakLimitKiB"
    check "$name: no heap corruption reported" not grep -qi 'malloc\|corrupt\|AddressSanitizer' "$WORK/$name.err"
done
# The demo itself ends the same way as the runner when start-up cannot go on.
prepare
rm "$WORK/run/$shaders/passthrough.vert"
(cd "$WORK/run" && timeout 120 "$BINARY_DIR/flumbadoo" >/dev/null 2>"$WORK/demo.err")
status=$?
check "the demo without passthrough.vert ends with status 0 (was $status)" test "$status" -eq 0
check "the demo's last line is the first row's message that shares it" \
    test "$(tail -n 1 "$WORK/demo.err")" = "Unable to load the peephole shader :("
finish
