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

# start_xvfb WIDTH HEIGHT: starts an Xvfb of its own, exports DISPLAY, sets xvfb_pid, and waits
# until it answers. Xvfb picks the free display itself: tests that run side by side and each probe
# for a free number can both take the same one.
start_xvfb() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        sleep 0.1
    done
    export DISPLAY=:$(tr -d '[:space:]' <"$number_file")
    rm -f "$number_file"
    for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && return; sleep 0.1; done
}
