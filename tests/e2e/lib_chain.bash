# Helpers of the whole-demo checks: sourced after lib.bash, not run.

# The scene chain in the order the demo plays it; 666 ends it.
CHAIN=(0 1 2 3 4 5 6 65 7 8 9 10 11 12 666)

# Checks a capture timeline (FILE): one "<frame> <from> <to>" line per hand-over, in chain
# order on rising frames, then "<frame> end" on the frame that handed over to 666. On the
# first fault it names what went wrong and returns non-zero.
check_chain() { # FILE
    local file=$1 i=0 last=0 frame from to
    while read -r frame from to; do
        if [ "$from" = end ]; then
            echo "the run stopped at frame $frame while the demo was still in scene ${CHAIN[i]}" \
                "(last hand-over at frame $last); is its routine in the scene table?" >&2
            return 1
        fi
        if [ "$i" -ge $((${#CHAIN[@]} - 1)) ]; then
            echo "unexpected line after the end of the chain: $frame $from $to" >&2
            return 1
        fi
        if [ "$from" != "${CHAIN[i]}" ] || [ "$to" != "${CHAIN[i + 1]}" ]; then
            echo "hand-over $((i + 1)) is $from -> $to at frame $frame, expected ${CHAIN[i]} -> ${CHAIN[i + 1]}" >&2
            return 1
        fi
        if [ "$frame" -le "$last" ]; then
            echo "hand-over $from -> $to at frame $frame does not come after frame $last" >&2
            return 1
        fi
        last=$frame
        i=$((i + 1))
        [ "$to" = 666 ] && break
    done <"$file"
    if [ "$i" -lt $((${#CHAIN[@]} - 1)) ]; then
        echo "the demo never left scene ${CHAIN[i]} (last hand-over at frame $last); is its routine in the scene table?" >&2
        return 1
    fi
    local tail
    tail=$(tail -n 1 "$file")
    if [ "$tail" != "$last end" ]; then
        echo "the last line is \"$tail\", expected \"$last end\"" >&2
        return 1
    fi
}
