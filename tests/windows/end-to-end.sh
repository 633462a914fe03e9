#!/usr/bin/env bash
# The Windows programs as a user meets them, under wine on Qt's windows
# platform (scripts/windows sets DISPLAY, WINEPREFIX and the wine variables):
#   tests/windows/end-to-end.sh FOLDER MSI OUT
# - each program, from the programs' FOLDER, takes its worked example typed
#   key by key (tests/worked-examples.json), shows its report, and puts the
#   report's table on the clipboard with Ctrl+Shift+C; the clipboard, read
#   from X (wine shares it), holds every figure of the report's lines, in
#   order, as text and as HTML;
# - tollsheet's report saves a PDF through the Windows save dialog, under the
#   name it proposes in the Documents folder; the PDF's text (pdftotext)
#   holds the report's lines; the report is captured to
#   OUT/windows-tollsheet-report.png;
# - the MSI installs under Program Files with its Start-menu entries, the
#   installed tollsheet starts, and the uninstall leaves nothing of either.
# Every wine call has a timeout.
set -euo pipefail
folder="$1" msi="$2" out="$3"
examples="$(cd "$(dirname "$0")/.." && pwd)/worked-examples.json"
mkdir -p "$out"
rm -f "$out"/*
fail() { echo "FAIL: $*" >&2; exit 1; }
program_pid=""
stop_program() {
  [ -z "$program_pid" ] || { kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; }
  program_pid=""
  timeout 30 wineserver -k 2>/dev/null || true
}
openbox >/dev/null 2>&1 &
window_manager=$!
trap 'stop_program; kill $window_manager 2>/dev/null || true' EXIT

# The window whose name is exactly $1, waited for up to 60 s.
find_window() {
  local id
  for _ in $(seq 1 120); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)" || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.5
  done
  return 1
}
start() {
  timeout 300 wine64 "$@" >"$out/wine.log" 2>&1 &
  program_pid=$!
}
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
text() { xdotool type --delay 60 -- "$1"; sleep 0.2; }

# The keys that enter program $1's worked example: a record's fields in the
# boxes' order, each followed by Tab, then Space on "입력".
typed_records() {
  python3 - "$examples" "$1" <<'EOF'
import json, sys
for record in json.load(open(sys.argv[1]))[sys.argv[2]]["records"]:
    print("\t".join(str(field) for field in record))
EOF
}

# The clipboard's table against the report's lines (Text2): the same figures
# in the same order (the box pads with blanks and groups digits, the table
# does not).
check_clipboard() {
  local program="$1"
  xclip -o -selection clipboard -t UTF8_STRING >"$out/$program-table.txt" 2>/dev/null || fail "$program: no text on the clipboard"
  xclip -o -selection clipboard -t text/html >"$out/$program-table.html" 2>/dev/null || fail "$program: no HTML on the clipboard"
  python3 - "$examples" "$program" "$out/$program-table.txt" "$out/$program-table.html" <<'EOF'
import html, json, re, sys
examples, program, text, markup = sys.argv[1:]
lines = json.load(open(examples))[program]["Text2"]["lines"]
squeeze = lambda s: re.sub(r"[\s,]", "", s)
want = [squeeze(line) for line in lines]
rows = open(text, encoding="utf-8").read().splitlines()[1:]
got = [squeeze(row) for row in rows]
if got != want:
    sys.exit(f"{program}: the clipboard's text rows {rows} do not hold the report's lines {lines}")
cells = re.findall(r"<tr>(.*?)</tr>", open(markup, encoding="utf-8").read(), re.S)[1:]
got = [squeeze(html.unescape(re.sub(r"<[^>]+>", "", row))) for row in cells]
if got != want:
    sys.exit(f"{program}: the clipboard's HTML rows do not hold the report's lines {lines}")
EOF
}

echo "== tollsheet.exe on the windows platform"
start "$folder/tollsheet.exe"
form1="$(find_window Form1)" || fail "tollsheet: no Form1 window"
xdotool windowactivate --sync "$form1" 2>/dev/null || true
while IFS=$'\t' read -r -a fields; do
  for field in "${fields[@]}"; do text "$field"; keys Tab; done
  keys space
done < <(typed_records tollsheet)
keys Tab Tab Tab Tab Tab Tab space
form2="$(find_window Form2)" || fail "tollsheet: the report did not open"
sleep 1
xwd -silent -id "$form2" | xwdtopnm 2>/dev/null | pnmtopng >"$out/windows-tollsheet-report.png"
keys ctrl+shift+c
sleep 0.5
check_clipboard tollsheet
keys ctrl+shift+s
find_window "PDF로 저장" >/dev/null || fail "tollsheet: no save dialog"
sleep 1
# The dialog proposes tollsheet-YYYY-MM-DD.pdf in the Documents folder.
pdf="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/Documents/tollsheet-$(date +%F).pdf"
rm -f "$pdf"
keys Return
for _ in $(seq 1 60); do [ -s "$pdf" ] && break; sleep 0.5; done
[ -s "$pdf" ] || fail "tollsheet: the PDF was not saved"
sleep 1
pdftotext -layout "$pdf" "$out/tollsheet-report.txt"
python3 - "$examples" "$out/tollsheet-report.txt" <<'EOF'
import json, sys
report = json.load(open(sys.argv[1]))["tollsheet"]["Text2"]
# pdftotext lays the words out anew: only the blanks between them differ.
words = lambda line: " ".join(line.split())
text = [words(line) for line in open(sys.argv[2], encoding="utf-8").read().splitlines()]
for line in report["heading"] + report["lines"]:
    if words(line) and words(line) not in text:
        sys.exit(f"tollsheet: the saved PDF lacks the line {line.strip()!r}")
EOF
echo "   typed, copied as text and HTML, saved as PDF; the report: $out/windows-tollsheet-report.png"
stop_program

echo "== wagesheet.exe on the windows platform"
start "$folder/wagesheet.exe"
form1="$(find_window Form1)" || fail "wagesheet: no Form1 window"
xdotool windowactivate --sync "$form1" 2>/dev/null || true
# The form opens on "입력"; the boxes follow "출력".
keys Tab Tab
while IFS=$'\t' read -r -a fields; do
  for field in "${fields[@]}"; do text "$field"; keys Tab; done
  keys space
  keys Tab Tab
done < <(typed_records wagesheet)
keys shift+Tab space
form2="$(find_window Form2)" || fail "wagesheet: the report did not open"
sleep 1
xdotool windowactivate --sync "$form2" 2>/dev/null || true
keys Tab ctrl+shift+c
sleep 0.5
check_clipboard wagesheet
echo "   typed, copied as text and HTML"
stop_program

echo "== the MSI"
drive_c="$WINEPREFIX/drive_c"
installed="$drive_c/Program Files/tollsheet-wagesheet"
find "$drive_c" | LC_ALL=C sort >"$out/before-msi"
timeout 300 wine64 msiexec /i "$(realpath "$msi")" /qn >"$out/msiexec.log" 2>&1 || fail "msiexec /i failed"
[ -f "$installed/tollsheet.exe" ] && [ -f "$installed/platforms/qwindows.dll" ] || fail "the MSI installed no programs' folder"
for entry in "전화요금 청구서" "급여 계산서"; do
  find "$drive_c" -path "*/Start Menu/Programs/$entry.lnk" | grep . >/dev/null || fail "the MSI made no Start-menu entry $entry"
done
start "$installed/tollsheet.exe"
find_window Form1 >/dev/null || fail "the installed tollsheet shows no Form1"
stop_program
timeout 300 wine64 msiexec /x "$(realpath "$msi")" /qn >>"$out/msiexec.log" 2>&1 || fail "msiexec /x failed"
find "$drive_c" | LC_ALL=C sort >"$out/after-msi"
left="$(comm -13 "$out/before-msi" "$out/after-msi" | grep -i 'tollsheet\|wagesheet\|전화요금\|급여' || true)"
[ -z "$left" ] || fail "the uninstall left: $left"
echo "   installed under Program Files with two Start-menu entries, started, removed leaving nothing"
