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

# bytes TEXT: the characters of a printf format, as od shows them, to compare clipboard bytes.
bytes() { printf "$1" | od -An -c | tr -s ' \n' ' '; }

# clipboard_after EXPECTED: reads the X clipboard until it holds EXPECTED (as bytes shows it)
# or five seconds pass, and prints what it last read.
clipboard_after() {
    local expected=$1 got=""
    for _ in $(seq 50); do
        got=$(xclip -o -selection clipboard 2>/dev/null | od -An -c | tr -s ' \n' ' ')
        [ "$got" == "$expected" ] && break
        sleep 0.1
    done
    printf '%s' "$got"
}

# offer FILE: offers FILE on the X clipboard through an xclip that reports each request it
# serves in $work/offer.log, ending the xclip of the last offer; sets offer_pid.
offer() {
    [ -n "${offer_pid:-}" ] && kill "$offer_pid" 2>/dev/null
    xclip -selection clipboard -quiet -i "$1" >"$work/offer.log" 2>&1 &
    offer_pid=$!
    sleep 0.2
}

# served [SECONDS]: waits until the program has asked for the offered text, then SECONDS more
# (0.3 unless given) for it to take the text in.
served() {
    for _ in $(seq 100); do grep -q "request number 2" "$work/offer.log" && break; sleep 0.1; done
    sleep "${1:-0.3}"
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

# start_weston WIDTH HEIGHT FOLDER: starts weston in a window of the current X display, on a
# socket of its own in FOLDER (its runtime folder, mode 0700), exports XDG_RUNTIME_DIR and
# WAYLAND_DISPLAY, sets weston_pid and weston_window, and gives that window the X focus, so that
# keys sent with xdotool reach the focused Wayland client. Its log is FOLDER/weston.log.
#
# Headless weston has no seat, and without one wl-copy cannot set the clipboard: weston runs in
# a window of the Xvfb instead, which brings a keyboard with it. Its kiosk shell shows the
# program full screen and hands the keyboard straight back when another client's surface goes;
# the desktop shell would first fade that surface out for a second, and it starts a helper
# client that weston does not wait for when it ends. The on-screen keyboard would take the keys
# as soon as a text field has the focus, so the input method is one that exits at once. No idle
# time: a slow run must not find the screen blanked.
start_weston() {
    export XDG_RUNTIME_DIR=$3 WAYLAND_DISPLAY=sorvane-test
    printf '[core]\nidle-time=0\n[input-method]\npath=/bin/true\n' >"$3/weston.ini"
    weston --backend=x11-backend.so --use-pixman --shell=kiosk-shell.so --width="$1" \
        --height="$2" --socket="$WAYLAND_DISPLAY" --config="$3/weston.ini" \
        --log="$3/weston.log" >/dev/null 2>&1 &
    weston_pid=$!
    weston_window=
    for _ in $(seq 100); do
        [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && weston_window=$(xdotool search --class \
            '^Weston Compositor$' 2>/dev/null | head -1) && [ -n "$weston_window" ] && break
        kill -0 "$weston_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    [ -n "$weston_window" ] && xdotool windowfocus --sync "$weston_window"
}
