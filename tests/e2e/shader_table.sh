#!/usr/bin/env bash
# Every shader file taken away in turn, and shader files that do not compile: start-up writes
# the message of each table row that loads the broken file, in table order, up to the first
# row the demo cannot run without. It then ends before the first frame with status 0, or
# plays on when every failing row lets it.
source "$(dirname "$0")/lib.bash" "$@"

# The shader table in load order: fragment file | message on failure | ends start-up or continues.
rows=(
    "laser.frag|Unable to load the laser shader :(|ends"
    "peephole.frag|Unable to load the peephole shader :(|ends"
    "peephole.frag|Unable to load the text shader :(|ends"
    "peephole.frag|Unable to load the peephole shader :(|ends"
    "field.frag|Unable to load the field shader :(|ends"
    "circles.frag|Unable to load the circles shader :(|ends"
    "julia.frag|Unable to load the julia shader :(|ends"
    "tvstatic.frag|Unable to load the static shader :(|ends"
    "flowers.frag|Unable to load the flowers shader :(|ends"
    "flowers-orig.frag|Unable to load the flowers orig shader :(|ends"
    "rainbowtunnel.frag|Unable to load the rainbow tunnel shader :(|ends"
    "cute.frag|Unable to load the cute shader :(|ends"
    "moire.frag|Unable to load the moire shader :(|ends"
    "scattershot.frag|greet1shader failed|continues"
    "scattershot.frag|greet2shader failed|continues"
    "scattershot.frag|greet3shader failed|continues"
    "scattershot.frag|greet4shader failed|continues"
    "scattershot.frag|greet5shader failed|continues"
    "scattershot.frag|greet6shader failed|continues"
    "scattershot.frag|finger shader failed|continues"
    "perlin.frag|Unable to load the perlin shader :(|ends"
    "scattershot.frag|wsl1 shader failed|continues"
    "scattershot.frag|wsl2 failed|continues"
    "scattershot.frag|wsl3 failed|continues"
    "tri.frag|tri shader failed|continues"
    "blob.frag|blob shader failed|continues"
)
vertexFile=passthrough.vert

# Every message of the table, one per line, to pick the shader lines out of standard error.
printf '%s\n' "${rows[@]}" | cut -d'|' -f2 | sort -u >"$WORK/messages"

# Writes the lines start-up must write when BROKEN fails to load, and sets endsStartUp.
expected_for() { # BROKEN
    endsStartUp=no
    : >"$WORK/expected"
    local row file message onFailure
    for row in "${rows[@]}"; do
        IFS='|' read -r file message onFailure <<<"$row"
        if [ "$1" = "$file" ] || [ "$1" = "$vertexFile" ]; then
            echo "$message" >>"$WORK/expected"
            if [ "$onFailure" = ends ]; then
                endsStartUp=yes
                return
            fi
        fi
    done
}

# A private assets folder whose shaders are copies, the rest linked.
prepare() {
    rm -rf "$WORK/run"
    mkdir -p "$WORK/run/assets"
    for entry in "$SOURCE_DIR"/assets/*; do
        [ "$(basename "$entry")" = shaders ] || ln -s "$entry" "$WORK/run/assets/"
    done
    cp -r "$SOURCE_DIR/assets/shaders" "$WORK/run/assets/shaders"
    cp "$SOURCE_DIR/config.json" "$WORK/run/" 2>/dev/null || true
}

run_case() { # NAME BROKEN-FILE: the run folder is prepared with BROKEN-FILE broken
    local name=$1
    expected_for "$2"
    (cd "$WORK/run" && timeout 300 "$BINARY_DIR/flumbadoo-capture" --until 0.1 --timeline \
        >"$WORK/$name.out" 2>"$WORK/$name.err")
    local status=$?
    grep -xFf "$WORK/messages" "$WORK/$name.err" >"$WORK/$name.shaders"
    echo "--- $name: status $status, $(wc -l <"$WORK/$name.shaders") shader line(s)"
    check "$name: exit status 0 (was $status)" test "$status" -eq 0
    check "$name: the messages of the rows that load it, in table order" \
        diff "$WORK/expected" "$WORK/$name.shaders"
    if [ "$endsStartUp" = yes ]; then
        check "$name: no frame ran" test ! -s "$WORK/$name.out"
    else
        check "$name: frames ran" grep -qxE "[1-9][0-9]* end" "$WORK/$name.out"
    fi
}

for file in $(printf '%s\n' "${rows[@]}" | cut -d'|' -f1 | awk '!seen[$0]++') "$vertexFile"; do
    prepare
    rm "$WORK/run/assets/shaders/$file"
    run_case "without-$file" "$file"
done

# A file that is there but does not compile fails like a missing one.
prepare
printf 'void main()\n{\n    gl_FragColor = vec4(1.0) +;\n}\n' >"$WORK/run/assets/shaders/moire.frag"
run_case "moire.frag-compile-error" moire.frag

prepare
cp "$SOURCE_DIR/assets/images/black.png" "$WORK/run/assets/shaders/tri.frag"
run_case "tri.frag-not-text" tri.frag

# The demo itself ends the same way as the runner when start-up cannot go on.
prepare
rm "$WORK/run/assets/shaders/$vertexFile"
(cd "$WORK/run" && timeout 120 "$BINARY_DIR/flumbadoo" >/dev/null 2>"$WORK/demo.err")
status=$?
check "the demo without $vertexFile ends with status 0 (was $status)" test "$status" -eq 0
check "the demo's last line is the first row's message" \
    test "$(tail -n 1 "$WORK/demo.err")" = "Unable to load the laser shader :("
finish
