#!/usr/bin/env bash
# Installs the Windows installer under Wine as a person would get it, into a Wine of the test's
# own: checks that the program, its licence, the Start menu's shortcut and the entry in Apps
# (Add or Remove Programs) are in place; starts the program from that shortcut on an Xvfb of its
# own and waits for its window titled "Sorvane", then closes it as the window's close box does;
# then uninstalls and checks that all of it is gone. Leaves a screenshot of the window behind
# when given a name for it.
#
#   msi_test.sh Sorvane-VERSION-x64.msi [SCREENSHOT.png]
set -u
msi=$(realpath "$1")
screenshot=${2:-}
work=$(mktemp -d)
source "$(dirname "$0")/../support/checks.sh"

# A new Wine each time: what a run before left installed must not pass for this one's work.
# winemenubuilder is off so that Wine does not copy the shortcut into this user's own desktop
# menu; mscoree and mshtml, so that it does not offer to fetch .NET and Gecko.
export WINEPREFIX=$work/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
mkdir -p "$WINEPREFIX"

cleanup() {
    wineserver -k 2>/dev/null
    kill "${xvfb_pid:-}" 2>/dev/null
    rm -rf "$work" "${xvfb_log:-}"
}
trap cleanup EXIT
start_xvfb 1400 900 || { finish; exit 1; }

started=$(date +%s)
# One Wine server for the whole run, so each wine command below need not start one and wait
# for it to go.
wineserver -p
# No window manager runs: Wine draws the windows' frames itself. Being the first wine command,
# this also sets the new Wine up. (Run just after a wineboot -i of its own instead, it left
# Wine's RPC service unable to start, and msiexec /x waited 10 s for it.)
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$work/setup.log" 2>&1
echo "Wine set up in $(($(date +%s) - started)) s"

drive_c=$WINEPREFIX/drive_c
folder="$drive_c/Program Files/Sorvane"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
products_key='HKLM\Software\Classes\Installer\Products'

# The Start menu's shortcuts named Sorvane. Windows puts a per-machine installation's in
# ProgramData; Wine 8 puts them in the user's own Start menu all the same.
shortcuts() { find "$drive_c" -path '*/Start Menu/Programs/Sorvane.lnk' 2>/dev/null; }

# The subkeys of KEY holding the value NAME equal to Sorvane, each as a line "key KEY\SUBKEY"
# followed by lines "NAME VALUE" of its values.
sorvane_keys() {
    wine reg query "$1" /s 2>/dev/null | tr -d '\r' | awk -v wanted="$2" '
        /^HKEY/ { flush(); key = $0; n = 0; next }
        /REG_/ {
            name = $1; sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]*/, "")
            names[++n] = name; values[n] = $0
        }
        function flush(   i) {
            for (i = 1; i <= n; i++) if (names[i] == wanted && values[i] == "Sorvane") break
            if (i > n) return
            print "key " key
            for (i = 1; i <= n; i++) print names[i] " " values[i]
        }
        END { flush() }'
}
value_of() { awk -v name="$1" '$1 == name { sub(/^[^ ]+ /, ""); print; exit }' <<<"$2"; }

# Install, with no user interface, as a deployment tool would.
before=$(date +%s)
wine msiexec /i "$(winepath -w "$msi")" /qn >"$work/install.log" 2>&1
check "msiexec /i succeeds" 0 $?
echo "Installed in $(($(date +%s) - before)) s"
check "sorvane.exe is installed" yes "$([ -s "$folder/sorvane.exe" ] && echo yes)"
# The installed console program compares two lists, writing its summary to the console.
printf 'a\tx\r\nb\ty\r\n' >"$work/one.tsv"
printf 'b\r\n' >"$work/two.tsv"
summary=$(cd "$work" && wine "$folder/sorvane-compare.exe" -c 1:1 -o results one.tsv two.tsv 2>/dev/null | tr -d '\r')
check "sorvane-compare.exe is installed and compares" \
    "1 pairs; 1 records of List 1 and 0 of List 2 without a partner" "$summary"
