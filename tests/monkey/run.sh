#!/usr/bin/env bash
# Random input at each program given, in turn, on a private Xvfb with openbox:
#   tests/monkey/run.sh PROGRAM...   (MONKEY_SECONDS, MONKEY_SEED: see monkey.py;
#                                    a PROGRAM.exe runs under wine)
# The programs run as nobody, with a home in this run's scratch folder, the
# only place they may write; afterwards nothing owned by nobody may be newer
# than the run anywhere else.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root to run the programs as nobody" >&2; exit 77; }
# Not in /tmp: under wine the programs get a /tmp of their own in front of it.
scratch="$(mktemp -d -p /var/tmp)"
chmod 711 "$scratch"
. "$here/../accessibility/desktop.sh"
trap 'stop_desktop; rm -rf "$scratch"' EXIT
touch "$scratch/stamp"
start_xvfb
chmod 644 "$XAUTHORITY"
home="$scratch/home"
mkdir -p "$home"/{tmp,runtime,config,cache,data}
chmod 700 "$home/runtime"
chown -R nobody:nogroup "$home"
# The sanitizers read their suppressions as nobody, who may not be able to
# enter the sources (a clone in a folder only root may enter).
install -m 644 "$here/asan.supp" "$here/lsan.supp" "$scratch/"

# openbox keeps its own files in the scratch folder too.
HOME="$scratch" XDG_CONFIG_HOME="$scratch/wm" XDG_CACHE_HOME="$scratch/wm" openbox --sm-disable \
  >"$scratch/openbox.log" 2>&1 &
pids+=($!)
await "openbox" /usr/bin/python3 -c 'from Xlib import display; d = display.Display()
assert d.screen().root.get_full_property(d.intern_atom("_NET_SUPPORTING_WM_CHECK"), 0)'

status=0
for program in "$@"; do
  /usr/bin/python3 "$here/monkey.py" "$program" "$home" || status=1
done

# The places nobody could write in (the rest is proved read-only to it before
# each start), the build tree the programs come from and the sources. Other
# processes make and remove files there meanwhile: a file that vanishes
# during the walk is no error, and any other error of the walk is told.
sources="$(cd "$here/../.." && pwd)"
if ! stray="$(find /tmp /var/tmp /dev/shm "${@%/*}" "${@%/*/*}" "$sources" -xdev -ignore_readdir_race \
  -newer "$scratch/stamp" -user nobody -not -path "$scratch/*" -not -path "/var/tmp/tmp.*/home*" \
  2>"$scratch/find.err" | sort -u)"; then # other monkeys' homes are left out above
  fail "the search for files written outside the scratch folder failed: $(cat "$scratch/find.err")"
fi
[ -z "$stray" ] || fail "written by the programs outside the scratch folder: $stray"
[ "$status" -eq 0 ] || echo "FAIL: the monkey failed on a program; its lines above say why" >&2
exit "$status"
