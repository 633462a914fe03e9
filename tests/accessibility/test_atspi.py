#!/usr/bin/python3
"""Drives each installed program through AT-SPI, as a screen reader would.

For tollsheet and wagesheet in turn: finds the entry boxes by their Korean
captions, types a valid record into them and presses "입력", types a refused
one and reads the message box that answers it, then presses "출력" and reads
the record back out of the report boxes.

    test_atspi.py BIN_DIR    (run by run.sh, which provides the display and buses)
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

BIN = sys.argv[1]
PROGRAMS = [
    dict(name="tollsheet",
         boxes=["고객번호", "등급코드", "음성서비스가입여부", "문자서비스가입여부", "전화사용시간"],
         valid=["3", "S", "Y", "N", "120"],
         refused=["3", "", "Y", "N", "120"], refused_box="등급코드", first_focus=0,
         title="입력 오류", message="등급코드 영문자 1자리로 입력되어야 합니다",
         report={"입력된 자료": "      3          S            Y                 N                 120",
                 "출력자료": "      3      프리미엄      60,200       20,000      79,840    "}),
    dict(name="wagesheet",
         boxes=["사원번호", "기 본 급", "야간시간", "가족수"],
         valid=["B012", "1", "2", "3"],
         refused=["B012", "9", "2", "3"], refused_box="기 본 급", first_focus=4,
         title="입력오류", message="기본급은 1에서 4사이의 정수한자리입니다.",
         report={"입력 자료": "     B012         1          2        3",
                 "출력 자료": "     B012  업무부  15000    0        21,000     2,500   38,500  38,500"}),
]

results = {True: 0, False: 0}


def check(program, what, ok, detail=""):
    results[bool(ok)] += 1
    print(f"{'PASS' if ok else 'FAIL'}: {program}: {what}" + ("" if ok else f" ({detail})"), flush=True)
    return ok


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
        time.sleep(0.05)


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


def give_focus(process):
    """Gives the form the keyboard focus, as a window manager would: at start
    and when a message box closes. Xvfb runs none."""
    subprocess.run(["xdotool", "search", "--sync", "--pid", str(process.pid), "--name", "^Form1$",
                    "windowfocus", "--sync"], timeout=10, check=True, stdout=subprocess.DEVNULL)


def enter(program, boxes, values, button):
    for box, value in zip(boxes, values):
        box.queryEditableText().setTextContents(value)
    typed = [text_of(box) for box in boxes]
    check(program, f"typed {values}", typed == values, f"the boxes hold {typed}")
    press(button)


def drive(p):
    program = p["name"]
    process = subprocess.Popen([os.path.join(BIN, program)])
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = poll(lambda: next((a for a in desktop if a is not None and a.get_process_id() == process.pid), None))
        if not check(program, "its application is on the AT-SPI desktop", app, "not found"):
            return
        # Read every property from the program itself, never from a cache.
        app.set_cache_mask(Atspi.Cache.NONE)
        check(program, "the application is named after the program", app.name == program, app.name)

        form = poll(lambda: window(app, "Form1"))
        boxes = poll(lambda: [find(form, pyatspi.ROLE_TEXT, name) for name in p["boxes"]] if form else None)
        if not check(program, f"entry boxes named {p['boxes']}", boxes and all(boxes), "not all found"):
            return
        buttons = [find(form, pyatspi.ROLE_PUSH_BUTTON, name) for name in ("입력", "출력")]
        if not check(program, "buttons named 입력 and 출력", all(buttons), "not found"):
            return
        give_focus(process)
        first = (boxes + buttons)[p["first_focus"]]
        check(program, f"the form opens with the focus on {first.name!r}", poll(lambda: focused(first)),
              f"focused: {[a.name for a in boxes + buttons if focused(a)]}")

        # A valid record is stored and the boxes are emptied.
        enter(program, boxes, p["valid"], buttons[0])
        check(program, "the boxes are emptied after 입력",
              poll(lambda: all(text_of(box) == "" for box in boxes)),
              f"they hold {[text_of(box) for box in boxes]}")

        # A refused record gets the program's message box; OK closes it and the
        # focus is on the box to correct.
        enter(program, boxes, p["refused"], buttons[0])
        alert = poll(lambda: window(app, p["title"]))
        if check(program, f"an alert titled {p['title']!r} appears", alert and alert.getRole() == pyatspi.ROLE_ALERT,
                 f"windows: {[(w.name, w.getRoleName()) for w in app if w is not None]}"):
            labels = [label.name for label in find_all(alert, pyatspi.ROLE_LABEL) if label.name]
            check(program, f"the message box says {p['message']!r}", labels == [p["message"]], f"it says {labels}")
            ok = find(alert, pyatspi.ROLE_PUSH_BUTTON, "OK")
            if check(program, "the message box is active, its OK button focused",
                     ok and alert.getState().contains(pyatspi.STATE_ACTIVE) and focused(ok),
                     "OK not found" if not ok else "it is not"):
                press(ok)
                check(program, "OK closes the message box", poll(lambda: window(app, p["title"]) is None), "still open")
                give_focus(process)
        refused = boxes[p["boxes"].index(p["refused_box"])]
        check(program, f"the focus is on {p['refused_box']!r} after the message", poll(lambda: focused(refused)),
              f"focused: {[box.name for box in boxes if focused(box)]}")
        check(program, "the refused record stays in its boxes",
              [text_of(box) for box in boxes] == p["refused"], f"they hold {[text_of(box) for box in boxes]}")

        # The report opens active, and its boxes read, line by line, the stored
        # record last and once: the refused one was not stored.
        press(buttons[1])
        report = poll(lambda: window(app, "Form2"))
        if not check(program, "출력 opens the report window Form2, active", report and
                     poll(lambda: report.getState().contains(pyatspi.STATE_ACTIVE)), "not found" if not report else "inactive"):
            return
        for name, line in p["report"].items():
            box = poll(lambda: find(report, pyatspi.ROLE_TEXT, name))
            if not check(program, f"a report box named {name!r}", box, "not found"):
                continue
            whole = (poll(lambda: text_of(box)) or "").removesuffix("\n").split("\n")
            lines = lines_of(box)
            check(program, f"{name!r} reads the same line by line", lines == whole, f"{lines} against {whole}")
            check(program, f"{name!r} ends with the stored record {line!r}", lines[-1:] == [line] and lines.count(line) == 1,
                  f"it reads {lines}")
    finally:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


for p in PROGRAMS:
    try:
        drive(p)
    except Exception as error:  # an object gone, a helper failed: a failure, then the next program
        check(p["name"], "the session runs to its end", False, repr(error))
print(f"{results[True]} passed, {results[False]} failed")
sys.exit(1 if results[False] else 0)
