#!/usr/bin/env bash
# Drives sorvane-compare from outside, as a user's script would: the four result files byte for
# byte for each input form and option, the exit statuses and messages of refusals and errors,
# that a failed run leaves no file behind, and the results against an expectation made without
# the program (expected_results.awk) on generated lists.
#
#   compare_test.sh SORVANE_COMPARE [SORVANE_GENERATE]
#
# SORVANE_COMPARE may be a command of several words, such as "wine sorvane-compare.exe"; the
# Windows build runs only the first cases then (WINDOWS_CASES_ONLY=1).
set -u
read -r -a tool <<<"$1"
# The tests run from folders of their own: the program by its full path.
[ -e "${tool[-1]}" ] && tool[-1]=$(realpath "${tool[-1]}")
generate=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
source "$here/../support/checks.sh"
export LC_ALL=C

file_bytes() { od -An -c "$1" | tr -s ' \n' ' '; }
names="matches-list1 matches-list2 not-found-list1 not-found-list2"

# compare NAME "" "" "OPTIONS" STATUS M1 M2 N1 N2: runs the tool on the two lists of case NAME with OPTIONS into a fresh folder, and checks the exit status and the four
# result files (printf formats; "-" when the file must not exist).
compare() {
    local name=$1 options=$4 status=$5 ext=tsv
    shift 5
    local out=$work/$name-out
    [[ " $options " == *" --csv "* ]] && ext=csv
    # shellcheck disable=SC2086
    (cd "$work" && "${tool[@]}" -q $options -o "$out" "$name-1" "$name-2") >"$work/stdout" 2>"$work/stderr"
    check "$name: exit status" "$status" $?
    local expected
    for file in $names; do
        if [ "$1" == "-" ]; then
            check "$name: no $file" no "$([ -e "$out/$file.$ext" ] && echo yes || echo no)"
        else
            printf "$1" >"$work/want"
            check "$name: $file.$ext" "$(file_bytes "$work/want")" "$(file_bytes "$out/$file.$ext" 2>&1)"
        fi
        shift
    done
}
# list NAME SIDE BYTES: the bytes of list SIDE (1 or 2) of case NAME, as a printf format.
list() { printf "$3" >"$work/$1-$2"; }

# Each case: its two lists, then the call.          options                   exit  matches-list1         matches-list2    not-found-list1                 not-found-list2
# The end-to-end test's lists: List 1 as Windows spreadsheets copy it, List 2 as Linux ones do.
list Window 1 'Ann\t12\tRome\r\nBob\t7\tParis\r\n <b>Cid</b> \t3\tOslo\r\nAnn\t99\tLima\r\n'
list Window 2 'Bob\tB\nAnn\tA\nZed\tZ\nann\ta'
compare Window '' '' "-c 1:1 --line-end cr"                             0  'Ann\t12\tRome\rBob\t7\tParis\r' 'Ann\tA\rBob\tB\r' '<b>Cid</b>\t3\tOslo\rAnn\t99\tLima\r' 'Zed\tZ\rann\ta\r'
list Utf16 1 '\xff\xfek\x00\t\x00\xe9\x00\r\x00\n\x00'
list Utf16 2 '\xef\xbb\xbfk\t\xc3\xa9\r\n'
compare Utf16 '' '' "--columns 2:2 --line-end lf"                        0  'k\t\303\251\n'       'k\t\303\251\n'  ''                              ''
[ "${WINDOWS_CASES_ONLY:-}" == 1 ] && { finish; exit; }
list Utf16Be 1 '\xfe\xff\x00a\x00\r\x00b\x00\r'
list Utf16Be 2 'b\ra\r'
compare Utf16Be '' '' "-c 1:1 --line-end crlf"                           0  'a\r\nb\r\n'           'a\r\nb\r\n'     ''                              ''
list LoneCr 1 'x\t1\ry\t2'
list LoneCr 2 'y\rx\r'
compare LoneCr '' '' "-c1:1 --line-end=lf"                              0  'x\t1\ny\t2\n'        'x\ny\n'         ''                              ''
# A quoted cell holding a line break keeps its quotes and loses the break, as a paste gives it.
list Quoted 1 '"two\nlines"\tq\nplain\tp\n'
list Quoted 2 'plain\n'
compare Quoted '' '' "-c 1:1 --line-end lf"                             0  'plain\tp\n'          'plain\n'        '"twolines"\tq\n'               ''
list Spaces 1 ' a \t x \r\n'
list Spaces 2 'a\r\n'
compare Spaces '' '' "-c 1:1 --line-end lf"                             0  'a\tx\n'              'a\n'            ''                              ''
list TwoRows 1 'k\t1\r\nk\t2\r\n'
list TwoRows 2 'k\t2\r\n'
compare TwoRows '' '' "-c 1:1 -c 2:2 --line-end lf"                     0  'k\t2\n'              'k\t2\n'         'k\t1\n'                        ''
list Csv 1 'id,name\r\n7,"Smith, ""Jo""\r\nJr."\r\n8,x'
list Csv 2 '8,y\n7,z\n'
compare Csv '' '' "--csv -c 1:1 --line-end lf"                           0  '7,"Smith, ""Jo""Jr."\n8,x\n' '7,z\n8,y\n' 'id,name\n' ''
list CsvSemicolon 1 '1,5;"a;b"\n'
list CsvSemicolon 2 '"1,5";c\n'
compare CsvSemicolon '' '' "--csv --delimiter ; -c 1:1 --line-end crlf"  0  '1,5;"a;b"\r\n'       '1,5;c\r\n'      ''                              ''
# Refused: exit 1, nothing written.
list EmptyFile 1 ''
list EmptyFile 2 'a\n'
compare EmptyFile '' '' "-c 1:1"                                         1  -  -  -  -
check "EmptyFile: the window's message" \
    "To make the comparison it is necessary that List 1 contains at least one record." "$(cat "$work/stderr")"
