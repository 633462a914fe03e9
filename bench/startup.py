#!/usr/bin/python3
"""Measures, from outside the programs, how long programs take to show their
first window and how much memory they have taken by then.

    bench/startup.py [--runs N] [--samples] PROGRAM... FLOOR

Starts a private X server (Xvfb, with its own cookie) on a free display,
watches its root window for top-level windows, and starts the given programs
in turn, N times each: the first named, then the next, round and round, so
that a slow spell of the machine falls on all of them alike. Before the
measured starts, each program is started once to warm the file and font
caches; that start is not counted. For each start it takes:

- mapped: the time from just before the program is spawned to the moment the
  server reports that a top-level window of that process (its _NET_WM_PID)
  was mapped, and the program's peak resident memory (VmHWM) read at once;
- drawn: the time to the first drawing into that window (the DAMAGE
  extension reports it), and the peak resident memory by then, read while
  the process is stopped; then the process is killed.

A Qt program maps its window before it paints it: whatever a program leaves
until its first paint (loading fonts, laying out text) falls between the two
moments, so the two together show where its start-up time goes.

Peak memory is read from /proc rather than from wait4()'s ru_maxrss because
Linux carries the spawning process's own peak across exec() into ru_maxrss,
so every program would seem at least as large as this script.

The last program named is the floor: the summary gives each program's median
times and median peaks, and their ratios to the floor's.

Needs Debian's python3-xlib, xvfb and xauth (scripts/install-deps).
"""

import argparse
import os
import secrets
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay, error as xerror
from Xlib.ext import damage

MAP_TIMEOUT = 60.0  # seconds a program gets to map its first window


