#!/usr/bin/env bash
# Runs a Windows test program under Wine for ctest:
#
#   wine_run.sh WINE PROGRAM [ARGUMENTS...]
#
# Now and then, among many Wine programs started side by side, one ends at once with a failure
# and without a word: Wine did not start it, and its tests never ran. Every test program here
# says something when it runs (GoogleTest prints its banner first), so a silent failure is
# started once more, and said so; a program that ran and failed keeps its failure.
set -u
wine=$1
shift
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$wine" "$@" >"$out" 2>"$err"
status=$?
if [ "$status" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
    echo "wine_run.sh: $1 ended with status $status before saying anything; starting it again" >&2
    "$wine" "$@"
    exit $?
fi
cat "$out"
cat "$err" >&2
exit "$status"
