#!/usr/bin/env bash
# Installs the build folder given into a temporary prefix and drives each
# installed program through AT-SPI, the interface screen readers use: on a
# display of its own (an Xvfb, or a headless weston for Wayland), its own D-Bus
# session bus and its own accessibility bus.
#   tests/accessibility/run.sh BUILD_DIR [x11|wayland]
set -euo pipefail
build="$(cd "$1" && pwd)"
platform="${2:-x11}"
case "$platform" in x11 | wayland) ;; *) echo "unknown platform $platform: x11 or wayland" >&2; exit 2 ;; esac
here="$(cd "$(dirname "$0")" && pwd)"
scratch="$(mktemp -d)"
pids=()

# Stops what this script started, newest first.
cleanup() {
  local i tries
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
    # Not a child of ours (the accessibility bus): gone once its launcher reaps it.
    for ((tries = 0; tries < 100; tries++)); do kill -0 "${pids[i]}" 2>/dev/null || break; sleep 0.02; done
  done
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*" >&2; for log in "$scratch"/*.log; do [ -s "$log" ] && sed "s|^|$(basename "$log"): |" "$log" >&2; done; exit 1; }

# Waits up to ten seconds for a command to succeed.
await() {
  local what="$1" tries
  shift
  for ((tries = 0; tries < 200; tries++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "$what did not come up"
}

tools=(dbus-daemon dbus-send /usr/libexec/at-spi-bus-launcher /usr/libexec/at-spi2-registryd)
[ "$platform" = x11 ] && tools+=(Xvfb xauth xdotool) || tools+=(weston)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || fail "$tool is missing: scripts/install-deps installs it"
done
/usr/bin/python3 -c 'import pyatspi, Xlib' 2>/dev/null || fail "python3-pyatspi or python3-xlib is missing: scripts/install-deps installs them"

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null

# Nothing from the calling session: no other display, bus or platform.
unset DISPLAY QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_SESSION_TYPE AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
export XDG_RUNTIME_DIR="$scratch/runtime" XAUTHORITY="$scratch/Xauthority"
mkdir -m 700 "$XDG_RUNTIME_DIR"

if [ "$platform" = wayland ]; then
  # A compositor of our own, in our own runtime folder: weston with no screen
  # and no input devices. The test puts a proxy of its own before its socket.
  weston --backend=headless-backend.so --socket=wayland-weston --no-config --idle-time=0 \
    --log="$scratch/weston.log" >/dev/null 2>&1 &
  pids+=($!)
  await "weston" test -S "$XDG_RUNTIME_DIR/wayland-weston"
  export WAYLAND_DISPLAY=wayland-weston QT_QPA_PLATFORM=wayland
else
  # A display of our own: the first free number from 99, reached with a cookie.
  cookie="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
  display=""
  for ((n = 99; n < 160; n++)); do
    [ -e "/tmp/.X$n-lock" ] && continue
    : >"$XAUTHORITY"
    xauth -q add ":$n" . "$cookie"
    : >"$scratch/displayfd"
    Xvfb ":$n" -displayfd 3 -auth "$XAUTHORITY" -nolisten tcp -screen 0 1280x1024x24 \
      3>"$scratch/displayfd" 2>"$scratch/xvfb.log" &
    xvfb=$!
    while kill -0 "$xvfb" 2>/dev/null && [ ! -s "$scratch/displayfd" ]; do sleep 0.05; done
    if [ -s "$scratch/displayfd" ]; then
      pids+=("$xvfb")
      display=":$n"
      break
    fi
    wait "$xvfb" || true
  done
  [ -n "$display" ] || fail "no free display for Xvfb"
  export DISPLAY="$display"
fi

# A session bus of our own, then the accessibility bus and its registry.
dbus-daemon --session --nofork --address="unix:path=$scratch/session-bus" --print-address=3 \
  3>"$scratch/bus-address" 2>"$scratch/dbus.log" &
pids+=($!)
await "the session bus" test -s "$scratch/bus-address"
DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$scratch/bus-address")"
export DBUS_SESSION_BUS_ADDRESS

/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 2>"$scratch/at-spi-bus.log" &
pids+=($!)
await "the accessibility bus" dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
/usr/libexec/at-spi2-registryd >"$scratch/registryd.log" 2>&1 &
pids+=($!)
a11y_bus="$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress | tr -d ' ')"
# The accessibility bus is stopped before its launcher, which then reaps it and ends.
pids+=("$(dbus-send --bus="$a11y_bus" --print-reply=literal --dest=org.freedesktop.DBus / \
  org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.DBus | awk '{print $2}')")
registry_up() {
  dbus-send --bus="$a11y_bus" --print-reply=literal --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.atspi.Registry | grep -q true
}
await "the AT-SPI registry" registry_up

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
# Debian's pyatspi is for the system's Python, whatever python3 is first on PATH.
status=0
timeout 150 /usr/bin/python3 "$here/test_atspi.py" "$scratch/prefix/bin" "$platform" || status=$?
[ "$status" -eq 124 ] && fail "the AT-SPI test did not finish within two and a half minutes"
exit "$status"
