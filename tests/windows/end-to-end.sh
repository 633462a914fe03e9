#!/usr/bin/env bash
# The Windows programs as a user meets them, under wine on Qt's windows
# platform (scripts/windows sets DISPLAY, with a window manager, WINEPREFIX
# and the wine variables):
#   tests/windows/end-to-end.sh FOLDER MSI OUT
# - each program, from the programs' FOLDER, takes its worked example typed
#   key by key (tests/worked-examples.json), shows its report, and puts the
#   report's table on the clipboard with Ctrl+Shift+C; the clipboard, read
#   from X (wine shares it), holds every figure of the report's lines, in
#   order, as text and as HTML;
# - tollsheet's report saves a PDF through the Windows save dialog, under the
#   name it proposes in the Documents folder; the PDF's text (pdftotext)
#   holds the report's lines; so does the page it prints through the print
#   dialog to the cups-pdf queue of a private cupsd; the report is captured
#   to OUT/windows-tollsheet-report.png;
# - Hangul typed through fcitx5's hangul engine, an X input method that wine
#   hands to the programs as IMM32 messages: words whose syllables hand a
#   consonant on, Backspace and Tab while a syllable is being composed;
# - the MSI installs for all users with its Start-menu entries, the installed
#   tollsheet starts, the next version replaces it, the older one is refused
#   over the newer, and the uninstall leaves nothing.
# Every wine call has a timeout.
set -euo pipefail
folder="$1" msi="$2" out="$3"
examples="$(cd "$(dirname "$0")/.." && pwd)/worked-examples.json"
rm -rf "$out"
mkdir -p "$out"
out="$(cd "$out" && pwd)" # fcitx5's XDG_CONFIG_HOME and LOCPATH must be absolute
fail() { echo "FAIL: $*" >&2; exit 1; }
program_pid=""
stop_program() {
  [ -z "$program_pid" ] || { kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; }
  program_pid=""
  timeout 30 wineserver -k 2>/dev/null || true
}
trap stop_program EXIT

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
# Printing: the print dialog offers the private cupsd's cups-pdf queue
# (tests/print/cups.sh runs this script) as the default printer, and its OK
# prints there. Qt's Windows print engine draws the text as outlines, which
# pdftotext cannot read: the page is one A4 page whose ink spans the saved
# PDF's box, within 2 points.
xdotool windowactivate --sync "$form2" 2>/dev/null || true
keys ctrl+p
find_window Print >/dev/null || fail "tollsheet: no print dialog"
sleep 1
keys Return
for _ in $(seq 1 240); do
  printed="$(find "$SHEETS_CUPS_OUT" -name '*.pdf')" && pdfinfo "$printed" 2>/dev/null | grep -E '^Pages: +1$' >/dev/null && break
  sleep 0.5
done
pdfinfo "$printed" 2>/dev/null | grep A4 >/dev/null || fail "tollsheet: no A4 page of one page printed on $SHEETS_CUPS_QUEUE"
ink() { gs -q -dBATCH -dNOPAUSE -sDEVICE=bbox "$1" 2>&1 | awk '/^%%BoundingBox/ { print $2, $3, $4, $5 }'; }
paste -d ' ' <(ink "$pdf" | tr ' ' '\n') <(ink "$printed" | tr ' ' '\n') |
  awk '{ d = $1 - $2 } d > 2 || d < -2 { bad = 1 } END { exit bad || NR != 4 }' ||
  fail "tollsheet: the printed page's ink $(ink "$printed") is not the saved PDF's $(ink "$pdf")"
echo "   typed, copied as text and HTML, saved as PDF, printed through CUPS; the report: $out/windows-tollsheet-report.png"
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

echo "== Hangul through an X input method"
# fcitx5 with a profile of keyboard-us and hangul (Ctrl+Space between them),
# reached through XIM in a Korean locale of our own.
mkdir -p "$out/fcitx5" "$out/locale"
printf '%s\n' '[Groups/0]' 'Name=Default' 'Default Layout=us' 'DefaultIM=hangul' '[Groups/0/Items/0]' \
  'Name=keyboard-us' '[Groups/0/Items/1]' 'Name=hangul' '[GroupOrder]' '0=Default' >"$out/fcitx5/profile"
