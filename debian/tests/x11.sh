# Helpers for the tests that drive the installed programs on the X display
# that xvfb-run gives them, as a user would: keys typed with xdotool, windows
# closed the way a desktop closes them. Sourced by debian/tests/forms and
# debian/tests/report-pdf.

tmp="${AUTOPKGTEST_TMP:?run by autopkgtest, which sets AUTOPKGTEST_TMP}"
# X11 only, and a home and runtime folder of the test's own, so that nothing
# of the machine's user is read or written.
unset WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
export HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/runtime" LANG=C.UTF-8
mkdir -p "$HOME"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: run under xvfb-run" >&2; exit 1; }

program="" pid=""
fail() {
  echo "FAIL: $program: $*" >&2
  [ ! -s "$tmp/$program.err" ] || sed 's/^/  its stderr: /' "$tmp/$program.err" >&2
  exit 1
}
xdo() { xdotool "$@" 2>>"$tmp/xdotool.log"; }

# Starts /usr/bin/$1, its stderr kept in $tmp/$1.err.
start() {
  program="$1"
  "/usr/bin/$program" 2>"$tmp/$program.err" &
  pid=$!
}

# The id of the program's visible window whose title is $1, waiting up to
# twenty seconds for it.
window() {
  local id
  id="$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" --name "^$1\$" 2>>"$tmp/xdotool.log" | head -n 1)" ||
    true
  [ -n "$id" ] || fail "no window $1"
  echo "$id"
}

# The program's visible windows, one id a line.
windows() { xdo search --all --onlyvisible --pid "$pid" --name . || true; }

# Gives window $1 the keyboard focus (there is no window manager to do it).
focus() { xdo windowfocus --sync "$1"; }

# Succeeds once the program has mapped file $1, waiting up to twenty seconds.
mapped() {
  local tries
  for ((tries = 0; tries < 200; tries++)); do
    grep -qF " $1" "/proc/$pid/maps" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# The font files the program has opened, one a line.
fonts() { awk '$6 ~ /^\/usr\/share\/fonts\// { print $6 }' "/proc/$pid/maps" | sort -u; }

# Closes window $1 as a desktop does: WM_DELETE_WINDOW.
close_window() {
  /usr/bin/python3 - "$1" <<'PY'
import sys
from Xlib import X, display
from Xlib.protocol import event
d = display.Display()
window = d.create_resource_object("window", int(sys.argv[1]))
message = event.ClientMessage(window=window, client_type=d.intern_atom("WM_PROTOCOLS"),
                              data=(32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
window.send_event(message)
d.flush()
PY
}

# Waits up to ten seconds for the program to end; it must end with status 0
# and have written nothing to stderr.
ends_cleanly() {
  local tries status=0
  for ((tries = 0; tries < 100; tries++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "still running ten seconds after its last window was closed"
  fi
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "ended with status $status"
  [ ! -s "$tmp/$program.err" ] || fail "wrote to stderr"
}