list NoRows 1 'a\n'
list NoRows 2 'a\n'
compare NoRows '' '' ""                                                  1  -  -  -  -
check "NoRows: the window's message" \
    "To make the comparison it is necessary to select the rows to compare." "$(cat "$work/stderr")"
list NoColumn 1 'a\tb\n'
list NoColumn 2 'a\n'
compare NoColumn '' '' "-c 1:1 -c 3:1"                                   1  -  -  -  -
check "NoColumn: the window's message" \
    "The 2nd comparison names column \"3\" of List 1, which does not exist. Choose a column from 1 to 2." \
    "$(cat "$work/stderr")"
# Usage errors: exit 2 and a message, nothing written.
for bad in "-c 0:1" "-c x:1" "-c 1" "-c 1:1 -c 1:1 -c 1:1 -c 1:1 -c 1:1" "--line-end dos -c 1:1" \
    "--delimiter ; -c 1:1" "--csv --delimiter ab -c 1:1" "--frobnicate -c 1:1"; do
    list Usage 1 'a\n'
    list Usage 2 'a\n'
    compare Usage '' '' "$bad"                                           2  -  -  -  -
    check "usage error for $bad: message" 1 "$(grep -c '^sorvane-compare: .*' "$work/stderr")"
done

# Standard input as List 2, and the summary line with its digits grouped.
seq 1500 | sed 's/^/k/' >"$work/many"
out=$(seq 1499 -1 1 | sed 's/^/k/' | (cd "$work" && "${tool[@]}" -c 1:1 -o stdin-out many -)); status=$?
check "standard input: exit status" 0 "$status"
check "standard input: summary line" \
    "1,499 pairs; 1 records of List 1 and 0 of List 2 without a partner" "$out"
check "standard input: not found" "k1500" "$(cat "$work/stdin-out/not-found-list1.tsv")"
check "both lists from standard input" 2 "$("${tool[@]}" -c 1:1 - - </dev/null >/dev/null 2>&1; echo $?)"
check "-q prints nothing" "" "$(cd "$work" && "${tool[@]}" -q -c 1:1 -o quiet many many)"
check "default folder is the current one" yes \
    "$(cd "$work/quiet" && "${tool[@]}" -q -c 1:1 ../many ../many && [ -s matches-list1.tsv ] && echo yes)"
check "--help: usage, exit 0" "0 Usage: sorvane-compare [options] LIST1 LIST2" \
    "$("${tool[@]}" --help | head -1 | sed 's/^/0 /'; exit "${PIPESTATUS[0]}")"
check "--version" "sorvane-compare " "$("${tool[@]}" --version | grep -o '^sorvane-compare ')"

# Files that cannot be read or written: exit 2, a message naming the file and why, no file.
err=$("${tool[@]}" -c 1:1 -o "$work/none" "$work/missing.tsv" "$work/many" 2>&1); status=$?
check "missing list" "2 sorvane-compare: $work/missing.tsv: No such file or directory" "$status $err"
check "missing list: no folder made" no "$([ -e "$work/none" ] && echo yes || echo no)"
err=$("${tool[@]}" -c 1:1 -o "$work/none" "$work/many" "$work" 2>&1); status=$?
check "folder as a list" "2 sorvane-compare: $work: Is a directory" "$status $err"
err=$("${tool[@]}" -c 1:1 -o "$work/many/out" "$work/many" "$work/many" 2>&1); status=$?
check "output folder under a file" "2 sorvane-compare: $work/many/out: Not a directory" "$status $err"
# A disk that fills up part way: results already there stay as they were, no part is left.
mkdir "$work/full" && echo old >"$work/full/matches-list1.tsv"
[ -n "$generate" ] && "$generate" "$work/g1.tsv" "$work/g2.tsv" --records 3000 --seed 11
if [ -n "$generate" ]; then
    err=$(trap '' XFSZ; ulimit -f 64; "${tool[@]}" -c 1:1 -o "$work/full" "$work/g1.tsv" "$work/g2.tsv" 2>&1)
    status=$?
    check "full disk: exit status" 2 "$status"
    check "full disk: message names the file" 1 \
        "$(grep -Ec "^sorvane-compare: $work/full/[a-z0-9-]+\.tsv: File too large$" <<<"$err")"
    check "full disk: earlier result kept, nothing else" "matches-list1.tsv old" \
        "$(cd "$work/full" && ls -A | tr '\n' ' ' && cat matches-list1.tsv)"

    # Generated lists against the pairing's definition, written as Copy records writes.
    mkdir "$work/expected"
    awk -v out="$work/expected" -f "$here/../e2e/expected_results.awk" "$work/g2.tsv" "$work/g1.tsv"
    "${tool[@]}" -q -c 1:1 --line-end cr -o "$work/generated" "$work/g1.tsv" "$work/g2.tsv"
    for pair in matches1:matches-list1 matches2:matches-list2 notfound1:not-found-list1 \
        notfound2:not-found-list2; do
        touch "$work/expected/${pair%%:*}.tsv"
        check "generated lists: ${pair#*:}" same \
            "$(cmp -s "$work/expected/${pair%%:*}.tsv" "$work/generated/${pair#*:}.tsv" && echo same)"
    done
fi

finish
