#!/usr/bin/env bash
# Runs the real sorvane natively on Wayland: weston, on an Xvfb of the test's own, and the
# program on weston's socket with no X display at all. Offers two lists with wl-copy, drives the
# window by keyboard alone (Tab, Space, Enter, typing in the choosers, Alt+C), and reads each of
# the four result lists back with wl-paste, byte for byte. Then Ctrl+V in the List 1 note right
# after a Copy records, read back through Ctrl+A Ctrl+C. Leaves a screenshot behind.
#
# Last, a program that offers a text and never sends it: the paste must fail with the error
# report once Qt on Wayland stops waiting, not pass for an empty list.
#
#   wayland_test.sh SORVANE SCREENSHOT.png TEST_OWNER
set -u
app=$1
screenshot=$2
test_owner=$3
work=$(mktemp -d)  # mode 0700: weston's runtime folder as well
source "$(dirname "$0")/../support/checks.sh"
# Ends whatever the test started and is still running, the last started first: the wl-copy
# still offering, the program, weston, the Xvfb.
cleanup() {
    local pid
    for pid in $(jobs -p | tac); do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work" "${xvfb_log:-}"
}
trap cleanup EXIT
fail() { echo "$1"; finish; exit 1; }

start_xvfb 1400 900 || exit 1

start_weston 1400 900 "$work" || { cat "$work/weston.log"; fail "weston did not start"; }

