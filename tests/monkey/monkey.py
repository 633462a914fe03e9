#!/usr/bin/python3
"""Random keys, text and clicks at one program on an X display with a window
manager, as the unprivileged user nobody, for MONKEY_SECONDS (default 60)
with MONKEY_SEED (default 1).  Usage: monkey.py PROGRAM HOME

Fails on the program ending by a signal or a nonzero status, a sanitizer
report on its stderr, or a window of the program's that is still mapped and
leaves _NET_WM_PING unanswered for 10 s.  An ending with status 0 (the entry
form closed) starts it again.  A PROGRAM.exe runs under wine, from drive C:
of a prefix in HOME with no drive Z: (wine's dialogs reach every folder
through it)."""
import collections, os, random, re, shutil, signal, subprocess, sys, time
from Xlib import X, XK, Xatom, display, error
from Xlib.ext import xtest
from Xlib.protocol import event

program, home = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
name = os.path.basename(program)
seconds = float(os.environ.get("MONKEY_SECONDS", "60"))
seed = int(os.environ.get("MONKEY_SEED", "1"))
rng = random.Random(seed)
wine = name.endswith(".exe")
# In a mount namespace of its own where every mount is read-only but the
# scratch home (a save dialog reaches /tmp and any folder nobody owns), then
# as nobody without capabilities. Under wine, HOME/tmp is /tmp: every start,
# and the wineserver that outlives one, find the server's socket there.
PRIVATE_TMP = 'mount --bind "$0/tmp" /tmp && ' if wine else ""
CONFINE = """for m in $(awk '{print $5}' /proc/self/mountinfo); do mount -o remount,bind,ro "$m" 2>/dev/null; done
mount --bind "$0" "$0" && mount -o remount,bind,rw "$0" && %sexec setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all -- "$@"
exit 99""" % PRIVATE_TMP
AS_NOBODY = ["unshare", "--mount", "--propagation", "private", "sh", "-c", CONFINE, home]
SANITIZER = re.compile(r"ERROR: AddressSanitizer|runtime error:|LeakSanitizer")
here = os.path.dirname(os.path.abspath(__file__))
PREFIX = os.path.join(home, "wine")
WINE_ENV = dict(WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=d")

d = display.Display()
root = d.screen().root
atom = lambda n: d.intern_atom(n)
CLIENTS, PID, NAME, UTF8 = atom("_NET_CLIENT_LIST"), atom("_NET_WM_PID"), atom("_NET_WM_NAME"), atom("UTF8_STRING")
PROTOCOLS, DELETE, PING = atom("WM_PROTOCOLS"), atom("WM_DELETE_WINDOW"), atom("_NET_WM_PING")
# Qt answers a ping by sending it back to the root with StructureNotify, wine
# with SubstructureNotify.
root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
ping = None  # the ping waiting for its answer: (number, when sent, window)
pings = 0

events = collections.deque(maxlen=30)
sent = starts = 0
seen = set()
began = time.monotonic()
proc = stderr_path = None

def say(*words):
    print(f"monkey {name}:", *words, flush=True)

def stderr_tail():
    with open(stderr_path, errors="replace") as f:
        return "".join(f.readlines()[-60:])

def fail(reason):
    say(f"FAIL with MONKEY_SEED={seed} after {time.monotonic() - began:.1f} s: {reason}")
    say("last events:\n  " + "\n  ".join(events))
    if stderr_path:
        say("stderr tail:\n" + stderr_tail())
    if proc and proc.poll() is None:
        proc.kill()
    sys.exit(1)

def refuse_unless_confined():
    """nobody must not be root nor able to write anywhere but its home."""
    if subprocess.run(AS_NOBODY + ["id", "-u"], capture_output=True, text=True).stdout.strip() in ("", "0"):
        fail("refusing to run: setpriv does not give an unprivileged user")
    places = {"/", "/tmp", "/var/tmp", "/dev/shm", "/root", os.getcwd(), os.path.dirname(program),
              os.path.dirname(os.path.dirname(program)), os.path.dirname(os.path.dirname(here))}
    if wine:  # its /tmp is HOME/tmp
        places.discard("/tmp")
    for place in places:
        if os.path.commonpath([place, home]) == home:
            continue
        probe = os.path.join(place, ".monkey-probe")
        if subprocess.run(AS_NOBODY + ["sh", "-c", 'touch "$1" 2>/dev/null', "sh", probe]).returncode != 1:
            if os.path.exists(probe):
                os.unlink(probe)
            fail(f"refusing to run: nobody can write in {place} (or the confinement failed)")
    if subprocess.run(AS_NOBODY + ["touch", home + "/.monkey-probe"]).returncode != 0:
        fail("refusing to run: nobody cannot write its own home")

def prop(w, a, kind):
    try:
        p = w.get_full_property(a, kind)
        return p.value if p else None
    except error.XError:
        return None

def windows():
    """The program's viewable windows, oldest first: managed ones, then
    override-redirect ones (menus, tooltips)."""
    managed = [d.create_resource_object("window", i) for i in (prop(root, CLIENTS, Xatom.WINDOW) or [])]
    loose = []
    try:
        for w in root.query_tree().children:
            a = w.get_attributes()
            if a.override_redirect and a.map_state == X.IsViewable:
                loose.append(w)
    except error.XError:
        pass
    mine = [w for w in managed if (prop(w, PID, Xatom.CARDINAL) or [0])[0] == proc.pid]
    # Qt's menus carry no _NET_WM_PID, only the program's WM_CLASS.
    return mine + [w for w in loose if name.encode() in (prop(w, Xatom.WM_CLASS, Xatom.STRING) or b"").split(b"\0")]

def message(w, what, stamp):
    """A WM_PROTOCOLS message, if the window takes that protocol."""
    if what in (prop(w, PROTOCOLS, Xatom.ATOM) or []):
        w.send_event(event.ClientMessage(window=w, client_type=PROTOCOLS, data=(32, [what, stamp, w.id, 0, 0])),
                     event_mask=0)
        d.flush()
        return True

def title(w):
    return (prop(w, NAME, UTF8) or b"").decode("utf-8", "replace")

def note_new(ws):
    for w in ws:
        if w.id in seen:
            continue
        seen.add(w.id)
        t = title(w)
        try:
            menu = w.get_attributes().override_redirect
        except error.XError:
            continue
        kind = ("context menu" if menu else "report" if t == "Form2"
                else "message box" if t in ("입력 오류", "입력오류", name)
                else "save dialog" if t == "PDF로 저장" else "print dialog" if t in ("인쇄", "Print") else None)
        events.append(f"  new window {t!r}" + (f" ({kind})" if kind else ""))
        if kind:
            reached.add(kind)

reached = set()
KS = lambda s: d.keysym_to_keycode(XK.string_to_keysym(s))

def press(*names):
    """Presses the keys in order, releases them in reverse."""
    global sent
    codes = [KS(n) for n in names]
    if 0 in codes:
        return
    for c in codes:
        xtest.fake_input(d, X.KeyPress, c)
    for c in reversed(codes):
        xtest.fake_input(d, X.KeyRelease, c)
    d.sync()
    sent += 1

def type_char(ch):
    key = {" ": "space", ".": "period", "-": "minus"}.get(ch, ch)
    ks = XK.string_to_keysym(key)
    kc = d.keysym_to_keycode(ks)
    if kc:
        press(*(["Shift_L"] if d.keycode_to_keysym(kc, 0) != ks else []), key)

def click(ws, button):
    global sent
    w = ws[-1] if rng.random() < 0.6 else rng.choice(ws)
    try:
        g = w.get_geometry()
        o = root.translate_coords(w, 0, 0)
    except error.XError:
        return
    x, y = o.x + rng.randrange(max(g.width, 1)), o.y + rng.randrange(max(g.height, 1))
    events.append(f"click {button} at {x},{y} in {title(w)!r}")
    xtest.fake_input(d, X.MotionNotify, x=x, y=y)
    xtest.fake_input(d, X.ButtonPress, button)
    xtest.fake_input(d, X.ButtonRelease, button)
    d.sync()
    sent += 1

KEYS = [(("Tab",), 22), (("space",), 8), (("Return",), 6), (("Escape",), 4), (("Control_L", "v"), 4),
        (("Shift_L", "Insert"), 3), (("Control_L", "p"), 2), (("Control_L", "Shift_L", "s"), 2),
        (("Menu",), 2), (("Shift_L", "F10"), 2), (("Shift_L", "Tab"), 3), (("Alt_L", "F4"), 0.3)]
ACTIONS = ["key", "letter", "digit", "text", "left", "right", "middle", "report"]
WEIGHTS = [60, 4, 5, 5, 16, 4, 3, 3]

def act(ws):
    kind = rng.choices(ACTIONS, WEIGHTS)[0]
    if kind == "key":
        keys = rng.choices([k for k, _ in KEYS], [w for _, w in KEYS])[0]
        events.append("key " + "+".join(keys))
        press(*keys)
    elif kind in ("letter", "digit", "text"):
        text = (rng.choice("ABCDNYabnyz") if kind == "letter" else rng.choice("0123456789") if kind == "digit"
                else "".join(rng.choice("0123456789ABCNYab -.") for _ in range(rng.randint(1, 6))))
        events.append(f"type {text!r}")
        for ch in text:
            type_char(ch)
    elif kind == "report":  # Tab to the report button of a fresh form, then space
        events.append("key Tab x6, space")
        for _ in range(6):
            press("Tab")
        press("space")
    else:
        click(ws, {"left": 1, "middle": 2, "right": 3}[kind])

def environment():
    env = {k: v for k, v in os.environ.items() if k in ("PATH", "DISPLAY", "XAUTHORITY") or k.endswith("SAN_OPTIONS")}
    env.update(HOME=home, TMPDIR=home + "/tmp", XDG_RUNTIME_DIR=home + "/runtime",
               XDG_CONFIG_HOME=home + "/config", XDG_CACHE_HOME=home + "/cache", XDG_DATA_HOME=home + "/data",
               CUPS_SERVER=home + "/no-cups.sock", LANG="C.UTF-8", QT_QPA_PLATFORM="xcb")
    return {**env, **WINE_ENV} if wine else env

def as_nobody(*command, timeout=300):
    return subprocess.run(AS_NOBODY + list(command), env=environment(), cwd=home, timeout=timeout,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, errors="replace")

def prepare_wine():
    """The prefix, made by nobody; the program's folder copied onto drive C:
    by root, so that nobody cannot change it; drive Z: taken away."""
    if not os.path.exists(os.path.join(PREFIX, "system.reg")):
        made = as_nobody("/usr/lib/wine/wine64", "wineboot", "--init")
        if made.returncode != 0:
            fail("wineboot could not make the prefix:\n" + made.stderr[-3000:])
        shutil.copytree(os.path.dirname(program), os.path.join(PREFIX, "drive_c", "sheets"))
    z = os.path.join(PREFIX, "dosdevices", "z:")
    if os.path.lexists(z):
        os.unlink(z)
    drives = sorted(d for d in os.listdir(os.path.join(PREFIX, "dosdevices")) if len(d) == 2 and d[1] == ":")
    if drives != ["c:"]:
        fail(f"refusing to run: the prefix has the drives {drives}, not C: alone")
    return ["/usr/lib/wine/wine64", "C:\\sheets\\" + name]

def start():
    global proc, stderr_path, starts
    refuse_unless_confined()
    command = prepare_wine() if wine else [program]
    env = environment()
    if "ASAN_OPTIONS" in env:  # run.sh copies the suppressions beside the home, where nobody can read them
        scratch = os.path.dirname(home)
        env["ASAN_OPTIONS"] += ":suppressions=" + os.path.join(scratch, "asan.supp")
        env["LSAN_OPTIONS"] = env.get("LSAN_OPTIONS", "") + ":suppressions=" + os.path.join(scratch, "lsan.supp")
    starts += 1
    stderr_path = os.path.join(os.path.dirname(home), f"{name}-{starts}.stderr")
    with open(stderr_path, "w") as err:
        proc = subprocess.Popen(AS_NOBODY + command, env=env, cwd=home, stdout=subprocess.DEVNULL, stderr=err)
    events.append(f"start #{starts} pid {proc.pid}")
    wait = 90 if wine else 30  # wine's first start also starts its services
    deadline = time.monotonic() + wait
    while not windows():
        check_ended()
        if time.monotonic() > deadline:
            fail(f"no window {wait} s after the start")
        time.sleep(0.1)
    uid = open(f"/proc/{proc.pid}/status").read().split("\nUid:")[1].split()[:4]
    if "0" in uid:
        fail("refusing to go on: the program runs as root")

def answering(ws):
    """Pings one of the program's windows a second; fails when one that is
    still mapped stays unanswered for 10 s. A window that went away before
    it answered (a menu closed, a box answered) owes no answer."""
    global ping, pings
    while d.pending_events():
        e = d.next_event()
        if ping and e.type == X.ClientMessage and e.client_type == PROTOCOLS and list(e.data[1][:2]) == [PING, ping[0]]:
            ping = None
    now = time.monotonic()
    if ping and now - ping[1] > 10:
        if ping[2] not in [w.id for w in ws]:
            events.append(f"ping {ping[0]} forgotten: its window is gone")
            ping = None
        else:
            fail(f"no answer to _NET_WM_PING for 10 s from the mapped window {ping[2]:#x}")
    if not ping:
        pings += 1
        for w in ws:
            if message(w, PING, pings):
                ping = (pings, now, w.id)
                break

def check_ended():
    """Returns True when the program ended well; fails otherwise."""
    status = proc.poll()
    with open(stderr_path, errors="replace") as f:
        if SANITIZER.search(f.read()):
            try:  # let it finish the report
                proc.wait(10)
            except subprocess.TimeoutExpired:
                pass
            fail("a sanitizer report")
    if status is None:
        return False
    if status < 0:
        fail(f"ended by signal {signal.Signals(-status).name}")
    if status > 0:
        fail(f"ended with status {status}")
    events.append("ended with status 0")
    return True

say(f"MONKEY_SEED={seed} MONKEY_SECONDS={seconds:g} program {program}")
start()
while time.monotonic() - began < seconds:
    if check_ended():
        ping = None
        start()
        continue
    ws = windows()
    note_new(ws)
    answering(ws)
    if ws:
        act(ws)
    time.sleep(0.02)

# Close every window, as the desktop would, so that leaks are reported.
for _ in range(20):
    if proc.poll() is not None:
        break
    for w in windows():
        message(w, DELETE, X.CurrentTime)
    time.sleep(0.5)
if proc.poll() is None:
    proc.kill()
    proc.wait()
else:
    check_ended()
if wine:  # the wineserver and wine's services end with the run
    as_nobody("/usr/lib/wine/wineserver", "-k")
elapsed = time.monotonic() - began
say(f"passed: seed {seed}, {elapsed:.1f} s, {sent} events, {sent / elapsed:.1f} events/s, {starts} starts, {pings} pings")
say("reached: " + ", ".join(k + (" yes" if k in reached else " NO") for k in
                            ("report", "message box", "context menu", "print dialog", "save dialog")))
