#!/usr/bin/env bash
# Drives sorvane-bench from outside, as other checks of the engine do: exact bytes of the copied
# result lists and counts, the refusals and their exit code, the line-end handling, and the fast
# engine against the literal one on generated lists.
#
#   bench_tool_test.sh SORVANE_BENCH SORVANE_GENERATE
set -u
bench=$1
generate=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../support/checks.sh"

file_bytes() { od -An -c "$1" | tr -s ' \n' ' '; }
bytes_of() { printf "$1" > "$work/expected"; file_bytes "$work/expected"; }

# A comparison on column 1 into a folder that does not exist yet, List 2 copied from Linux with LF line ends and no final line break.
printf 'a\tx\r\nb\ty\r\n a \tz\r\n' > "$work/one.tsv"
printf 'a\t1\nc\t2' > "$work/two.tsv"
summary=$("$bench" "$work/one.tsv" "$work/two.tsv" -c 1:1 --out "$work/out")
check "exit code" 0 $?
check "summary line" "pairs=1 unmatched1=2 unmatched2=1" "$(head -1 <<<"$summary")"
check "timings line" "load_ms paste1_ms paste2_ms compare_ms compare_again_ms copy_ms sort_ms sort_numbers_ms peak_rss_mb" \
    "$(sed -n 2p <<<"$summary" | sed -E 's/=[0-9.]+//g')"
check "matches1.tsv" "$(bytes_of 'a\tx\r')" "$(file_bytes "$work/out/matches1.tsv")"
check "matches2.tsv" "$(bytes_of 'a\t1\r')" "$(file_bytes "$work/out/matches2.tsv")"
check "notfound1.tsv" "$(bytes_of 'b\ty\ra\tz\r')" "$(file_bytes "$work/out/notfound1.tsv")"
check "notfound2.tsv" "$(bytes_of 'c\t2\r')" "$(file_bytes "$work/out/notfound2.tsv")"
check "counts.txt" "$(printf '1 records.\n1 records.\n2 records.\n1 records.')" \
    "$(cat "$work/out/counts.txt")"

# Without the line-end function, LF ends nothing: List 2 is one record "a", "1c", "2".
summary=$("$bench" "$work/one.tsv" "$work/two.tsv" -c 1:1 --raw --out "$work/out")
check "raw summary" "pairs=1 unmatched1=2 unmatched2=0" "$(head -1 <<<"$summary")"
check "raw matches2.tsv" "$(bytes_of 'a\t1c\t2\r')" "$(file_bytes "$work/out/matches2.tsv")"
check "empty list gives an empty file" 0 "$(stat -c %s "$work/out/notfound2.tsv")"

# Two comparison rows, the second naming column 2 on both sides.
printf 'k\t1\r\nk\t2\r\n' > "$work/three.tsv"
printf 'k\t2\r\n' > "$work/four.tsv"
check "two rows" "pairs=1 unmatched1=1 unmatched2=0" \
    "$("$bench" "$work/three.tsv" "$work/four.tsv" -c 1:1 -c 2:2 | head -1)"

# Refusals: exit 2 and the message.
out=$("$bench" "$work/one.tsv" "$work/two.tsv"); code=$?
check "no row chosen" "2 refused: To make the comparison it is necessary to select the rows to compare." "$code $out"
out=$("$bench" "$work/one.tsv" "$work/two.tsv" -c 1:1 -c 3:); code=$?
check "half-chosen row is not chosen" 0 "$code"
out=$("$bench" "$work/one.tsv" "$work/two.tsv" -c 1:1 -c ' 9 :2'); code=$?
check "column that does not exist" \
    "2 refused: The 2nd comparison names column \" 9 \" of List 1, which does not exist. Choose a column from 1 to 2." \
    "$code $out"
: > "$work/empty.tsv"
out=$("$bench" "$work/one.tsv" "$work/empty.tsv" -c 1:1); code=$?
check "empty List 2" "2 refused: To make the comparison it is necessary that List 2 contains at least one record." "$code $out"

"$bench" "$work/one.tsv" >/dev/null 2>&1
check "usage error" 64 $?
"$bench" "$work/one.tsv" "$work/two.tsv" --engine slow >/dev/null 2>&1
check "unknown engine" 64 $?

# The fast engine gives byte for byte what the literal one gives, on generated lists.
"$generate" "$work/g1.tsv" "$work/g2.tsv" --records 3000 --seed 5
"$bench" "$work/g1.tsv" "$work/g2.tsv" -c 1:1 --out "$work/fast/new/folder" >/dev/null
"$bench" "$work/g1.tsv" "$work/g2.tsv" -c 1:1 --engine literal --out "$work/literal" >/dev/null
for f in matches1.tsv matches2.tsv notfound1.tsv notfound2.tsv counts.txt; do
    check "fast equals literal: $f" same "$(cmp -s "$work/fast/new/folder/$f" "$work/literal/$f" && echo same)"
done
check "generated lists pair some records" 1 \
    "$(head -1 "$work/fast/new/folder/counts.txt" | tr -d , | awk '$1 > 100 {print 1}')"

finish
