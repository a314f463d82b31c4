#!/usr/bin/python3
"""A screen reader's view of the running game, through the accessibility bus
(AT-SPI). Run by atspi_test.sh inside a namespace of its own, with the game
already started. Reads the board and the status bar, starts a game against
the computer, moves onto the board and across it with the keyboard, plays
a move with Enter, and checks what a reader was told: the focused cells,
the announcements of both moves and of the status line, and the new status.
Prints one line per check; exits 1 when one failed."""

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


def check(ok, what):
    global failures
    print(("ok:   " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures += 1


def pump(seconds, until=lambda: False):
    """Runs the event loop that delivers the bus's events."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end and not until():
        while context.iteration(False):
            pass
        time.sleep(0.01)
    return until()


def find(root, predicate, seconds=10):
    found = []
    pump(seconds, lambda: found.append(pyatspi.findDescendant(root, predicate)) or found[-1] is not None)
    return found[-1] if found else None


def role(name):
    return lambda o: o is not None and o.getRoleName() == name


def press(accessible):
    """The reader's "activate" on a button or a menu item. A command that
    opens a modal dialog answers only once the dialog is closed: the late
    answer is no failure."""
    try:
        accessible.queryAction().doAction(0)
    except GLib.Error:
        pass


KEYS = {"Tab": 0xFF09, "Up": 0xFF52, "Down": 0xFF54, "Left": 0xFF51, "Right": 0xFF53, "Return": 0xFF0D}


def key(name):
    pyatspi.Registry.generateKeyboardEvent(KEYS[name], None, pyatspi.KEY_SYM)


def give_focus_back(title):
    """What a window manager does when a dialog closes: the X input focus goes
    back to the window the dialog belonged to. Xvfb runs no window manager."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    match = re.search(r"(0x[0-9a-f]+) \"" + re.escape(title) + "\"", tree)
    if match is None:
        return False
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        return False
    x11.XSetInputFocus(display, int(match.group(1), 16), 2, 0)  # RevertToParent, CurrentTime
    x11.XCloseDisplay(display)
    return True


def find_app(name, seconds=20):
    found = []

    def look():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                found.append(app)
                return True
        return False

    pump(seconds, look)
    return found[0] if found else None


# The game's own pauses (animations, the computer's second) hold its thread;
# questions asked meanwhile wait for it.
Atspi.set_timeout(10000, 20000)

events = []  # (kind, role, name) in the order the bus delivered them


def describe(accessible):
    """Role and name, read at once: the object may be gone later."""
    try:
        return accessible.getRoleName(), accessible.name
    except GLib.Error:
        return None, None


def listener(event):
    if event.type.startswith("focus") or (event.type.startswith("object:state-changed:focused") and event.detail1):
        events.append(("focus",) + describe(event.source))
    elif event.type.startswith("object:state-changed:showing") and event.detail1:
        events.append(("shown",) + describe(event.source))


pyatspi.Registry.registerEventListener(listener, "focus:", "object:state-changed:focused",
                                       "object:state-changed:showing")

app = find_app(sys.argv[1] if len(sys.argv) > 1 else "corvidae")
check(app is not None, "the game is on the accessibility bus")
if app is None:
    sys.exit(1)

status = find(app, role("status bar"))
check(status is not None and status.name == "状態", "the status line is the window's status bar, empty at start")
cells = {}
for cell in pyatspi.findAllDescendants(app, role("image")):
    if "行" in cell.name:
        cells[cell.name.split(" ")[0]] = cell
check(len(cells) == 64 and cells["8行8列"].name == "8行8列 空き", "64 cells, each named by row, column and content")
black_count = find(app, lambda o: o is not None and o.name.startswith("黒の数"))
check(black_count is not None and black_count.name == "黒の数：0", "the black count reads 黒の数：0")


def shown_texts():
    return [name for kind, role_name, name in events if kind == "shown" and role_name == "notification"]


def focused_names():
    return [name for kind, role_name, name in events if kind == "focus"]


def wait_for_text(text, seconds=20):
    return pump(seconds, lambda: text in shown_texts())


press(find(app, lambda o: o is not None and o.getRoleName() == "menu item" and o.name == "接続"))
computer = find(app, lambda o: o is not None and o.getRoleName() == "push button" and o.name == "コンピュータと対戦する")
check(computer is not None, "the connect dialog offers the computer")
press(computer)
check(wait_for_text("先攻・後攻を決定して下さい"), "the status line's new text is announced")
check(give_focus_back("ケストレルベイ"), "the main window has the X input focus again")
check(pump(10, lambda: "チャットの入力" in focused_names()), "the focus is back in the chat input")
press(find(app, lambda o: o is not None and o.getRoleName() == "push button" and o.name == "決定"))
check(wait_for_text("ゲーム開始ボタンを押して下さい"), "after 決定 the announcement says to start the game")
press(find(app, lambda o: o is not None and o.getRoleName() == "push button" and o.name == "ゲーム開始"))
check(wait_for_text("コマを置いて下さい"), "after ゲーム開始 the announcement says to place a piece")
players = [o.name for o in pyatspi.findAllDescendants(app, lambda o: o is not None and "のプレイヤー" in o.name)]
check("黒（先攻）のプレイヤー：root" in players and "白（後攻）のプレイヤー：コンピュータ" in players,
      "the player fields read who plays which side: " + " / ".join(players))
opponent = find(app, lambda o: o is not None and o.name.startswith("対戦相手"))
check(opponent is not None and opponent.name == "対戦相手：コンピュータ", "the opponent line reads the opponent")


# The focus is in the chat input; two tabs lead over the game-end button onto the board.
del events[:]
key("Tab")
key("Tab")
check(pump(10, lambda: "4行4列 白" in focused_names()), "Tab onto the board focuses 4行4列 白")
key("Up")
check(pump(10, lambda: "3行4列 空き" in focused_names()), "Up moves the focus to 3行4列 空き")
check(cells["3行4列"].getState().contains(pyatspi.STATE_FOCUSED), "3行4列 is the focused object")
del events[:]
key("Return")
move = "黒が3行4列に置き、1枚返しました（黒4、白1）"
check(wait_for_text(move), "the move is announced: " + move)
check(wait_for_text("コンピュータの番です"), "then the computer's turn is announced")
check(wait_for_text("自分の番です　コマを置いて下さい", 30), "and after the computer's move, the player's turn")
texts = shown_texts()
replies = [t for t in texts if t.startswith("白が")]
check(len(replies) == 1 and replies[0].endswith("枚返しました（黒3、白3）"), "the computer's move is announced: " + " ".join(replies))
check(texts.index(move) < texts.index("コンピュータの番です") < texts.index(replies[0] if replies else "")
      < texts.index("自分の番です　コマを置いて下さい"), "in the order they happened")
check(status.name == "状態：自分の番です　コマを置いて下さい", "the status bar reads " + status.name)
check(cells["3行4列"].name == "3行4列 黒", "the focused cell now reads 3行4列 黒")

print("announcements:", " | ".join(texts))
sys.exit(1 if failures else 0)
