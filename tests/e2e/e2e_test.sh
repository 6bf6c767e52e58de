#!/usr/bin/env bash
# Runs the real sorvane under its own Xvfb with the real X clipboard: pastes two lists with
# xclip and the paste buttons, chooses the columns and presses Alt+C with xdotool, copies two
# result lists and reads them back with xclip, byte for byte. Leaves a screenshot behind.
#
# With E2E_SCALE=2 everything runs at twice the density (QT_SCALE_FACTOR=2): the window must
# keep its layout, so every control is found at twice its place.
#
# Then the same by keyboard alone: Tab to the paste buttons, Space and Enter, the choosers, Alt+C,
# Tab to the copy buttons.
#
# Then text as spreadsheets send it: LibreOffice Calc's tab-separated text with a quoted two-line
# cell, and a Swedish, Polish and Russian list sorted by a header click in a Swedish locale.
#
# Then a fault: the program that offers a large text vanishes during the transfer; the error
# report must come up, and after Cancel the program must go on working. Last, bad input on the
# X clipboard: bytes that are not UTF-8 with a NUL among them, and an image alone.
#
# It runs on a D-Bus session of its own with the accessibility bus, so the program's tree can be
# read over AT-SPI as a screen reader reads it; and once the whole way by keyboard alone.
#
#   e2e_test.sh SORVANE SCREENSHOT.png TEST_OWNER
set -u
if [ -z "${E2E_OWN_BUS:-}" ]; then
    E2E_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
app=$1
screenshot=$2
test_owner=$3
scale=${E2E_SCALE:-1}
work=$(mktemp -d)
source "$(dirname "$0")/../support/checks.sh"
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
    [ -n "${offer_pid:-}" ] && kill "$offer_pid" 2>/dev/null
    kill "${xvfb_pid:-}" 2>/dev/null
    rm -rf "$work" "${xvfb_log:-}"
}
trap cleanup EXIT
screen_size="$((1400 * scale)) $((900 * scale))"
start_xvfb $screen_size || exit 1