# The program, with its side of the Wayland protocol in its log: the log tells when it has the
# keyboard and when it has put something on the clipboard.
env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$app" >"$work/app.log" 2>&1 &
app_pid=$!
log_count() { grep -c "$1" "$work/app.log"; }
has_keyboard() {
    grep -o 'wl_keyboard@[0-9]*\.\(enter\|leave\)(' "$work/app.log" | tail -1 | grep -q enter
}
# Waits until the program has been given the keyboard more than $1 times and holds it.
keyboard_back() {
    for _ in $(seq 150); do
        [ "$(log_count 'wl_keyboard@[0-9]*\.enter(')" -gt "$1" ] && has_keyboard && return 0
        kill -0 "$app_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
keyboard_back 0
check "window shown with the keyboard" yes "$(has_keyboard && echo yes)"
has_keyboard || { grep -v '^\[' "$work/app.log"; fail "The program never got the keyboard"; }

# Keys go to weston's X window, which has the X focus and hands them to the program. They go
# 100 ms apart, as a person types: sent back to back they all reach the program, but a Space on
# a copy button right after the Tabs that lead there leaves the button down and copies nothing.
keys() { xdotool key --delay 100 "$@"; }
tab() { printf 'Tab %.0s' $(seq "$1"); }  # tab N: N presses of Tab

# wl-copy and wl-paste each show a surface of their own for a moment (weston lets only the
# client with the keyboard touch the clipboard), so the program loses the keyboard meanwhile:
# each waits until the program has it back.

# Offers a file as a spreadsheet does, until something else is copied.
offer() {
    local enters
    enters=$(log_count 'wl_keyboard@[0-9]*\.enter(')
    wl-copy --foreground <"$1" &
    keyboard_back "$enters"
}
# pasted_by KEY...: presses the keys and says whether the program then asked for the clipboard's
# text. That wl-copy has served it would not tell: weston reads every text offered at once, to
# keep it once its program has gone.
transfers() { log_count 'wl_data_offer@[0-9]*\.receive('; }
pasted_by() {
    local wanted=$(($(transfers) + 1))
    keys "$@"
    for _ in $(seq 100); do [ "$(transfers)" -ge "$wanted" ] && echo yes && return; sleep 0.1; done
    echo no
}
# copied_by N KEY...: presses the keys, waits until the program has put something on the
# clipboard N times, and reads the clipboard.
copies() { log_count 'wl_data_device@[0-9]*\.set_selection(wl_data_source'; }
copied_by() {
    local wanted=$(($(copies) + $1)) enters
    shift
    keys "$@"
    for _ in $(seq 100); do [ "$(copies)" -ge "$wanted" ] && break; sleep 0.1; done
    enters=$(log_count 'wl_keyboard@[0-9]*\.enter(')
    timeout 10 wl-paste --no-newline | od -An -c | tr -s ' \n' ' '
    keyboard_back "$enters"
}

# List 1 as a Windows spreadsheet copies it: CR LF rows. List 2 as Linux spreadsheets copy it:
# LF rows, accented letters in UTF-8; Zoe is not Zoë.
printf 'Ann\t12\tRome\r\nBob\t7\tParis\r\n <b>Cid</b> \t3\tOslo\r\nZo\303\253\t5\tGen\303\250ve\r\nAnn\t99\tLima\r\n' \
    >"$work/one.txt"
printf 'Bob\tB\nZo\303\253\tcaf\303\251\nAnn\tA\nZoe\tplain\n\303\211mile\tcr\303\250me br\303\273l\303\251e\n' \
    >"$work/two.txt"

# From the window's first focus, the 1st List 1 chooser, on to Toolbar1: Paste records.
offer "$work/one.txt"
check "Paste records asked for List 1" yes "$(pasted_by $(tab 15) space)"
offer "$work/two.txt"
check "Paste records asked for List 2" yes "$(pasted_by Tab Return)"  # Toolbar2
keys $(tab 8) 1 Tab 1 alt+c  # round to the 1st comparison row, column 1 with column 1, and compare

# On from the List 2 chooser to Toolbar3, then each copy button in turn.
check "Matches of List 1" "$(bytes 'Ann\t12\tRome\rBob\t7\tParis\rZo\303\253\t5\tGen\303\250ve\r')" \
    "$(copied_by 1 $(tab 16) space)"
check "Matches of List 2" "$(bytes 'Ann\tA\rBob\tB\rZo\303\253\tcaf\303\251\r')" \
    "$(copied_by 1 Tab Return)"
check "Records not found of List 1" "$(bytes '<b>Cid</b>\t3\tOslo\rAnn\t99\tLima\r')" \
    "$(copied_by 1 Tab space)"
not_found2='Zoe\tplain\r\303\211mile\tcr\303\250me br\303\273l\303\251e\r'
check "Records not found of List 2" "$(bytes "$not_found2")" "$(copied_by 1 Tab Return)"

# Copy records once more, and at once on to the List 1 note: Ctrl+V there takes the program's
# own copy, an x after it tells the note's text from the list's, and Ctrl+A Ctrl+C hands the
# note's text back out. Qt serves its own copy from memory; asked of weston, it would have to
# send the text to itself while it waits for it, and the window would freeze.
before=$(transfers)
check "Ctrl+V in the note right after Copy records" "$(bytes "${not_found2}x")" \
    "$(copied_by 2 Return Tab ctrl+v x ctrl+a ctrl+c)"
check "the paste into the note asked weston for nothing" 0 $(($(transfers) - before))

import -window root "$screenshot"
check "screenshot taken" yes "$([ -s "$screenshot" ] && echo yes)"

# The silent owner takes the keyboard with a window of its own, offers its text at a key pressed
# there and gives the keyboard back. (Weston asks for every offered text at once, to keep it
# after its program ends; that first request is the one a merely slow owner would keep waiting.) Then from the note, back to Toolbar1: Paste records. The
# error report is a second window titled as the program.
enters=$(log_count 'wl_keyboard@[0-9]*\.enter(')
QT_QPA_PLATFORM=wayland "$test_owner" never --window >"$work/owner.log" 2>&1 &
for _ in $(seq 100); do ! has_keyboard && break; sleep 0.1; done
keys x
keyboard_back "$enters"
titled() { log_count 'set_title("Sorvane")'; }
windows=$(titled)
keys $(printf 'shift+Tab %.0s' $(seq 6)) space
for _ in $(seq 50); do [ "$(titled)" -gt "$windows" ] && break; sleep 0.1; done
check "an owner that never answers: the error report" 1 $(($(titled) - windows))
keys Escape
check "program still running" yes "$(kill -0 "$app_pid" 2>/dev/null && echo yes)"
if [ "$failed" -gt 0 ]; then
    echo "The program said:"
    grep -v '^\[' "$work/app.log"
    echo "weston said:"
    cat "$work/weston.log"
fi
finish
