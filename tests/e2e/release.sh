#!/usr/bin/env bash
# The release archive: built by CPack, unpacked into a folder of its own, it holds the programs,
# the data, the launcher, its README and the font's licence, and its launcher plays the demo from
# another working directory until Escape ends it with status 0 and without a missing-file line.
source "$(dirname "$0")/lib.bash" "$@"

cmake --build "$BINARY_DIR" --target package >"$WORK/package.log" 2>&1
check "cmake --build --target package succeeds" test $? -eq 0
mkdir "$WORK/unpacked" "$WORK/elsewhere"
tar -xzf "$BINARY_DIR/flumbadoo-"*"-Linux-$(uname -m).tar.gz" -C "$WORK/unpacked"
release=$(echo "$WORK"/unpacked/flumbadoo-*)
for file in flumbadoo README.txt FONT-LICENSE.txt config.json bin/flumbadoo bin/flumbadoo-capture \
    assets/textures.json assets/sticky_sugary.ttf assets/music/totally_not_trobisk.ogg; do
    check "the archive holds $file" test -s "$release/$file"
done

cd "$WORK/elsewhere"
"$release/flumbadoo" >"$WORK/stdout" 2>"$WORK/stderr" &
demo_pid=$!
check "the launcher opens the demo's window" wait_until 60 xdotool search --name "Flumbadoo"
sleep 3
check "the demo still plays after a few seconds" alive
xdotool keydown Escape
check "Escape ends it" wait_until 30 not alive
xdotool keyup Escape
wait "$demo_pid"
check "exit status 0 (was $?)" test $? -eq 0
echo "--- standard error:" $(cat "$WORK/stderr")
check "no line but the platform's (no missing file)" \
    test -z "$(grep -v '^Setting vertical sync not supported$' "$WORK/stderr")"
finish
