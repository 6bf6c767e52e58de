#!/usr/bin/env bash
# Runs a Windows program under Wine on an X server of its own, in the Wine prefix PREFIX, which
# it makes on its first run:
#
#   run_in_wine_on_xvfb.sh PREFIX PROGRAM [ARGUMENTS...]
#
# Wine makes windows only on a display, and a prefix's desktop keeps the display it first met;
# so tests that make windows have a prefix of their own, apart from the tests run without a
# display, and take turns in it. Wine's server lives as long as the program.
set -u
source "$(dirname "$0")/../support/checks.sh"
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
start_xvfb 1400 900 || exit 1
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null; kill "$xvfb_pid" 2>/dev/null; rm -f "$xvfb_log"' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
fi
wine "$@"
