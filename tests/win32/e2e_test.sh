#!/usr/bin/env bash
# Runs the real sorvane.exe under Wine on an Xvfb of its own and drives it by keyboard alone, as
# a Windows user without a mouse would: Tab and Shift+Tab through the controls in tab order,
# Space and Enter on the toolbar buttons, Alt+C for Compare. Two lists are offered on the X
# clipboard with xclip as Linux spreadsheets offer them (UTF-8, one with LF row ends), and Wine
# hands them to the program as CF_UNICODETEXT; the four result lists are copied and read back
# with xclip, byte for byte. Then a refusal, the error report of a clipboard whose owner never
# answers, and the instructions; each message box is answered by a key. Last, the same window at
# 144 dots per inch. Leaves screenshots behind: SHOTS-96.png, SHOTS-144.png and one of each box.
#
#   e2e_test.sh SORVANE.EXE SHOTS [TEST_OWNER]
#
# TEST_OWNER is tests/e2e/test_owner of the Linux build (an X program that offers a text and
# never sends it); without it the error report is not tested. Wine runs in a prefix of the
# test's own ($E2E_WINEPREFIX, or wine-e2e beside the screenshots), made on the first run.
set -u
exe=$1
shots=$2
test_owner=${3:-}
work=$(mktemp -d)
mkdir -p "$(dirname "$shots")"
source "$(dirname "$0")/../support/checks.sh"

export WINEPREFIX=${E2E_WINEPREFIX:-$(cd "$(dirname "$shots")" && pwd)/wine-e2e}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
    [ -n "${offer_pid:-}" ] && kill "$offer_pid" 2>/dev/null
    [ -n "${owner_pid:-}" ] && kill "$owner_pid" 2>/dev/null
    wineserver -k 2>/dev/null
    kill "${xvfb_pid:-}" 2>/dev/null
    rm -rf "$work" "${xvfb_log:-}"
}
trap cleanup EXIT
# Room for the window at 144 dots per inch.
start_xvfb 2000 1250 || exit 1

# Wine's desktop takes the size of the X screen it first meets, so its server starts on ours,
# and stays up for the whole run. Without a window manager, Wine frames its windows itself.
mkdir -p "$WINEPREFIX"
wineserver -p
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

# The program's windows titled TITLE, by width: the main window is the widest.
windows_titled() {
    for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        echo "$WIDTH $w"
    done | sort -n | awk '{print $2}'
}
# Starts the program at DPI dots per inch and waits for its window: sets app_pid and window.
start_program() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1
    wine "$exe" >"$work/app.log" 2>&1 &
    app_pid=$!
    window=""
    for _ in $(seq 200); do
        window=$(windows_titled Sorvane | tail -1)
        [ -n "$window" ] || ! kill -0 "$app_pid" 2>/dev/null && break
        sleep 0.1
    done
    sleep 0.5  # the first paint
}
stop_program() {
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
    app_pid=""
}

keys() { xdotool windowfocus --sync "$window" key --delay 60 "$@"; }
tabs() { local n=$1; shift; keys $(printf 'Tab %.0s' $(seq "$n")) "$@"; }
# Offers a file, pastes it with the keys given, and waits until Wine has taken the text.
paste_file() {
    offer "$1"
    shift
    keys "$@"
    served 0.5
}
# Waits until a message box titled TITLE stands beside the main window; its window in `box`.
box_shown() {
    box=""
    local w
    for _ in $(seq 150); do
        for w in $(windows_titled "$1"); do [ "$w" != "$window" ] && box=$w; done
        [ -n "$box" ] && return 0
        sleep 0.1
    done
    return 1
}
# Answers the message box with a key and waits until it has gone.
answer_box() {
    xdotool windowfocus --sync "$box" key "$1"
    for _ in $(seq 50); do
        windows_titled "$2" | grep -qx "$box" || return 0
        sleep 0.1
    done
    return 1
}

# List 1 as a Windows spreadsheet copies it; List 2 as a Linux one does, with LF row ends, no
# final line break and accents.
printf 'Ann\t12\tRome\r\nBob\t7\tParis\r\n <b>Cid</b> \t3\tOslo\r\nAnn\t99\tLima\r\n' >"$work/one.txt"
printf 'Bob\tB\303\251\nAnn\tA\303\205\nZed\t\360\237\230\200\nann\ta' >"$work/two.txt"

start_program 96
# A Wine program started while its new prefix is still settling can end at once: once more.
if [ -z "$window" ]; then
    echo "The program ended without a window; Wine said:"
    cat "$work/app.log"
    start_program 96
fi
check "window shown" yes "$([ -n "$window" ] && echo yes)"
[ -n "$window" ] || { echo "Wine said:"; cat "$work/app.log"; describe_xvfb; finish; exit 1; }
# The client area of the design, 1272 x 745 pixels, in Wine's own frame.
eval "$(xdotool getwindowgeometry --shell "$window")"
check "window size at 96 dpi" "1280x772" "${WIDTH}x${HEIGHT}"

