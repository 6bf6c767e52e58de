# The four result lists of a comparison on column 1 of each list, by the pairing's definition:
# the k-th record of List 1 with a key pairs with the k-th record of List 2 with that key (keys
# compared without their outer spaces). Writes them as Copy records would: every cell without
# its outer spaces, TAB between cells, CR after each row.
#
#   awk -v out=DIR -f expected_results.awk LIST2 LIST1      (note: List 2 first)
BEGIN { RS = "\r\n"; FS = "\t"; ORS = "\r" }

function trim(s) { gsub(/^ +| +$/, "", s); return s }
function trimmed_row(   i, row) {
    row = trim($1)
    for (i = 2; i <= NF; i++) row = row "\t" trim($i)
    return row
}

FNR == 1 { file++ }

file == 1 {                       # List 2: remember each record under its key and occurrence
    key = trim($1)
    k = ++count2[key]
    record2[key, k] = trimmed_row()
    order2[FNR] = key SUBSEP k
    n2 = FNR
    next
}

{                                 # List 1, in order
    key = trim($1)
    k = ++count1[key]
    if (k <= count2[key]) {
        print trimmed_row() > (out "/matches1.tsv")
        print record2[key, k] > (out "/matches2.tsv")
    } else {
        print trimmed_row() > (out "/notfound1.tsv")
    }
}

END {
    for (i = 1; i <= n2; i++) {
        split(order2[i], part, SUBSEP)
        if (part[2] > count1[part[1]]) print record2[part[1], part[2]] > (out "/notfound2.tsv")
    }
}
