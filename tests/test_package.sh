#!/usr/bin/env bash
# Builds the Debian package in the build folder given, checks its control
# data, extracts it into a temporary folder and starts each program from there.
set -euo pipefail
build="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb="$(ls "$scratch"/out/sheets_*.deb)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = sheets ] || fail "package name"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-nanum fonts-nanum-coding; do
  field Depends | tr ',' '\n' | grep -q "^ *$needed\b" || fail "Depends lacks $needed"
done
for wanted in fcitx5-frontend-qt6 ibus-hangul; do
  field Recommends | grep -q "$wanted" || fail "Recommends lacks $wanted"
done

dpkg-deb -x "$deb" "$scratch/root"
for program in tollsheet wagesheet; do
  entry="$scratch/root/usr/share/applications/invalid.sheets.$program.desktop"
  desktop-file-validate "$entry" || fail "$program.desktop is not valid"
  grep -q "^Categories=Office;" "$entry" || fail "$program is not filed under Office"
  grep -q "^Exec=$program$" "$entry" || fail "$program.desktop does not start $program"
  grep -qP '^Name=[\x{AC00}-\x{D7A3} ]+$' "$entry" || fail "$program has no Korean name"
  grep -qP '^Comment=.*[\x{AC00}-\x{D7A3}]' "$entry" || fail "$program has no Korean comment"
  [ -s "$scratch/root/usr/share/icons/hicolor/scalable/apps/invalid.sheets.$program.svg" ] || fail "$program has no icon"

  # Started from the extracted package, the program must still be running,
  # showing its form, when it is stopped.
  status=0
  QT_QPA_PLATFORM=offscreen timeout 3 "$scratch/root/usr/bin/$program" 2>"$scratch/$program.err" || status=$?
  [ "$status" -eq 124 ] || { cat "$scratch/$program.err" >&2; fail "$program from the package exited with $status"; }
done
echo "package $(basename "$deb"): control data, desktop entries, icons and both programs are fine"
