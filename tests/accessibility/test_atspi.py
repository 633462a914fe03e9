#!/usr/bin/python3
"""Drives each installed program through AT-SPI, as a screen reader would.

For tollsheet and wagesheet in turn: finds the entry boxes by their Korean
captions, types a valid record into them and presses "입력", types a refused
one and reads the message box that answers it, then presses "출력" and reads
the record back out of the report boxes. Closes Form1 as a desktop does, with
a modal window open (refused) and without (the program ends), and asks every
text boundary of a filled box and a report box.

    test_atspi.py BIN_DIR x11|wayland    (run by run.sh, which provides the
                                          display, the compositor and buses)

Under weston's headless backend the programs reach the compositor through a
proxy of this test's own (wayland_proxy.py), which sends the close requests
and sees the parent each window is given.
"""
import contextlib
import json
import os
import pathlib
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi, GLib

BIN, PLATFORM = sys.argv[1], sys.argv[2]
WAYLAND = PLATFORM == "wayland"
# Each call to a program gets five seconds, so that a program that hangs
# fails its check and the test goes on rather than waiting out D-Bus's 25.
Atspi.set_timeout(5000, 15000)
if WAYLAND:
    from wayland_proxy import WaylandProxy
    proxy = WaylandProxy(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"], "wayland-proxy")
    PROGRAM_ENV = dict(os.environ, WAYLAND_DISPLAY="wayland-proxy")
else:
    from Xlib import X, display as xdisplay
    from Xlib.protocol import event as xevent
    PROGRAM_ENV = os.environ
# The messages each program answers a refused record with, and each program's
# worked example: the valid record is its first, and `refused` that record with
# one box changed; each report box (`report` names it by caption) shows for it
# alone the worked report's line that starts with its number.
MESSAGES, WORKED = (json.loads((pathlib.Path(__file__).absolute().parent.parent / name).read_text(encoding="utf-8"))
                    for name in ("messages.json", "worked-examples.json"))
NO_SEAT = "headless weston has no seat: no window is active and no widget has the keyboard focus"
PROGRAMS = [
    dict(name="tollsheet",
         boxes=["고객번호", "등급코드", "음성서비스가입여부", "문자서비스가입여부", "전화사용시간"],
         refused={"등급코드": ""}, first_focus=0, title=MESSAGES["tollsheet"]["title"], message=MESSAGES["tollsheet"]["grade"],
         report={"입력된 자료": "Text1", "출력자료": "Text2"},
         modal_report=True, probed={"고객번호": "12", "등급코드": "가 나. 다"},
         described={"Form1": "전화요금 청구서 입력", "Form2": "전화요금 청구서 출력"}),
    dict(name="wagesheet",
         boxes=["사원번호", "기 본 급", "야간시간", "가족수"],
         refused={"기 본 급": "9"}, first_focus=4, title=MESSAGES["wagesheet"]["title"], message=MESSAGES["wagesheet"]["pay"],
         report={"입력 자료": "Text1", "출력 자료": "Text2"},
         modal_report=False, probed={"사원번호": "12", "기 본 급": "가 나. 다"},
         described={"Form1": "급여 계산서 입력", "Form2": "급여 계산서 출력"}),
]
for p in PROGRAMS:
    p["valid"] = [str(value) for value in WORKED[p["name"]]["records"][0]]
    (p["refused_box"], changed), = p["refused"].items()
    p["refused"] = [changed if box == p["refused_box"] else value for box, value in zip(p["boxes"], p["valid"])]
    p["report"] = {caption: next(line for line in WORKED[p["name"]][box]["lines"] if line.split()[0] == p["valid"][0])
                   for caption, box in p["report"].items()}
BOUNDARIES = {name: getattr(pyatspi, f"TEXT_BOUNDARY_{name}") for name in
              ("CHAR", "WORD_START", "WORD_END", "SENTENCE_START", "SENTENCE_END", "LINE_START", "LINE_END")}

results = {True: 0, False: 0, None: 0}
ANNOUNCED = "입력되었습니다"
# (process id, text) of every notification shown (Qt before 6.8) and every
# announcement made (Qt 6.8 on), as a screen reader hears of them.
notifications = []


def on_showing(event):
    with contextlib.suppress(GLib.Error):
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            notifications.append((event.source.get_process_id(), event.source.name))


def on_announcement(event):
    with contextlib.suppress(GLib.Error):
        notifications.append((event.source.get_process_id(), event.any_data))


pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
pyatspi.Registry.registerEventListener(on_announcement, "object:announcement")


def check(program, what, ok, detail=""):
    results[bool(ok)] += 1
    print(f"{'PASS' if ok else 'FAIL'}: {program}: {what}" + ("" if ok else f" ({detail})"), flush=True)
    return ok


def check_focus(program, what, probe, detail):
    """A check of the keyboard focus or the active window, which a compositor
    gives only to a seat's windows: skipped on Wayland."""
    if WAYLAND:
        results[None] += 1
        print(f"SKIP: {program}: {what} ({NO_SEAT})", flush=True)
        return True
    return check(program, what, poll(probe), detail())


def poll(probe, timeout=10.0):
    """The first true value probe() gives within timeout seconds, else None.
    Objects that vanish or are not ready yet while polled count as not found."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = probe()
        except GLib.Error:
            value = None
        if value or time.monotonic() > deadline:
            return value
        # Events (notifications shown) are delivered while it waits.
        pause = time.monotonic() + 0.05
        while time.monotonic() < pause:
            if not GLib.MainContext.default().iteration(False):
                time.sleep(0.01)


def find_all(root, role, name=None):
    found = []
    for child in root:
        if child is None:
            continue
        if child.getRole() == role and (name is None or child.name == name):
            found.append(child)
        found.extend(find_all(child, role, name))
    return found


def find(root, role, name=None):
    found = find_all(root, role, name)
    return found[0] if len(found) == 1 else None


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def lines_of(box):
    """The box's lines as a screen reader reads them: one at a time, by offset."""
    text, lines, offset = box.queryText(), [], 0
    for _ in range(text.characterCount):
        if offset >= text.characterCount:
            break
        line, start, end = text.getTextAtOffset(offset, pyatspi.TEXT_BOUNDARY_LINE_START)
        lines.append(line.rstrip("\n"))
        # A line's end is the start of the next, or (Qt) its line break.
        offset = end if line.endswith("\n") else end + 1
    return lines


def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))