# The tab order, from the first focus (the List 1 chooser of the 1st comparison): the eight
# choosers row by row (0 to 7), Compare (8), the six lists (9 to 14), the six toolbars (15 to 20),
# Text1, Text2 and "?" (21 to 23), then round again.
paste_file "$work/one.txt" $(printf 'Tab %.0s' $(seq 15)) space  # Toolbar1: Paste records
paste_file "$work/two.txt" Tab Return                           # Toolbar2, by Enter
kill "$offer_pid" 2>/dev/null
tabs 8 1 Tab 1 alt+c  # round to the 1st comparison row: column 1 with column 1; Compare
sleep 0.5
# Alt+C clicks Compare, which takes the focus as a clicked button does; Toolbar3 is 9 on.
tabs 9 space
expected=$(bytes 'Ann\t12\tRome\rBob\t7\tParis\r')
check "Matches of List 1, copied by Space" "$expected" "$(clipboard_after "$expected")"
tabs 1 Return
expected=$(bytes 'Ann\tA\303\205\rBob\tB\303\251\r')
check "Matches of List 2, copied by Enter" "$expected" "$(clipboard_after "$expected")"
tabs 1 space
expected=$(bytes '<b>Cid</b>\t3\tOslo\rAnn\t99\tLima\r')
check "Records not found of List 1" "$expected" "$(clipboard_after "$expected")"
tabs 1 Return
expected=$(bytes 'Zed\t\360\237\230\200\rann\ta\r')
check "Records not found of List 2, a character beyond the BMP kept" "$expected" \
    "$(clipboard_after "$expected")"
import -window root "$shots-96.png"
check "screenshot at 96 dpi" yes "$([ -s "$shots-96.png" ] && echo yes)"

# A refusal: List 2 pasted again empties its choosers, so the 1st comparison row is incomplete.
paste_file "$work/two.txt" shift+Tab shift+Tab shift+Tab shift+Tab Return  # Toolbar2
kill "$offer_pid" 2>/dev/null
keys alt+c
box_shown Sorvane
check "Compare with a chooser unset: refusal shown" 0 $?
import -window root "$shots-refusal.png"
check "Enter (OK) closes the refusal" yes "$(answer_box Return Sorvane && echo yes)"

# The error report: the owner of the X clipboard offers a text and never sends it; Wine gives up
# waiting, and the paste fails. Escape is Cancel.
if [ -x "$test_owner" ]; then
    QT_QPA_PLATFORM=xcb "$test_owner" never >"$work/owner.log" 2>&1 &
    owner_pid=$!
    for _ in $(seq 50); do grep -q offering "$work/owner.log" && break; sleep 0.1; done
    tabs 7 space  # from Compare, which the refusal left the focus on, to Toolbar1
    box_shown Sorvane
    check "a clipboard that never sends its text: error report shown" 0 $?
    import -window root "$shots-error-report.png"
    check "Escape (Cancel) closes the report" yes "$(answer_box Escape Sorvane && echo yes)"
    kill "$owner_pid" 2>/dev/null
    owner_pid=""
    check "program still running after the fault" yes \
        "$(kill -0 "$app_pid" 2>/dev/null && echo yes)"
    # And it goes on working with the records of List 1 that were there before the paste that
    # failed, and its 1st chooser's column (List 2, pasted since, needs its own again): the
    # focus is back on Toolbar1.
    tabs 10 1 alt+c
    sleep 0.5
    tabs 9 space
    expected=$(bytes 'Ann\t12\tRome\rBob\t7\tParis\r')
    check "a cancelled paste kept List 1, and it works after the fault" "$expected" \
        "$(clipboard_after "$expected")"
    to_help=6  # from Toolbar3
else
    echo "No test_owner given: the error report is not tested."
    to_help=15  # from Compare
fi

# The instructions: "?" (23) by Space.
tabs "$to_help" space
box_shown Instructions
check "instructions shown" 0 $?
import -window root "$shots-instructions.png"
check "Enter closes the instructions" yes "$(answer_box Return Instructions && echo yes)"
stop_program

# The same window at 144 dots per inch: half as large again, and still working.
start_program 144
check "window shown at 144 dpi" yes "$([ -n "$window" ] && echo yes)"
eval "$(xdotool getwindowgeometry --shell "$window")"
check "window size at 144 dpi" "1918x1156" "${WIDTH}x${HEIGHT}"
paste_file "$work/one.txt" $(printf 'Tab %.0s' $(seq 15)) space
paste_file "$work/two.txt" Tab Return
kill "$offer_pid" 2>/dev/null
tabs 8 1 Tab 1 alt+c
sleep 0.5
tabs 11 space  # Toolbar5
expected=$(bytes '<b>Cid</b>\t3\tOslo\rAnn\t99\tLima\r')
check "at 144 dpi: Records not found of List 1" "$expected" "$(clipboard_after "$expected")"
import -window root "$shots-144.png"
check "screenshot at 144 dpi" yes "$([ -s "$shots-144.png" ] && echo yes)"
stop_program

finish
