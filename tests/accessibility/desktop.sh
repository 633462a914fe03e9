# A desktop of the caller's own, for driving the programs as a screen reader
# does: an Xvfb display, a D-Bus session bus and an accessibility bus with its
# registry, none shared with anything else on the machine. Sourced by
# tests/accessibility/run.sh and tools/orca-check.sh, which set `scratch` (an
# empty folder of their own) first and call stop_desktop when they end.

pids=() # what was started, stopped newest first

# Ends a process: TERM, then KILL if it is still there after five seconds
# (Orca does not always act on TERM). The accessibility bus is no child of
# ours: it is gone once its launcher, stopped after it, has reaped it.
stop() {
  local tries
  kill "$1" 2>/dev/null || return 0
  for ((tries = 0; tries < 100; tries++)); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
stop_desktop() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
}

fail() {
  echo "FAIL: $*" >&2
  for log in "$scratch"/*.log; do [ -s "$log" ] && sed "s|^|$(basename "$log"): |" "$log" >&2; done
  exit 1
}

# Waits up to a minute for a command to succeed (a busy machine is slow).
await() {
  local what="$1" tries
  shift
  for ((tries = 0; tries < 1200; tries++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "$what did not come up"
}

# Nothing from the calling session: no other display, bus or platform.
unset DISPLAY QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_SESSION_TYPE AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
export XDG_RUNTIME_DIR="$scratch/runtime" XAUTHORITY="$scratch/Xauthority"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# An Xvfb of our own: the first free display number from 99, reached with a
# cookie. Sets DISPLAY.
start_xvfb() {
  local cookie n xvfb
  cookie="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
  for ((n = 99; n < 400; n++)); do
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
      export DISPLAY=":$n"
      return 0
    fi
    wait "$xvfb" || true
  done
  fail "no free display for Xvfb"
}

# A session bus of our own, then the accessibility bus and its registry. Sets
# DBUS_SESSION_BUS_ADDRESS and a11y_bus.
start_buses() {
  dbus-daemon --session --nofork --address="unix:path=$scratch/session-bus" --print-address=3 \
    3>"$scratch/bus-address" 2>"$scratch/dbus.log" &
  pids+=($!)
  await "the session bus" test -s "$scratch/bus-address"
  DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$scratch/bus-address")"
  export DBUS_SESSION_BUS_ADDRESS

  /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 2>"$scratch/at-spi-bus.log" &
  pids+=($!)
  # Asked for its address before it owns its name, the session bus would
  # start a second launcher (D-Bus activation); on a busy machine that one
  # could win the name after the first had started its own bus, and the
  # registry then stood on a bus other than the one it was looked for on.
  await "the accessibility bus" owned --session org.a11y.Bus
  /usr/libexec/at-spi2-registryd >"$scratch/registryd.log" 2>&1 &
  pids+=($!)
  a11y_bus="$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress | tr -d ' ')"
  pids+=("$(dbus-send --bus="$a11y_bus" --print-reply=literal --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.DBus | awk '{print $2}')")
  await "the AT-SPI registry" owned --bus="$a11y_bus" org.a11y.atspi.Registry
}
# Whether the bus $1 has an owner for the name $2; asking starts nothing.
owned() {
  dbus-send "$1" --print-reply=literal --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:"$2" | grep -q true
}
