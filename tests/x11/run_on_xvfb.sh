#!/usr/bin/env bash
# Runs a test program on an X server of its own: run_on_xvfb.sh PROGRAM [ARGUMENTS...]
set -u
source "$(dirname "$0")/../support/checks.sh"
start_xvfb 800 600 || exit 1
trap 'kill "$xvfb_pid" 2>/dev/null; rm -f "$xvfb_log"' EXIT
"$@"
