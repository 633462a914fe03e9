#!/usr/bin/env bash
# Starts a program 20 times against a Wayland socket whose compositor accepts
# each connection and hangs up at once; every run must end with the
# program's own no-display sentence and status 1.
#   tests/display/compositor-hangs-up.sh PROGRAM
set -euo pipefail
program="$1"
dir="$(mktemp -d)"
python3 -c 'import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1] + "/wayland-0"); s.listen(8)
while True: s.accept()[0].close()' "$dir" &
listener=$!
trap 'kill "$listener" 2>/dev/null || true; rm -rf "$dir"' EXIT
while [ ! -S "$dir/wayland-0" ]; do
  kill -0 "$listener" 2>/dev/null || { echo "the compositor that hangs up ended before it listened" >&2; exit 1; }
  sleep 0.05
done
expected="$(basename "$program") needs a graphical display and found none: "
for run in $(seq 20); do
  status=0
  output="$(env -u DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$dir" WAYLAND_DISPLAY=wayland-0 "$program" 2>&1)" || status=$?
  if [ "$status" -ne 1 ] || [[ "$output" != "$expected"* ]] || [ "$(wc -l <<<"$output")" -ne 1 ]; then
    echo "run $run: status $status, said: ${output:-nothing}" >&2
    exit 1
  fi
done
echo "20 runs, each with the sentence and status 1"
