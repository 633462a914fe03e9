#!/usr/bin/env bash
# Prints the tollsheet report through a real CUPS: starts a cupsd of its own
# (its own configuration, spool and socket) with one queue on the cups-pdf
# backend, the default one, runs the report test's printsThroughCups against
# it, and removes everything it made.
#   tests/print/cups.sh BUILD_DIR
#   tests/print/cups.sh --run COMMAND...   runs COMMAND instead, with
#       CUPS_SERVER, PRINTER and SHEETS_CUPS_QUEUE, _SPOOL and _OUT set
#       (the Windows programs print through it under wine)
# Exits 77 (a skip for CTest) only when this machine cannot run it.
set -euo pipefail
if [ "$1" = --run ]; then shift; command=("$@")
else command=(timeout 180 "$(cd "$1" && pwd)/bin/test_tollsheet_report" printsThroughCups); fi
skip() { echo "SKIP: $*"; exit 77; }

# cups-pdf runs as root only (cupsd runs a backend as root when only root may
# run it), and reads its configuration from /etc/cups.
[ "$(id -u)" -eq 0 ] || skip "the cups-pdf backend runs only under a cupsd started as root"
for needed in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/lib/cups/backend/cups-pdf \
              /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/bin/gs; do
  [ -e "$needed" ] || skip "$needed is missing: scripts/install-deps installs it"
done

scratch="$(mktemp -d /tmp/sheets-cups.XXXXXX)"
name="sheets-test-$(basename "$scratch" | cut -d. -f2 | tr 'A-Z' 'a-z')"
pdfconf="/etc/cups/cups-pdf-$name.conf"
cupsd=""
cleanup() {
  if [ -n "$cupsd" ]; then
    kill "$cupsd" 2>/dev/null || true
    wait "$cupsd" 2>/dev/null || true
  fi
  rm -f "$pdfconf"
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*" >&2; for log in "$scratch"/log/*; do [ -s "$log" ] && sed "s|^|$(basename "$log"): |" "$log" | tail -40 >&2; done; exit 1; }

# Filters run as lp: the folders they read must be reachable.
chmod 755 "$scratch"
mkdir -p "$scratch/etc/ppd" "$scratch/spool" "$scratch/cache" "$scratch/state" "$scratch/log" "$scratch/out" "$scratch/home"
mkdir -m 1777 "$scratch/tmp"
socket="$scratch/cups.sock"

cat >"$scratch/etc/cups-files.conf" <<CONF
ServerRoot $scratch/etc
RequestRoot $scratch/spool
TempDir $scratch/tmp
CacheDir $scratch/cache
StateDir $scratch/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
AccessLog $scratch/log/access_log
ErrorLog $scratch/log/error_log
PageLog $scratch/log/page_log
FileDevice No
Printcap $scratch/state/printcap
CONF
cat >"$scratch/etc/cupsd.conf" <<CONF
Listen $socket
LogLevel info
Browsing No
DefaultShared No
WebInterface No
PreserveJobFiles Yes
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
# This queue's cups-pdf (device cups-pdf:/NAME) reads cups-pdf-NAME.conf:
# everything it writes goes into the scratch folder.
cat >"$pdfconf" <<CONF
Out $scratch/out
AnonDirName $scratch/out
Spool $scratch/cups-pdf-spool
GSTmp $scratch/tmp
Log $scratch/log
LogType 3
Grp root
CONF

/usr/sbin/cupsd -f -c "$scratch/etc/cupsd.conf" -s "$scratch/etc/cups-files.conf" 2>"$scratch/log/cupsd.log" &
cupsd=$!
for ((tries = 0; tries < 200; tries++)); do
  timeout 5 lpstat -h "$socket" -r >/dev/null 2>&1 && break
  kill -0 "$cupsd" 2>/dev/null || fail "cupsd stopped"
  sleep 0.05
done
timeout 5 lpstat -h "$socket" -r >/dev/null 2>&1 || fail "cupsd did not come up"

queue="$name"
timeout 30 lpadmin -h "$socket" -p "$queue" -E -v "cups-pdf:/$name" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
  || fail "lpadmin could not add the queue"
timeout 30 lpadmin -h "$socket" -d "$queue" || fail "lpadmin could not make the queue the default"

# The program talks to this cupsd only, through libcups.
export CUPS_SERVER="$socket" HOME="$scratch/home" PRINTER="$queue" QT_QPA_PLATFORM=offscreen
export SHEETS_CUPS_QUEUE="$queue" SHEETS_CUPS_SPOOL="$scratch/spool" SHEETS_CUPS_OUT="$scratch/out"
unset LPDEST
"${command[@]}" || fail "${command[*]} failed"
