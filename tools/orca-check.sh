#!/usr/bin/env bash
# Runs one program under the Orca screen reader on a private Xvfb display
# (openbox as window manager, its own session bus, accessibility bus and
# speech-dispatcher with the silent "dummy" module), plays keystrokes into it
# with xdotool, and prints what Orca said, interleaved with the steps taken.
#
#   tools/orca-check.sh [-o DIR] PROGRAM STEP...
#
# A STEP is one of
#   type:TEXT   types TEXT (ASCII) into the focused window
#   key:KEYS    presses a key or chord as xdotool names it (Tab, space, shift+Tab)
#   click:X,Y   clicks the left button at X,Y pixels inside the window "Form1"
#   wait:SECS   waits
#   mark:NOTE   writes NOTE into the timeline
# Every type/key step is followed by a short pause so that Orca keeps up.
#
# With -o DIR, Orca's whole debug log (orca-debug.out), the timeline
# (timeline.txt) and the program's stderr are kept in DIR. Orca speaks in the
# language of the caller's locale (role names such as "text", "push button").
#
# One accepted subscriber, by keyboard, in tollsheet (Orca should say
# "고객번호 text" and "notification 입력되었습니다" after "space"):
#   tools/orca-check.sh build/bin/tollsheet type:3 key:Tab type:S key:Tab type:Y \
#     key:Tab type:N key:Tab type:120 key:Tab key:space wait:2
# The same click by mouse on "입력": ... type:120 click:96,224 wait:2
# One accepted employee in wagesheet, which opens on "입력" (Orca should say
# "notification 입력되었습니다" after "space"):
#   tools/orca-check.sh build/bin/wagesheet key:Tab key:Tab type:B012 key:Tab type:1 \
#     key:Tab type:2 key:Tab type:3 key:Tab key:space wait:2
#
# Needs the Debian packages orca, speech-dispatcher, openbox, xvfb, xauth,
# x11-utils, xdotool, dbus and at-spi2-core (/usr/bin/orca itself is not used).
set -euo pipefail
keep=""
if [ "${1:-}" = "-o" ]; then keep="$2"; shift 2; fi
program="$(readlink -f "$1")"
shift
scratch="$(mktemp -d /tmp/orca-check.XXXXXX)"
source "$(dirname "$0")/../tests/accessibility/desktop.sh"

keep_logs() {
  if [ -n "$keep" ]; then
    mkdir -p "$keep"
    cp "$scratch/orca-debug.out" "$scratch/timeline.txt" "$keep/" 2>/dev/null || true
    cp "$scratch/program.log" "$keep/program.log" 2>/dev/null || true
  fi
}
trap 'stop_desktop; keep_logs; rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM
now() { date +%H:%M:%S.%6N; }
mark() { echo "$(now) - STEP: $*" >>"$scratch/timeline.txt"; }

export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config"
export XDG_DATA_HOME="$scratch/home/.local/share" XDG_CACHE_HOME="$scratch/home/.cache"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
start_xvfb
start_buses
# Asked for by GTK-based tools (Orca) before they talk to the accessibility bus.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
  string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null

openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
pids+=($!)
await "the window manager" xprop -root _NET_SUPPORTING_WM_CHECK

# Speech that goes nowhere: speech-dispatcher with its dummy output module.
mkdir -p "$scratch/speechd-conf" "$scratch/speechd-log" "$XDG_RUNTIME_DIR/speech-dispatcher"
cat >"$scratch/speechd-conf/speechd.conf" <<EOF
LogLevel 3
LogDir "$scratch/speechd-log"
AddModule "dummy" "sd_dummy" ""
DefaultModule dummy
DefaultLanguage "ko"
AudioOutputMethod "libao"
EOF
# libao's null driver: the dummy module opens a sound device even to say nothing.
echo "default_driver=null" >"$HOME/.libao"
speech-dispatcher -s -t 0 -C "$scratch/speechd-conf" -m /usr/lib/speech-dispatcher-modules \
  -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" >"$scratch/speechd.log" 2>&1 &
pids+=($!)
await "speech-dispatcher" test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock"

# Orca as /usr/bin/orca starts it, less its single-instance handling: that
# one looks for every process named "orca" of this user on the machine
# (--replace kills them all), and others on this machine may run their own
# Orca on their own display. This one keeps the name python3 and its own
# process group.
mkdir -p "$scratch/orca-prefs"
cat >"$scratch/orca-launch.py" <<'EOF'
import sys
from orca import debug
debug.debugLevel = debug.LEVEL_ALL
debug.debugFile = open(sys.argv[2], 'w', buffering=1)  # whole lines, whenever it ends
from orca import orca
manager = orca.getSettingsManager()
manager.activate(sys.argv[1], {})
sys.path.insert(0, manager.getPrefsDir())
sys.exit(orca.main())
EOF
setsid /usr/bin/python3 "$scratch/orca-launch.py" "$scratch/orca-prefs" "$scratch/orca-debug.out" \
  >"$scratch/orca.log" 2>&1 </dev/null &
orca_pid=$!
pids+=("$orca_pid")
# Orca is listening once it has registered its event listeners with the registry.
orca_listening() {
  [ "$(dbus-send --bus="$a11y_bus" --print-reply --dest=org.a11y.atspi.Registry /org/a11y/atspi/registry \
    org.a11y.atspi.Registry.GetRegisteredEvents | grep -c 'string "Object:')" -ge 10 ]
}
await "Orca" orca_listening
sleep 1

: >"$scratch/timeline.txt"
mark "start $(basename "$program")"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 setsid "$program" >"$scratch/program.log" 2>&1 </dev/null &
program_pid=$!
pids+=("$program_pid")
await "the program's window" xdotool search --onlyvisible --name '^Form1$'
sleep 2

for step in "$@"; do
  case "$step" in
    type:*) mark "$step"; xdotool type --delay 120 "${step#type:}"; sleep 0.4 ;;
    key:*) mark "$step"; xdotool key --delay 120 ${step#key:}; sleep 0.4 ;;
    click:*)
      mark "$step"
      xy="${step#click:}"
      xdotool mousemove --window "$(xdotool search --onlyvisible --name '^Form1$' | head -n1)" "${xy%,*}" "${xy#*,}" click 1
      sleep 0.4 ;;
    wait:*) sleep "${step#wait:}" ;;
    mark:*) mark "${step#mark:}" ;;
    *) fail "unknown step $step" ;;
  esac
done
sleep 2
mark "end"
stop "$program_pid"
stop "$orca_pid"

# Orca's own lines carry the same clock, so one sort interleaves them with the steps.
start="$(grep -m1 'STEP: start' "$scratch/timeline.txt" | cut -c1-15)"
{ cat "$scratch/timeline.txt"; grep -a "SPEECH OUTPUT" "$scratch/orca-debug.out" | cut -c1-400; } |
  sort -s -k1,1 | awk -v start="$start" '$1 >= start' >"$scratch/timeline.sorted"
mv "$scratch/timeline.sorted" "$scratch/timeline.txt"
cat "$scratch/timeline.txt"
