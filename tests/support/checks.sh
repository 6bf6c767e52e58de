# Shared by the shell tests: sourced, not run.

passed=0
failed=0

# check NAME EXPECTED ACTUAL: counts a pass, or prints the difference and counts a failure.
check() {
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}

# finish: prints the tally and succeeds only when nothing failed.
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# start_xvfb WIDTH HEIGHT: starts an Xvfb of its own, exports DISPLAY, sets xvfb_pid and xvfb_log,
# and waits until it answers; fails, saying why, when three servers in a row never do. Xvfb picks
# the free display itself (-displayfd): tests that each probe for a free number can take the same
# one. -noreset keeps the server as it is when a client such as xdotool disconnects.
start_xvfb() {
    local number_file attempt
    number_file=$(mktemp)
    xvfb_log=${xvfb_log:-$(mktemp)}
    for attempt in 1 2 3; do
        : >"$number_file"
        Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp -noreset \
            3>"$number_file" >"$xvfb_log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            [ -s "$number_file" ] || ! kill -0 "$xvfb_pid" 2>/dev/null && break
            sleep 0.1
        done
        export DISPLAY=:$(tr -d '[:space:]' <"$number_file")
        for _ in $(seq 50); do
            if xdotool getdisplaygeometry >/dev/null 2>&1; then
                rm -f "$number_file"
                return 0
            fi
            sleep 0.1
        done
        echo "Xvfb (attempt $attempt) did not answer on display '$DISPLAY'."
        describe_xvfb
        kill "$xvfb_pid" 2>/dev/null
    done
    rm -f "$number_file"
    return 1
}

# describe_xvfb: what a test prints when a program could not use its X server.
describe_xvfb() {
    echo "Xvfb $xvfb_pid on display '$DISPLAY' is $(kill -0 "$xvfb_pid" 2>/dev/null ||
        echo "not ")running; it said:"
    cat "$xvfb_log"
    ls -la /tmp/.X11-unix/ 2>&1
}
