#!/usr/bin/env bash
# Two lists of RECORDS records of ten columns (1,000,000 unless $SCALE_RECORDS says otherwise)
# through the real X clipboard and the window: pasted, compared on column 1, and each of the four
# result lists copied back with xclip and checked byte for byte against an expectation made
# independently of the program (awk, by the pairing's definition; sort and comm for the count
# of pairs). Prints the window's times and peak memory.
#
#   scale_test.sh SORVANE_WINDOW_BENCH SORVANE_GENERATE
set -u
window_bench=$1
generate=$2
here=$(cd "$(dirname "$0")" && pwd)
records=${SCALE_RECORDS:-1000000}
work=$(mktemp -d)
source "$here/../support/checks.sh"
trap 'kill "${xvfb_pid:-}" 2>/dev/null; rm -rf "$work" "${xvfb_log:-}"' EXIT
start_xvfb 1400 900 || exit 1

"$generate" "$work/one.tsv" "$work/two.tsv" --records "$records"
ls -l "$work/one.tsv" "$work/two.tsv" | awk '{print $5, $9}'
mkdir "$work/window" "$work/expected"
"$window_bench" "$work/one.tsv" "$work/two.tsv" --out "$work/window" 2>/dev/null

awk -v out="$work/expected" -f "$here/expected_results.awk" "$work/two.tsv" "$work/one.tsv"
for f in matches1 matches2 notfound1 notfound2; do
    touch "$work/expected/$f.tsv"
    check "$f.tsv byte for byte" same "$(cmp -s "$work/expected/$f.tsv" "$work/window/$f.tsv" && echo same)"
done

# The count of pairs as sort and comm see it: the common part of the two sorted key lists.
keys() { cut -f1 "$1" | tr -d '\r' | sed 's/^ *//; s/ *$//' | LC_ALL=C sort; }
pairs=$(LC_ALL=C comm -12 <(keys "$work/one.tsv") <(keys "$work/two.tsv") | wc -l)
first_count=$(head -1 "$work/window/counts.txt" | tr -d ',' | awk '{print $1}')
check "pairs counted by comm" "$pairs" "$first_count"
check "no record lost from List 1" "$records" \
    "$(( $(tr -cd '\r' <"$work/window/matches1.tsv" | wc -c) + $(tr -cd '\r' <"$work/window/notfound1.tsv" | wc -c) ))"
check "no record lost from List 2" "$records" \
    "$(( $(tr -cd '\r' <"$work/window/matches2.tsv" | wc -c) + $(tr -cd '\r' <"$work/window/notfound2.tsv" | wc -c) ))"

finish
