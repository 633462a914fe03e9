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
source "$here/desktop.sh"
trap 'stop_desktop; rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM

tools=(dbus-daemon dbus-send /usr/libexec/at-spi-bus-launcher /usr/libexec/at-spi2-registryd)
[ "$platform" = x11 ] && tools+=(Xvfb xauth xdotool) || tools+=(weston)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || fail "$tool is missing: scripts/install-deps installs it"
done
/usr/bin/python3 -c 'import pyatspi, Xlib' 2>/dev/null || fail "python3-pyatspi or python3-xlib is missing: scripts/install-deps installs them"

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null

if [ "$platform" = wayland ]; then
  # A compositor of our own, in our own runtime folder: weston with no screen
  # and no input devices. The test puts a proxy of its own before its socket.
  weston --backend=headless-backend.so --socket=wayland-weston --no-config --idle-time=0 \
    --log="$scratch/weston.log" >/dev/null 2>&1 &
  pids+=($!)
  await "weston" test -S "$XDG_RUNTIME_DIR/wayland-weston"
  export WAYLAND_DISPLAY=wayland-weston QT_QPA_PLATFORM=wayland
else
  start_xvfb
fi
start_buses

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
# Debian's pyatspi is for the system's Python, whatever python3 is first on PATH.
status=0
timeout 150 /usr/bin/python3 "$here/test_atspi.py" "$scratch/prefix/bin" "$platform" || status=$?
[ "$status" -eq 124 ] && fail "the AT-SPI test did not finish within two and a half minutes"
[ "$status" -le 1 ] || fail "the AT-SPI test ended with status $status, before it could print what failed"
exit "$status"