class XServer:
    """A private Xvfb on the first free display from :99 up, with its own
    authorisation cookie; stopped on close()."""

    def __init__(self, workdir):
        self.process = None
        self.authfile = os.path.join(workdir, "Xauthority")
        open(self.authfile, "wb").close()
        for number in range(99, 400):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            if self._start(number):
                self.name = f":{number}"
                return
        raise SystemExit("no free X display found between :99 and :399")

    def _start(self, number):
        subprocess.run(["xauth", "-q", "-f", self.authfile, "add", f":{number}", ".", secrets.token_hex(16)],
                       check=True)
        ready_read, ready_write = os.pipe()
        process = subprocess.Popen(
            ["Xvfb", f":{number}", "-auth", self.authfile, "-nolisten", "tcp", "-screen", "0", "1280x1024x24",
             "-displayfd", str(ready_write)],
            pass_fds=[ready_write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(ready_write)
        # Xvfb writes the display number once it accepts clients; it closes
        # the pipe unwritten when it fails (the display was taken meanwhile).
        answer = b""
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            readable, _, _ = select.select([ready_read], [], [], 0.5)
            if readable:
                chunk = os.read(ready_read, 64)
                answer += chunk
                if not chunk or answer.endswith(b"\n"):
                    break
            elif process.poll() is not None:
                break
        os.close(ready_read)
        if answer.strip() == str(number).encode():
            self.process = process
            return True
        process.kill()
        process.wait()
        return False

    def close(self):
        if self.process:
            self.process.terminate()
            self.process.wait()


class Watcher:
    """A connection to the X server that hears of every top-level window that
    is created, mapped, or drawn into (through the DAMAGE extension)."""

    def __init__(self, name):
        self.display = xdisplay.Display(name)
        # A window may be gone before a request about it arrives: not an error here.
        self.display.set_error_handler(lambda *args: None)
        if not self.display.has_extension("DAMAGE"):
            raise SystemExit(f"the X server {name} lacks the DAMAGE extension")
        self.display.damage_query_version()
        self.damage_notify = self.display.query_extension("DAMAGE").first_event + damage.DamageNotifyCode
        self.root = self.display.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.pid_atom = self.display.intern_atom("_NET_WM_PID")
        self.display.sync()

    def drain(self):
        self.display.sync()
        while self.display.pending_events():
            self.display.next_event()

    def window_pid(self, window):
        try:
            prop = window.get_full_property(self.pid_atom, X.AnyPropertyType)
        except xerror.XError:
            return None
        return prop.value[0] if prop and len(prop.value) else None

    def next_events(self, deadline):
        """Waits for events; returns the time they arrived and, in order, the
        top-level windows mapped ("map", window) and drawn into ("drawn",
        window id) among them. Override-redirect windows (menus, tool tips)
        are left out. Every new top-level window is watched for drawing from
        its creation on, long before it can be mapped and drawn."""
        while True:
            if not self.display.pending_events():
                left = deadline - time.monotonic()
                if left <= 0:
                    return None, []
                readable, _, _ = select.select([self.display], [], [], left)
                if not readable:
                    continue
            arrived = time.perf_counter_ns()
            found = []
            # pending_events() reads what the socket holds into the queue.
            while self.display.pending_events():
                event = self.display.next_event()
                if event.type == X.CreateNotify and not event.override:
                    event.window.damage_create(damage.DamageReportNonEmpty)
                elif event.type == X.MapNotify and not event.override:
                    found.append(("map", event.window))
                elif event.type == self.damage_notify:
                    found.append(("drawn", event.drawable.id))
            self.display.flush()
            if found:
                return arrived, found


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise RuntimeError(f"no VmHWM for process {pid}")


class Start:
    """One start of a program: seconds from spawning it to its first
    top-level window being mapped and to that window's first drawing, and
    its peak RSS (KiB) at each of the two moments."""

    def __init__(self, watcher, path, env):
        time.sleep(0.2)  # lets the server finish with the previous program's windows
        watcher.drain()
        started = time.perf_counter_ns()
        pid = os.posix_spawn(path, [path], env)
        window = None
        try:
            deadline = time.monotonic() + MAP_TIMEOUT
            while True:
                arrived, found = watcher.next_events(deadline)
                if arrived is None:
                    raise SystemExit(f"{path} showed no drawn window within {MAP_TIMEOUT:.0f} s")
                for kind, subject in found:
                    if kind == "map" and window is None:
                        # Read at once, while the program goes on; a high-water
                        # mark, so reading it a little late can only add the
                        # little the program allocated meanwhile.
                        peak = peak_rss_kib(pid)
                        if watcher.window_pid(subject) == pid:
                            window = subject.id
                            self.mapped = (arrived - started) / 1e9
                            self.peak_mapped = peak
                    elif kind == "drawn" and window is not None and subject == window:
                        break
                else:
                    continue
                break
            os.kill(pid, signal.SIGSTOP)
            os.waitpid(pid, os.WUNTRACED)
            self.drawn = (arrived - started) / 1e9
            self.peak_drawn = peak_rss_kib(pid)
        finally:
            os.kill(pid, signal.SIGKILL)
            _, status, _ = os.wait4(pid, 0)
        if not (os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGKILL):
            raise SystemExit(f"{path} ended by itself (wait status {status}) before it was stopped")


def machine():
    model = "unknown CPU"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    memory = 0
    with open("/proc/meminfo") as meminfo:
        for line in meminfo:
            if line.startswith("MemTotal:"):
                memory = int(line.split()[1])
    return f"{len(os.sched_getaffinity(0))} CPUs ({model}), {memory / 1024 / 1024:.1f} GiB memory, Linux {os.uname().release}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=15, help="measured starts of each program (default 15)")
    parser.add_argument("--samples", action="store_true", help="also print every start")
    parser.add_argument("programs", nargs="+", help="program paths; the last is the floor")
    args = parser.parse_args()
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    programs = [os.path.abspath(p) for p in args.programs]
    for path in programs:
        if not os.access(path, os.X_OK):
            parser.error(f"{path} is not an executable")
    for tool in ("Xvfb", "xauth"):
        if not shutil.which(tool):
            raise SystemExit(f"{tool} is missing: scripts/install-deps installs it")

    workdir = tempfile.mkdtemp(prefix="bench-startup-")
    server = XServer(workdir)
    try:
        env = {k: v for k, v in os.environ.items()
               if not k.startswith("QT_") and k not in ("WAYLAND_DISPLAY", "XAUTHORITY", "DISPLAY")}
        env.update(DISPLAY=server.name, XAUTHORITY=server.authfile, XDG_RUNTIME_DIR=workdir)
        os.chmod(workdir, 0o700)
        os.environ["XAUTHORITY"] = server.authfile  # for this script's own connection
        watcher = Watcher(server.name)

        for path in programs:
            Start(watcher, path, env)
        starts = {path: [] for path in programs}
        for run in range(args.runs):
            for path in programs:
                start = Start(watcher, path, env)
                starts[path].append(start)
                if args.samples:
                    print(f"  run {run + 1:2d}  {os.path.basename(path):<10} mapped {start.mapped * 1000:7.1f} ms "
                          f"{start.peak_mapped / 1024:6.1f} MiB   drawn {start.drawn * 1000:7.1f} ms "
                          f"{start.peak_drawn / 1024:6.1f} MiB", flush=True)
    finally:
        server.close()
        shutil.rmtree(workdir, ignore_errors=True)

    def medians(path, field):
        return statistics.median(getattr(start, field) for start in starts[path])

    def span(path, field):
        values = [getattr(start, field) * 1000 for start in starts[path]]
        return f"{min(values):.1f}..{max(values):.1f}"

    floor = programs[-1]
    print(f"machine: {machine()}")
    print(f"X server: Xvfb {server.name}, 1280x1024x24; {args.runs} measured starts of each program, alternating; "
          f"ratios are to {os.path.basename(floor)}")
    print()
    print("                  first window mapped                   first drawn into")
    print(f"{'program':<10} {'median':>9} {'min..max':>15} {'ratio':>6}     {'median':>9} {'min..max':>15} {'ratio':>6}")
    for path in programs:
        row = f"{os.path.basename(path):<10}"
        for field in ("mapped", "drawn"):
            row += (f" {medians(path, field) * 1000:6.1f} ms {span(path, field):>15} "
                    f"{medians(path, field) / medians(floor, field):6.3f}    ")
        print(row.rstrip())
    print()
    print("           peak RSS by the map     peak RSS by the first drawing")
    print(f"{'program':<10} {'median':>12} {'ratio':>7}      {'median':>12} {'ratio':>7}")
    for path in programs:
        row = f"{os.path.basename(path):<10}"
        for field in ("peak_mapped", "peak_drawn"):
            row += f" {medians(path, field) / 1024:8.1f} MiB {medians(path, field) / medians(floor, field):7.3f}     "
        print(row.rstrip())
    return 0


if __name__ == "__main__":
    sys.exit(main())
