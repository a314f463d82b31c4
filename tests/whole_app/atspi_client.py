#!/usr/bin/python3
"""A screen reader's view of the running game over the accessibility bus
(AT-SPI), run by atspi_test.sh with the game started: reads the board and the
status bar, opens the connect dialog (its command answers the reader at
once) and starts a game against the computer, moves onto and across the
board with the keyboard, plays a move with Enter, and checks what a reader
was told. One line per check; exit status 1 when one failed."""

import ctypes
import re
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

failures = 0
events = []  # (kind, role, name), read as the bus delivered them: the object may be gone later


def check(ok, what):
    global failures
    failures += 0 if ok else 1
    print(("ok:   " if ok else "FAIL: ") + what, flush=True)


def pump(seconds, until):
    """Runs the event loop that delivers the bus's events until `until()` holds."""
    end = time.monotonic() + seconds
    while time.monotonic() < end and not until():
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.01)
    return until()


def find(root, role, name, seconds=10):
    match = lambda o: o is not None and o.getRoleName() == role and o.name == name  # noqa: E731
    found = []
    pump(seconds, lambda: found.append(pyatspi.findDescendant(root, match)) or found[-1] is not None)
    return found[-1]


def press(accessible):
    """A reader's "activate": the seconds until the program answered, or
    None when the call failed (it times out after 10 s)."""
    start = time.monotonic()
    try:
        accessible.queryAction().doAction(0)
    except GLib.Error:
        return None
    return time.monotonic() - start


def key(*names):
    codes = {"Tab": 0xFF09, "Up": 0xFF52, "Return": 0xFF0D}
    for name in names:
        pyatspi.Registry.generateKeyboardEvent(codes[name], None, pyatspi.KEY_SYM)


def give_focus_back(title):
    """What a window manager does as a dialog closes: the X input focus goes
    back to the window it belonged to. Xvfb runs no window manager."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    window = re.search(r'(0x[0-9a-f]+) "' + re.escape(title) + '"', tree)
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if window is None or not display:
        return False
    x11.XSetInputFocus(display, int(window.group(1), 16), 2, 0)  # RevertToParent, CurrentTime
    x11.XCloseDisplay(display)
    return True


def listener(event):
    try:
        described = (event.source.getRoleName(), event.source.name)
    except GLib.Error:
        return
    if event.type.startswith("focus") or (event.type.endswith(":focused") and event.detail1):
        events.append(("focus",) + described)
    elif event.type.endswith(":showing") and event.detail1 and described[0] == "notification":
        events.append(("said",) + described)


def heard(kind):
    return [name for k, _, name in events if k == kind]


def waits_for(kind, name, seconds=20):
    return pump(seconds, lambda: name in heard(kind))


# The game's pauses (animations, the computer's second) hold its thread; questions wait for it.
Atspi.set_timeout(10000, 20000)
pyatspi.Registry.registerEventListener(listener, "focus:", "object:state-changed:focused",
                                       "object:state-changed:showing")
apps = []
pump(20, lambda: apps.extend(a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "corvidae") or apps)
check(bool(apps), "the game is on the accessibility bus")
if not apps:
    sys.exit(1)
app = apps[0]

status = find(app, "status bar", "状態")
check(status is not None, "the status line is the window's status bar, empty at start")
cells = {c.name.split(" ")[0]: c for c in pyatspi.findAllDescendants(app, lambda o: o is not None and "列" in (o.name or ""))}
check(len(cells) == 64 and cells["8行8列"].name == "8行8列 空き", "64 cells, each named by row, column and content")

# A command answers its trigger at once and opens its dialog afterwards.
answered = press(find(app, "menu item", "接続"))
check(answered is not None and answered < 1,
      "activating 接続 returns within a second (%s)" % ("timed out" if answered is None else "%.3f s" % answered))
dialog = find(app, "dialog", "接続（相手を決める）")
check(dialog is not None and dialog.getState().contains(pyatspi.STATE_SHOWING), "the connect dialog is then on screen")
press(find(app, "push button", "コンピュータと対戦する"))
check(waits_for("said", "先攻・後攻を決定して下さい"), "the computer chosen, the status line's text is said")
check(give_focus_back("ケストレルベイ") and waits_for("focus", "チャットの入力"), "the focus is back in the chat input")
press(find(app, "push button", "決定"))
check(waits_for("said", "ゲーム開始ボタンを押して下さい"), "after 決定 the reader is told to start the game")
press(find(app, "push button", "ゲーム開始"))
check(waits_for("said", "コマを置いて下さい"), "after ゲーム開始 the reader is told to place a piece")
for text in ["黒（先攻）のプレイヤー：root", "白（後攻）のプレイヤー：コンピュータ", "対戦相手：コンピュータ"]:
    check(find(app, "label", text) is not None, "a label reads " + text)

# Two tabs lead from the chat input over ゲーム終了 onto the board.
key("Tab", "Tab")
check(waits_for("focus", "4行4列 白", 10), "Tab onto the board focuses 4行4列 白")
key("Up")
check(waits_for("focus", "3行4列 空き", 10), "Up moves the focus to 3行4列 空き")
check(cells["3行4列"].getState().contains(pyatspi.STATE_FOCUSED), "3行4列 is the focused object")
del events[:]
key("Return")
check(waits_for("said", "自分の番です　コマを置いて下さい", 30), "the player's turn comes again")
said = heard("said")
check(said[:2] == ["黒が3行4列に置き、1枚返しました（黒4、白1）", "コンピュータの番です"]
      and re.fullmatch(r"白が\d行\d列に置き、\d枚返しました（黒3、白3）", said[2]) is not None
      and said[3:] == ["自分の番です　コマを置いて下さい"],
      "the move, the computer's turn, its move and the player's turn are said in order: " + " | ".join(said))
check(status.name == "状態：自分の番です　コマを置いて下さい", "the status bar reads " + status.name)
check(cells["3行4列"].name == "3行4列 黒", "the focused cell now reads 3行4列 黒")
sys.exit(1 if failures else 0)
