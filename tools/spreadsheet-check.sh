#!/bin/sh
# Puts the table each report copies (its worked example, Ctrl+Shift+C) through
# a real spreadsheet's HTML reader, gnumeric's ssconvert, and prints the CSV it
# makes. Each record must be one row of one value a cell, and every amount a
# number in the sheet, not text.
#   tools/spreadsheet-check.sh [build folder, default build]
# Needs ssconvert (apt-get install --no-install-recommends gnumeric) and
# python3. Gnumeric's HTML reader folds a run of blanks into one ("일 반"),
# whatever the page's style says; the copied HTML keeps them.
set -eu
build=$(realpath "${1:-build}")
command -v ssconvert >/dev/null || { echo "needs ssconvert (gnumeric)" >&2; exit 77; }
command -v python3 >/dev/null || { echo "needs python3" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for program in tollsheet wagesheet; do
    # The test that copies the worked example, its records, and the columns
    # (counted from 1) that hold amounts.
    case $program in
    tollsheet) test=copiesTheTable records=3 columns=6 amounts=3,4,5 ;;
    wagesheet) test=printsWhatItShowsAsPdf records=4 columns=8 amounts=3,4,5,6,7,8 ;;
    esac
    SHEETS_COPIED_HTML="$work/$program.html" QT_QPA_PLATFORM=offscreen \
        "$build/bin/test_${program}_report" "$test" >"$work/$program.log" 2>&1 ||
        { cat "$work/$program.log" >&2; exit 1; }
    ssconvert "$work/$program.html" "$work/$program.csv" 2>"$work/$program.err" &&
        ssconvert --export-type=Gnumeric_XmlIO:sax "$work/$program.html" "$work/$program.gnumeric" 2>>"$work/$program.err" ||
        { cat "$work/$program.err" >&2; exit 1; }
    echo "== $program"
    cat "$work/$program.csv"
    python3 - "$program" "$work/$program.csv" "$work/$program.gnumeric" "$records" "$columns" "$amounts" <<'EOF' || status=1
import csv, gzip, sys
import xml.etree.ElementTree as ET
program, csv_path, sheet_path = sys.argv[1:4]
records, columns = int(sys.argv[4]), int(sys.argv[5])
amounts = [int(c) - 1 for c in sys.argv[6].split(",")]
faults = []
with open(csv_path, encoding="utf-8", newline="") as f:
    rows = list(csv.reader(f))
if len(rows) != 1 + records:
    faults.append(f"{len(rows)} rows, not {1 + records}")
for number, row in enumerate(rows, 1):
    if len(row) != columns:
        faults.append(f"row {number} has {len(row)} cells, not {columns}")
# ValueType 40 is a number in gnumeric's own file, 60 a string.
types = {}
for cell in ET.parse(gzip.open(sheet_path)).getroot().iter("{http://www.gnumeric.org/v10.dtd}Cell"):
    types[int(cell.get("Row")), int(cell.get("Col"))] = cell.get("ValueType")
for row in range(1, 1 + records):
    for col in amounts:
        if types.get((row, col)) != "40":
            faults.append(f"row {row + 1} column {col + 1} is not a number")
for fault in faults:
    print(f"{program}: {fault}")
sys.exit(1 if faults else 0)
EOF
done
[ $status -eq 0 ] && echo "every value in its own cell, every amount a number"
exit $status