check "LICENSE.txt is installed" yes \
    "$(grep -q 'MIT License' "$folder/LICENSE.txt" 2>/dev/null && echo yes)"
shortcut=$(shortcuts)
check "the Start menu has one shortcut" 1 "$(grep -c . <<<"$shortcut")"

entry=$(sorvane_keys "$uninstall_key" DisplayName)
check "Apps has one entry" 1 "$(grep -c '^key ' <<<"$entry")"
check "its publisher" "The Sorvane developers" "$(value_of Publisher "$entry")"
# The version the installer was built for, from its own file name.
version=$(basename "$msi" | sed -n 's/^Sorvane-\(.*\)-x64\.msi$/\1/p')
check "its version" "$version" "$(value_of DisplayVersion "$entry")"
# Apps shows the icon that Windows Installer keeps for the product: Windows names it in the
# entry as DisplayIcon, Wine only in the product's own key as ProductIcon.
product=$(sorvane_keys "$products_key" ProductName)
icon=$(value_of DisplayIcon "$entry")
icon=${icon:-$(value_of ProductIcon "$product")}
icon_file=$([ -n "$icon" ] && winepath -u "$icon" 2>/dev/null)
check "its icon holds every size" "16 24 32 48 64 256" \
    "$([ -n "$icon_file" ] && identify -format '%w ' "$icon_file" 2>/dev/null | xargs)"
[ "$failed" -eq 0 ] || printf 'The entry and the product:\n%s\n%s\n' "$entry" "$product"

# The Unix processes of the installed program in this test's Wine.
program_processes() {
    local pid
    for pid in $(pgrep -f 'sorvane\.exe$'); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            echo "$pid"
    done
}

# Start the program as a person does, from the Start menu's shortcut.
wine start "$(winepath -w "$(head -1 <<<"$shortcut")")" >"$work/start.log" 2>&1
started_ok=$?
window=
for _ in $(seq 600); do
    [ "$started_ok" -eq 0 ] || break
    window=$(xdotool search --onlyvisible --name '^Sorvane$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
check "the installed program shows its window" yes "$([ -n "$window" ] && echo yes)"
program=$(program_processes | head -1)
if [ -n "$window" ]; then
    sleep 1
    [ -n "$screenshot" ] && import -window root "$screenshot"
    # taskkill without /f sends WM_CLOSE, as the window's close box does.
    wine taskkill /im sorvane.exe >"$work/close.log" 2>&1
    for _ in $(seq 100); do
        [ -z "$program" ] || ! kill -0 "$program" 2>/dev/null && break
        sleep 0.1
    done
    check "the program ends when its window is closed" "found ended" \
        "$([ -n "$program" ] && echo found) $(kill -0 "$program" 2>/dev/null && echo running ||
            echo ended)"
else
    cat "$work/start.log"
fi
# Whatever is left of it, so that it holds no file the uninstall should remove.
[ -n "$program" ] && kill "$program" 2>/dev/null

before=$(date +%s)
wine msiexec /x "$(winepath -w "$msi")" /qn >"$work/uninstall.log" 2>&1
check "msiexec /x succeeds" 0 $?
echo "Uninstalled in $(($(date +%s) - before)) s"
check "sorvane.exe is gone" no "$([ -e "$folder/sorvane.exe" ] && echo yes || echo no)"
check "sorvane-compare.exe is gone" no \
    "$([ -e "$folder/sorvane-compare.exe" ] && echo yes || echo no)"
check "LICENSE.txt is gone" no "$([ -e "$folder/LICENSE.txt" ] && echo yes || echo no)"
check "the Sorvane folder is gone" no "$([ -e "$folder" ] && echo yes || echo no)"
[ -e "$folder" ] && ls -la "$folder"
check "the shortcut is gone" "" "$(shortcuts)"
check "the entry in Apps is gone" "" "$(sorvane_keys "$uninstall_key" DisplayName)"
check "the product's icon is gone" no "$([ -e "$icon_file" ] && echo yes || echo no)"

echo "Took $(($(date +%s) - started)) s"
finish