# The program's visible top-level windows titled Sorvane (Qt also keeps a hidden 1x1 one), by
# width: the main window is the wide one.
visible_windows() {
    for w in $(xdotool search --name '^Sorvane$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -gt 10 ] && echo "$WIDTH $w"
    done | sort -n | awk '{print $2}'
}

# Starts the program and waits for its main window: sets app_pid and window.
start_program() {
    LC_COLLATE=sv_SE.UTF-8 QT_SCALE_FACTOR=$scale QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        "$app" >"$work/app.log" 2>&1 &
    app_pid=$!
    for _ in $(seq 200); do
        [ -n "$(visible_windows)" ] || ! kill -0 "$app_pid" 2>/dev/null && break
        sleep 0.1
    done
    window=$(visible_windows | tail -1)
}
# The accessibility bus, started before the program so that the program finds it.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1
start_program
# A program that cannot reach the X server says nothing about itself: say what the server was
# doing, then try once more on a new server.
if [ -z "$window" ] && grep -q "could not connect to display" "$work/app.log"; then
    echo "The program could not reach its X server:"
    cat "$work/app.log"
    describe_xvfb
    kill "$xvfb_pid" 2>/dev/null
    start_xvfb $screen_size || exit 1
    start_program
fi
check "window shown" yes "$([ -n "$window" ] && echo yes)"
[ -n "$window" ] || { echo "The program said:"; cat "$work/app.log"; describe_xvfb; finish; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
check "client size" "$((1272 * scale))x$((745 * scale))" "${WIDTH}x${HEIGHT}"

# Every control named as a screen reader hears it, seen over AT-SPI.
names=$(/usr/bin/python3 "$(dirname "$0")/accessible_names.py" 20)
check "accessible names over AT-SPI" 0 $?
grep FAILED <<<"$names"

# Centres of the controls at the starting size, in pixels from the window's corner (the twips of
# the design layout divided by 15).
click() { xdotool mousemove --sync $((X + $1 * scale)) $((Y + $2 * scale)) click 1; }
paste1() { click 610 162; }
paste2() { click 1238 162; }
copy3() { click 610 361; }
copy4() { click 1238 361; }
copy5() { click 610 560; }
header5() { click 64 588; }
combo1_0() { click 135 43; }

# Chooses column 1 of each list in the 1st comparison row by keyboard and presses Alt+C.
compare_first_columns() {
    combo1_0
    xdotool type --delay 50 "1"
    xdotool key Tab
    xdotool type --delay 50 "1"
    xdotool key alt+c
    sleep 0.5
}


# List 1 as a Windows spreadsheet copies it; List 2 as a Linux one does (LF, no final line break).
printf 'Ann\t12\tRome\r\nBob\t7\tParis\r\n <b>Cid</b> \t3\tOslo\r\nAnn\t99\tLima\r\n' >"$work/one.txt"
printf 'Bob\tB\nAnn\tA\nZed\tZ\nann\ta' >"$work/two.txt"

# Offers a file and pastes it with a paste command (paste1, paste2 or a run of keys).
paste_file() {
    offer "$1"
    shift
    "$@"
    served
}

# By keyboard alone, from the window's first focus (the 1st List 1 chooser).
keys() { xdotool windowfocus --sync "$window" key --delay 60 "$@"; }
tabs() { local n=$1; shift; keys $(printf 'Tab %.0s' $(seq "$n")) "$@"; }
paste_file "$work/one.txt" tabs 15 space  # Toolbar1: Paste records
paste_file "$work/two.txt" tabs 1 Return  # Toolbar2
kill "$offer_pid" 2>/dev/null
tabs 8 1 Tab 1 alt+c  # round to the 1st comparison row, column 1 with column 1, and compare
sleep 0.5
tabs 16 space  # on from the List 2 chooser to Toolbar3: the matches of List 1
expected=$(bytes 'Ann\t12\tRome\rBob\t7\tParis\r')
check "by keyboard: paste, choose, compare, copy the matches" "$expected" "$(clipboard_after "$expected")"
tabs 2 Return  # Toolbar5: the records of List 1 not found
expected=$(bytes '<b>Cid</b>\t3\tOslo\rAnn\t99\tLima\r')
check "by keyboard: copy the records not found" "$expected" "$(clipboard_after "$expected")"
# An empty clipboard, so that the copies by mouse below cannot meet these texts.
xclip -selection clipboard -i /dev/null

paste_file "$work/one.txt" paste1
paste_file "$work/two.txt" paste2
kill "$offer_pid" 2>/dev/null

compare_first_columns

copy5
check "Records not found of List 1, copied" "$(bytes '<b>Cid</b>\t3\tOslo\rAnn\t99\tLima\r')" \
    "$(clipboard_after "$(bytes '<b>Cid</b>\t3\tOslo\rAnn\t99\tLima\r')")"
copy3
check "Matches of List 1, copied" "$(bytes 'Ann\t12\tRome\rBob\t7\tParis\r')" \
    "$(clipboard_after "$(bytes 'Ann\t12\tRome\rBob\t7\tParis\r')")"

import -window root "$screenshot"
check "screenshot taken" yes "$([ -s "$screenshot" ] && echo yes)"
check "program still running" yes "$(kill -0 "$app_pid" 2>/dev/null && echo yes)"

# The program's own copy pasted back, which it takes without asking the X server: List 2
# becomes the records of List 1 not found, so the matches of List 2 are those in List 1's order.
# List 1 is pasted again too, so that both choosers start empty.
copy5
clipboard_after "$(bytes '<b>Cid</b>\t3\tOslo\rAnn\t99\tLima\r')" >/dev/null
paste2
paste_file "$work/one.txt" paste1
kill "$offer_pid" 2>/dev/null
compare_first_columns
copy4
expected=$(bytes 'Ann\t99\tLima\r<b>Cid</b>\t3\tOslo\r')
check "own copy pasted back into List 2" "$expected" "$(clipboard_after "$expected")"

# A capture of LibreOffice Calc's tab-separated text, offered under the name Calc gives its UTF-8
# (the other lists go as UTF8_STRING, as Gnumeric offers them): the quoted two-line cell stays
# one cell. Nothing in List 2 matches, so Records not found holds all.
xclip -selection clipboard -quiet -t 'text/plain;charset=utf-8' -i \
    "$(dirname "$0")/../data/clipboard/libreoffice-calc-tsvc.txt" >"$work/offer.log" 2>&1 &
offer_pid=$!
sleep 0.2
paste1
served
printf 'none\r\n' >"$work/none.txt"
paste_file "$work/none.txt" paste2
kill "$offer_pid" 2>/dev/null
compare_first_columns
copy5
expected=$(bytes 'A001\tpadded\t1,234,567.50\rA002\t\t42\rA003\tCaf\303\251 \303\251\t03/15/2024\rA004\t\344\270\255\346\226\207\tcjk\rA005\t"Line oneLine two"\ttwo-line\rA006\tHe said "hi"\tquote\rA007\tplain\t7\rA008\tlast\t8\r')
check "LibreOffice's quoted two-line cell stays one record" "$expected" "$(clipboard_after "$expected")"

# Sorted as a Swedish reader expects: Å and Ö after Z, Ł as a kind of L (Łódź with Lodz),
# Cyrillic after Latin. List 1 keeps the three columns of its earlier pastes.
printf '\303\226rebro\r\nZakopane\r\n\305\201\303\263d\305\272\r\nlublin\r\n\320\257\320\275\320\260\r\n\320\260\320\275\320\275\320\260\r\nOslo\r\n\303\205re\r\n' >"$work/nordic.txt"
paste_file "$work/nordic.txt" paste1
kill "$offer_pid" 2>/dev/null
compare_first_columns
header5
copy5
expected=$(bytes '\305\201\303\263d\305\272\t\t\rlublin\t\t\rOslo\t\t\rZakopane\t\t\r\303\205re\t\t\r\303\226rebro\t\t\r\320\260\320\275\320\275\320\260\t\t\r\320\257\320\275\320\260\t\t\r')
check "header click sorts in the Swedish order" "$expected" "$(clipboard_after "$expected")"
# The same copy as an older program asks for it, in Latin-1: '?' for what Latin-1 lacks.
expected=$(bytes '?\363d?\t\t\rlublin\t\t\rOslo\t\t\rZakopane\t\t\r\305re\t\t\r\326rebro\t\t\r????\t\t\r???\t\t\r')
check "the copy as Latin-1 STRING" "$expected" \
    "$(xclip -o -selection clipboard -t STRING | od -An -c | tr -s ' \n' ' ')"
paste_file "$work/two.txt" paste2  # List 2 as it was, for what follows
kill "$offer_pid" 2>/dev/null

windows() { visible_windows | wc -l; }
# Waits until a message box stands over the window.
box_shown() {
    for _ in $(seq 200); do [ "$(windows)" -ge 2 ] && return 0; sleep 0.1; done
    return 1
}
# Answers the message box with a key and waits until it has closed.
answer_box() {
    xdotool windowfocus --sync "$(visible_windows | head -1)" key "$1"
    for _ in $(seq 50); do [ "$(windows)" -eq 1 ] && return 0; sleep 0.1; done
    return 1
}

# The owner of a 50 MB text goes away 30 ms into serving it.
"$test_owner" vanish 50 30 >"$work/owner.log" 2>&1 &
owner_pid=$!
sleep 1
paste1
check "error report shown" yes "$(box_shown && echo yes)"
import -window root "${screenshot%.png}-error-report.png"
check "Escape (Cancel) closes the report" yes "$(answer_box Escape && echo yes)"
check "program still running after the fault" yes "$(kill -0 "$app_pid" 2>/dev/null && echo yes)"
# The paste that failed and was cancelled took nothing away: List 1 still holds the Swedish
# records and its 1st chooser its column (List 2, pasted since, needs its own again), and
# Records not found shows them in its order as before.
kill "$owner_pid" 2>/dev/null
combo1_0
xdotool key Tab
xdotool type --delay 50 "1"
xdotool key alt+c
sleep 0.5
copy5
expected=$(bytes '\305\201\303\263d\305\272\t\t\rlublin\t\t\rOslo\t\t\rZakopane\t\t\r\303\205re\t\t\r\303\226rebro\t\t\r\320\260\320\275\320\275\320\260\t\t\r\320\257\320\275\320\260\t\t\r')
check "a cancelled paste keeps the list it was to replace" "$expected" "$(clipboard_after "$expected")"

# And it goes on working: paste, compare, copy.
printf 'Zed\tnew\r\n' >"$work/three.txt"
paste_file "$work/three.txt" paste1
kill "$offer_pid" 2>/dev/null
compare_first_columns
copy3
check "works after the fault (List 1 keeps its three columns)" "$(bytes 'Zed\tnew\t\r')" "$(clipboard_after "$(bytes 'Zed\tnew\t\r')")"

# Bytes that are not UTF-8, and a NUL, on the X clipboard: each bad byte arrives as U+FFFD (the
# platform's text is Unicode), the NUL stays in its cell, and no record or cell goes missing.
printf 'n\0l\t\xff\xfeok\r\n' >"$work/bad1.txt"
printf 'n\0l\r\n' >"$work/bad2.txt"
paste_file "$work/bad1.txt" paste1
paste_file "$work/bad2.txt" paste2
kill "$offer_pid" 2>/dev/null
compare_first_columns
copy3
expected=$(bytes 'n\0l\t\357\277\275\357\277\275ok\t\r')
check "invalid UTF-8 and NUL through the X clipboard" "$expected" "$(clipboard_after "$expected")"

# Only an image on the clipboard: List 2 gets no records, so Compare refuses.
xclip -selection clipboard -quiet -t image/png -i "$(dirname "$0")/../../docs/screenshot.png" \
    >"$work/offer.log" 2>&1 &
offer_pid=$!
sleep 0.2
paste2
served
kill "$offer_pid" 2>/dev/null
compare_first_columns
check "image-only clipboard leaves List 2 empty: Compare refuses" yes "$(box_shown && echo yes)"
check "OK closes the refusal" yes "$(answer_box Return && echo yes)"

finish