def focused(accessible):
    return accessible.getState().contains(pyatspi.STATE_FOCUSED)


def window(app, name):
    """The one top-level window of the application with this name."""
    windows = [w for w in app if w is not None and w.name == name]
    return windows[0] if len(windows) == 1 else None


def x11_window(process, title):
    """The X window of the program titled `title`."""
    found = subprocess.run(["xdotool", "search", "--all", "--sync", "--pid", str(process.pid), "--name", f"^{title}$"],
                           timeout=10, check=True, capture_output=True, text=True).stdout.split()
    return int(found[0])


def give_focus(process):
    """Gives the form the keyboard focus, as a window manager would: at start
    and when a message box closes. Xvfb runs none, and weston has no seat."""
    if not WAYLAND:
        subprocess.run(["xdotool", "windowfocus", "--sync", str(x11_window(process, "Form1"))],
                       timeout=10, check=True, stdout=subprocess.DEVNULL)


def close_window(process, title):
    """Asks the program to close its window `title`, as the desktop does for
    the window's close button: xdg_toplevel.close on Wayland, WM_DELETE_WINDOW
    (ICCCM) on X11."""
    if WAYLAND:
        toplevel = proxy.find(title)
        if not toplevel:
            raise RuntimeError(f"no xdg_toplevel titled {title!r}")
        proxy.close(toplevel)
        return
    display = xdisplay.Display()
    try:
        target = display.create_resource_object("window", x11_window(process, title))
        protocols, delete = display.intern_atom("WM_PROTOCOLS"), display.intern_atom("WM_DELETE_WINDOW")
        target.send_event(xevent.ClientMessage(window=target, client_type=protocols,
                                               data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        display.sync()
    finally:
        display.close()


def parent_of(process, title):
    """The title of the window the desktop was told is the parent of `title`:
    set_parent on Wayland, WM_TRANSIENT_FOR on X11."""
    if WAYLAND:
        toplevel = proxy.find(title)
        return toplevel.parent.title if toplevel and toplevel.parent else None
    display = xdisplay.Display()
    try:
        parent = display.create_resource_object("window", x11_window(process, title)).get_wm_transient_for()
        return parent.get_wm_name() if parent else None
    finally:
        display.close()


def shown(app, title):
    """The application shows its window `title` (hidden windows stay on the desktop)."""
    found = window(app, title)
    return bool(found and found.getState().contains(pyatspi.STATE_SHOWING) and (not WAYLAND or proxy.find(title)))


def stays(process, app):
    """A program that runs still shows Form1."""
    return process.poll() is None and shown(app, "Form1")


def check_described(program, form, p):
    """A screen reader says what a form is by its description; its title is only "Form1"."""
    wanted = p["described"][form.name]
    check(program, f"{form.name} is described as {wanted!r}", form.description == wanted, f"as {form.description!r}")


def check_close_refused(program, process, app, modal):
    close_window(process, "Form1")
    # The refusal is nothing happening: give the close two seconds to take effect.
    if not poll(lambda: not stays(process, app), timeout=2.0):
        return check(program, f"closing Form1 while {modal} is open is refused: Form1 stays, the program runs", True)
    with contextlib.suppress(subprocess.TimeoutExpired):
        process.wait(2)
    return check(program, f"closing Form1 while {modal} is open is refused: Form1 stays, the program runs", False,
                 "Form1 is hidden" + ("" if process.poll() is None else f", the program ended with status {process.returncode}"))


def busy(process):
    """The share of one processor the program used over the next half second."""
    def ticks():
        with open(f"/proc/{process.pid}/stat") as stat:
            return sum(int(field) for field in stat.read().rsplit(")", 1)[1].split()[11:13])
    before = ticks()
    time.sleep(0.5)
    return (ticks() - before) / os.sysconf("SC_CLK_TCK") / 0.5


def check_boundaries(program, process, box, value):
    """Asks every boundary at the start, inside and at the end of the box's
    text, as a screen reader moving by character, word, sentence and line does.
    Each answer must come, be a piece of the text, and lie at, before or after
    the offset as asked. A program that does not answer is stopped."""
    name, text, length = box.name, box.queryText(), len(value)
    asked, wrong = 0, []
    # The start, the middle, the end and the first line break.
    offsets = {0, 1, length // 2, length} | ({value.index("\n")} if "\n" in value else set())
    for offset in sorted(offsets):
        for kind, boundary in BOUNDARIES.items():
            for method in ("getTextAtOffset", "getTextBeforeOffset", "getTextAfterOffset"):
                call = f"{method}({offset}, {kind})"
                try:
                    piece, start, end = getattr(text, method)(offset, boundary)
                except GLib.Error:
                    alive = process.poll() is None
                    check(program, f"{name!r} holding {value!r} answers every boundary", False,
                          f"{call} got no answer within five seconds, after {asked} answers; the program "
                          + (f"stays busy at {busy(process):.0%} CPU" if alive else f"ended with {process.returncode}"))
                    return False
                asked += 1
                # Nothing there may be told [-1, -1), as Qt does.
                fits = piece == value[start:end] and (0 <= start <= end <= length or piece == "" and start == end)
                if method == "getTextAtOffset":
                    fits &= start <= offset < end or offset == end == length
                elif method == "getTextBeforeOffset":
                    fits &= end <= offset
                else:
                    fits &= start > offset or piece == ""
                if kind == "CHAR":
                    fits &= piece == {"getTextAtOffset": value[offset:offset + 1],
                                      "getTextBeforeOffset": value[offset - 1:offset] if offset else "",
                                      "getTextAfterOffset": value[offset + 1:offset + 2]}[method]
                if not fits:
                    wrong.append(f"{call} = {piece!r} [{start}, {end})")
    check(program, f"{name!r} holding {value!r} answers all {asked} boundaries fitting the text", not wrong,
          f"{len(wrong)} do not: " + "; ".join(wrong[:8]) + ("; ..." if len(wrong) > 8 else ""))
    check(program, f"{name!r} still holds {value!r}", text_of(box) == value, f"it holds {text_of(box)!r}")
    # A screen reader reads a box by its attribute runs: one for the whole
    # value (Qt 6.4's line edits report one per character), or one per line.
    runs = [tuple(text.getAttributeRun(offset, False)[1:]) for offset in range(length)]
    edges = {0, length} | {i + after for i, c in enumerate(value) if c == "\n" for after in (0, 1)}
    check(program, f"{name!r} holding {value!r} has one attribute run" + (" per line" if "\n" in value else ""),
          all(start <= offset < end and {start, end} <= edges for offset, (start, end) in enumerate(runs)),
          f"runs {sorted(set(runs))}")
    return True


def enter(program, boxes, values, button):
    for box, value in zip(boxes, values):
        box.queryEditableText().setTextContents(value)
    typed = [text_of(box) for box in boxes]
    check(program, f"typed {values}", typed == values, f"the boxes hold {typed}")
    press(button)


@contextlib.contextmanager
def running(program):
    """Runs the installed program; afterwards stops it if it still runs and
    checks that it wrote nothing to stderr."""
    with tempfile.TemporaryFile() as stderr:
        process = subprocess.Popen([os.path.join(BIN, program)], stderr=stderr, env=PROGRAM_ENV)
        try:
            yield process
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
            stderr.seek(0)
            said = stderr.read().decode(errors="replace")
            check(program, "nothing on stderr", said == "", f"it wrote:\n{said}")


def application(program, process):
    desktop = pyatspi.Registry.getDesktop(0)
    app = poll(lambda: next((a for a in desktop if a is not None and a.get_process_id() == process.pid), None))
    if check(program, "its application is on the AT-SPI desktop", app, "not found"):
        # Read every property from the program itself, never from a cache.
        app.set_cache_mask(Atspi.Cache.NONE)
    return app


def entry_form(program, app, p):
    form = poll(lambda: window(app, "Form1"))
    boxes = poll(lambda: [find(form, pyatspi.ROLE_TEXT, name) for name in p["boxes"]] if form else None)
    if not check(program, f"entry boxes named {p['boxes']}", boxes and all(boxes), "not all found"):
        return None, None
    buttons = [find(form, pyatspi.ROLE_PUSH_BUTTON, name) for name in ("입력", "출력")]
    if not check(program, "buttons named 입력 and 출력", all(buttons), "not found"):
        return None, None
    return boxes, buttons


def drive(p, process):
    program = p["name"]
    app = application(program, process)
    if not app:
        return
    check(program, "the application is named after the program", app.name == program, app.name)
    boxes, buttons = entry_form(program, app, p)
    if not boxes:
        return
    check_described(program, window(app, "Form1"), p)
    give_focus(process)
    first = (boxes + buttons)[p["first_focus"]]
    check_focus(program, f"the form opens with the focus on {first.name!r}", lambda: focused(first),
                lambda: f"focused: {[a.name for a in boxes + buttons if focused(a)]}")

    # A valid record is stored and the boxes are emptied.
    enter(program, boxes, p["valid"], buttons[0])
    check(program, "the boxes are emptied after 입력",
          poll(lambda: all(text_of(box) == "" for box in boxes)),
          f"they hold {[text_of(box) for box in boxes]}")
    announced = lambda: [name for pid, name in notifications if pid == process.pid]
    check(program, f"입력 is announced once, as {ANNOUNCED!r}", poll(lambda: announced() == [ANNOUNCED]),
          f"notifications: {announced()}")

    # A refused record gets the program's message box, which holds off a close
    # of the form; "확인" (Qt's Korean) closes it and the focus is on the box
    # to correct.
    enter(program, boxes, p["refused"], buttons[0])
    alert = poll(lambda: window(app, p["title"]))
    if check(program, f"an alert titled {p['title']!r} appears", alert and alert.getRole() == pyatspi.ROLE_ALERT,
             f"windows: {[(w.name, w.getRoleName()) for w in app if w is not None]}"):
        labels = [label.name for label in find_all(alert, pyatspi.ROLE_LABEL) if label.name]
        check(program, f"the message box says {p['message']!r}", labels == [p["message"]], f"it says {labels}")
        if not check_close_refused(program, process, app, "the message box"):
            return
        answers = find_all(alert, pyatspi.ROLE_PUSH_BUTTON)
        check(program, "the message box has one button, 확인", [b.name for b in answers] == ["확인"],
              f"its buttons: {[b.name for b in answers]}")
        if answers:
            ok = answers[0]
            check_focus(program, "the message box is active, its 확인 button focused",
                        lambda: alert.getState().contains(pyatspi.STATE_ACTIVE) and focused(ok), lambda: "it is not")
            press(ok)
            check(program, "확인 closes the message box", poll(lambda: window(app, p["title"]) is None), "still open")
            give_focus(process)
    refused = boxes[p["boxes"].index(p["refused_box"])]
    check_focus(program, f"the focus is on {p['refused_box']!r} after the message", lambda: focused(refused),
                lambda: f"focused: {[box.name for box in boxes if focused(box)]}")
    check(program, "the refused record stays in its boxes",
          [text_of(box) for box in boxes] == p["refused"], f"they hold {[text_of(box) for box in boxes]}")
    check(program, "the refused record is not announced", announced() == [ANNOUNCED], f"notifications: {announced()}")

    # The report opens active, and its boxes read, line by line, the stored
    # record last and once: the refused one was not stored.
    press(buttons[1])
    report = poll(lambda: window(app, "Form2"))
    if not check(program, "출력 opens the report window Form2", report, "not found"):
        return
    check_described(program, report, p)
    check_focus(program, "the report is active", lambda: report.getState().contains(pyatspi.STATE_ACTIVE),
                lambda: "inactive")
    for name, line in p["report"].items():
        box = poll(lambda: find(report, pyatspi.ROLE_TEXT, name))
        if not check(program, f"a report box named {name!r}", box, "not found"):
            continue
        whole = (poll(lambda: text_of(box)) or "").removesuffix("\n").split("\n")
        lines = lines_of(box)
        check(program, f"{name!r} reads the same line by line", lines == whole, f"{lines} against {whole}")
        check(program, f"{name!r} ends with the stored record {line!r}", lines[-1:] == [line] and lines.count(line) == 1,
              f"it reads {lines}")
        if not check_boundaries(program, process, box, text_of(box)):
            return

    if p["modal_report"]:
        # The modal report is a child of Form1, and holds off a close of the
        # form; closed itself, it leaves a program that goes on working.
        check(program, "the report's parent window is Form1", parent_of(process, "Form2") == "Form1",
              f"its parent is {parent_of(process, 'Form2')!r}")
        if not check_close_refused(program, process, app, "the modal report"):
            return
        close_window(process, "Form2")
        check(program, "the report closes", poll(lambda: not shown(app, "Form2")), "still open")
        enter(program, boxes, p["valid"], buttons[0])
        if not check(program, "the program still stores a record after the report closed",
                     poll(lambda: all(text_of(box) == "" for box in boxes)),
                     f"they hold {[text_of(box) for box in boxes]}"):
            return
    # Closing Form1 now ends the program, and closes an open (modeless) report.
    close_window(process, "Form1")
    try:
        status = process.wait(10)
    except subprocess.TimeoutExpired:
        status = "still running"
    check(program, "closing Form1 ends the program with status 0"
          + ("" if p["modal_report"] else ", the open report with it"), status == 0, f"status {status}")


def probe(p, process, name, value):
    """A box of a fresh program, filled with `value`, asked every boundary."""
    app = application(p["name"], process)
    boxes = app and entry_form(p["name"], app, p)[0]
    if boxes:
        box = boxes[p["boxes"].index(name)]
        box.queryEditableText().setTextContents(value)
        check_boundaries(p["name"], process, box, value)


for p in PROGRAMS:
    for session, arguments in [(drive, ())] + [(probe, item) for item in p["probed"].items()]:
        try:
            with running(p["name"]) as process:
                session(p, process, *arguments)
        except Exception as error:  # an object gone, a helper failed: a failure, then the next session
            check(p["name"], "the session runs to its end", False, repr(error))
if WAYLAND and proxy.error:
    check("wayland_proxy", "the proxy forwards every message", False, repr(proxy.error))
print(f"{results[True]} passed, {results[False]} failed, {results[None]} skipped")
sys.exit(1 if results[False] else 0)