localedef -i ko_KR -f UTF-8 "$out/locale/ko_KR.UTF-8"
XDG_CONFIG_HOME="$out" dbus-run-session -- fcitx5 --disable=all --enable=xcb,xim,hangul,keyboard >"$out/fcitx5.log" 2>&1 &
input_method=$!
trap 'stop_program; kill $input_method 2>/dev/null || true' EXIT
up() { xprop -root XIM_SERVERS 2>/dev/null | grep '@server=fcitx' >/dev/null; }
for _ in $(seq 1 100); do up && break; sleep 0.2; done
up || fail "fcitx5 did not come up: $(tail -n 3 "$out/fcitx5.log")"
# The text of the box at $1,$2, read through the clipboard.
read_box() {
  printf '(none)' | xclip -selection clipboard >/dev/null 2>&1
  xdotool mousemove --window "$form1" "$1" "$2" click 1 && keys ctrl+a ctrl+c && sleep 0.5 && xclip -o -selection clipboard
}
# Each case: the keys typed into the first box with hangul on, then Ctrl+Space
# (hangul off, which commits); what the first box then holds. The second box
# stays empty.
hangul_cases=("d k s s u d|안녕" "r k s k e k|가나다" "r k q t d m f|값을" "r k s BackSpace e k|가다" "r k Tab|가")
for program in "tollsheet 220 36 220 68" "wagesheet 144 20 144 52"; do
  read -r name x y next_x next_y <<<"$program"
  LANG=ko_KR.UTF-8 LOCPATH="$out/locale" XMODIFIERS=@im=fcitx start "$folder/$name.exe"
  form1="$(find_window Form1)" || fail "$name: no Form1 window"
  for case in "${hangul_cases[@]}"; do
    IFS='|' read -r typed first <<<"$case"
    xdotool mousemove --window "$form1" "$x" "$y" click 1
    keys ctrl+a BackSpace ctrl+space $typed ctrl+space
    got="$(read_box "$x" "$y")|$(read_box "$next_x" "$next_y")"
    [ "$got" = "$first|(none)" ] || fail "$name: typing $typed gave the boxes $got, not $first|(none)"
    keys BackSpace
  done
  stop_program
done
echo "   안녕, 가나다, 값을, Backspace and Tab while composing, in both programs"

echo "== the MSI: installed, upgraded, refused as a downgrade, removed"
drive_c="$WINEPREFIX/drive_c"
installed="$drive_c/Program Files/tollsheet-wagesheet"
msiexec() { timeout 300 wine64 msiexec "$@" /qn >>"$out/msiexec.log" 2>&1; }
# Add/Remove Programs: "product-code version size" for each entry of ours.
entries() {
  timeout 60 wine64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ { key = $0; sub(/.*\\/, "", key) } $1 == "Publisher" && /tollsheet and wagesheet/ { ours[key] = 1 }
         $1 == "DisplayVersion" { version[key] = $3 } $1 == "Size" { size[key] = $3 }
         END { for (key in ours) print key, version[key], size[key] }'
}
find "$drive_c" | LC_ALL=C sort >"$out/before-msi"
msiexec /i "$(realpath "$msi")" /l*v "$out/install.log" || fail "msiexec /i failed"
grep -q 'ALLUSERS = 1' "$out/install.log" || fail "the MSI does not install for all users"
[ -f "$installed/tollsheet.exe" ] && [ -f "$installed/platforms/qwindows.dll" ] || fail "the MSI installed no programs' folder"
for entry in "전화요금 청구서" "급여 계산서"; do
  find "$drive_c" -path "*/Start Menu/Programs/$entry.lnk" | grep . >/dev/null || fail "the MSI made no Start-menu entry $entry"
done
start "$installed/tollsheet.exe"
find_window Form1 >/dev/null || fail "the installed tollsheet shows no Form1"
stop_program
# The next version, made from the same folder, replaces this one: one entry,
# with the folder's size and tollsheet's icon, and the same files.
version="$(msiinfo export "$msi" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductVersion" { print $2 }')"
newer="${version%.*}.$((${version##*.} + 1))"
"$(dirname "$0")/../../packaging/windows/make-msi" "$folder" "$newer" "$out/newer.msi" 2>/dev/null
msiexec /i "$out/newer.msi" || fail "msiexec /i of version $newer failed"
upgraded="$(entries)"
read -r code shown size <<<"$upgraded"
[ "$shown $size" = "$newer $(( ($(find "$folder" -type f -printf '%s+') 1023) / 1024 ))" ] && [ "$(wc -l <<<"$upgraded")" = 1 ] ||
  fail "Add/Remove Programs holds, after version $newer: $upgraded"
[ -s "$drive_c/windows/Installer/$code/sheets.ico" ] || fail "the entry has no icon"
diff -r "$folder" "$installed" >/dev/null || fail "version $newer's folder differs from the programs' folder"
# The older version over the newer one is refused and changes nothing.
! msiexec /i "$(realpath "$msi")" || fail "version $version installed over $newer"
[ "$(entries)" = "$upgraded" ] || fail "the refused downgrade changed Add/Remove Programs: $(entries)"
msiexec /x "$out/newer.msi" || fail "msiexec /x failed"
[ -z "$(entries)" ] || fail "the uninstall left in Add/Remove Programs: $(entries)"
find "$drive_c" | LC_ALL=C sort >"$out/after-msi"
left="$(comm -13 "$out/before-msi" "$out/after-msi" | grep -i 'tollsheet\|wagesheet\|전화요금\|급여\|sheets.ico' || true)"
[ -z "$left" ] || fail "the uninstall left: $left"
echo "   $version installed for all users and started; $newer replaced it (one entry, $size KiB, an icon);"
echo "   $version over $newer refused; $newer removed leaving nothing"
