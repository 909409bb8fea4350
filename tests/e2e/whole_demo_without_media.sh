#!/usr/bin/env bash
# The whole demo with every picture, sound, music and particle definition file taken away
# (shaders, font and manifests kept): it plays to its end, exits 0 and reports each missing
# file once, at start-up or at its first use, never once per frame.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/lib_chain.bash"

mkdir -p "$WORK/run"
cp -r "$SOURCE_DIR/assets" "$WORK/run/assets"
[ -f "$SOURCE_DIR/config.json" ] && cp "$SOURCE_DIR/config.json" "$WORK/run/"
# The files the manifests name, paths relative to the working directory.
python3 - "$WORK/run" >"$WORK/removed" <<'PY'
import json, sys
root = sys.argv[1]
for manifest in ("textures", "sounds", "music", "particles"):
    for entry in next(iter(json.load(open(f"{root}/assets/{manifest}.json")).values())).values():
        print(entry["file"])
PY
sort -u -o "$WORK/removed" "$WORK/removed"
(cd "$WORK/run" && xargs rm -f <"$WORK/removed")
check "$(wc -l <"$WORK/removed") files removed" test -s "$WORK/removed"

start=$SECONDS
(cd "$WORK/run" && timeout 540 "$BINARY_DIR/flumbadoo-capture" --fps 2 --until 240 --timeline \
    >"$WORK/timeline" 2>"$WORK/stderr")
status=$?
echo "capture took $((SECONDS - start)) s, exit status $status; timeline:"
cat "$WORK/timeline"
check "the runner exits with 0 and in time (was $status)" test "$status" -eq 0
check "every hand-over in chain order, then \"<frame> end\"" check_chain "$WORK/timeline"

named_once() { # FILE: exactly one diagnostic line names it
    local count
    count=$(grep -cF -- "$1" "$WORK/stderr")
    [ "$count" -eq 1 ] || echo "  $1 named $count times" >&2
    [ "$count" -eq 1 ]
}
missing=0
while read -r file; do
    named_once "$file" || missing=$((missing + 1))
done <"$WORK/removed"
check "each removed file is reported exactly once" test "$missing" -eq 0
# A key that several scenes look up may be reported by each of them, but a report per frame
# would repeat a line hundreds of times over the demo's 1600 frames.
sort "$WORK/stderr" | uniq -c | sort -rn | awk '$1 > 1' >"$WORK/repeated"
echo "lines written more than once:"
cat "$WORK/repeated"
check "no line is repeated frame after frame" \
    bash -c "! awk '\$1 > ${#CHAIN[@]}' '$WORK/repeated' | grep -q ."
finish
