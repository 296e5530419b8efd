"""Real-display test harness: a private Xvfb server with a window manager (and optionally a
notification area), and throw-away program folders holding the built program and a note
database of the test's own."""

import os
import re
import select
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
import unittest

BIN = os.environ.get("ZETTARA_BIN", os.path.join(os.path.dirname(__file__), "../../build/bin"))
DATA = os.environ.get("ZETTARA_DATA", os.path.join(os.path.dirname(__file__), "../../data"))
CAPTION = "Zettara-6471 - Ver.3.0.0.0"
PALE_YELLOW = 12648447


def wait_for(predicate, timeout=10.0, interval=0.05):
    """Polls until predicate() is truthy; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def read_line(proc, timeout):
    """The next line proc prints, without its end, or "" when none comes within timeout."""
    if not select.select([proc.stdout], [], [], timeout)[0]:
        return ""
    return proc.stdout.readline().decode(errors="replace").strip()


class SessionBus:
    """A private D-Bus session bus."""

    def __init__(self):
        # The socket path goes into a bus address unescaped, so it holds no spaces.
        self.dir = tempfile.mkdtemp(prefix="zettara-e2e-bus-")
        self.proc = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1",
             "--address=unix:path=" + os.path.join(self.dir, "bus")],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.address = read_line(self.proc, 10)
        if not self.address:
            self.close()
            raise RuntimeError("dbus-daemon did not start")

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)
        self.proc.stdout.close()
        shutil.rmtree(self.dir, ignore_errors=True)


class Screen:
    """One capture of the screen as raw RGB bytes."""

    def __init__(self, data, width, height):
        if len(data) != width * height * 3:
            raise RuntimeError("screen capture failed")
        self.data, self.width = data, width

    def bounds(self, rgb):
        """The smallest rectangle (x, y, width, height) holding every pixel of colour rgb, or
        None when there is none."""
        found = [m.start() // 3 for m in re.finditer(b"(?=%s)" % re.escape(bytes(rgb)), self.data)
                 if m.start() % 3 == 0]
        if not found:
            return None
        xs, ys = [i % self.width for i in found], [i // self.width for i in found]
        return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1

    def pixel(self, x, y):
        """The colour at a screen position as (r, g, b)."""
        at = (y * self.width + x) * 3
        return tuple(self.data[at:at + 3])


class Display:
    """A private X server (Xvfb picks its own free display number), a window manager (openbox,
    "kwin" for kwin_x11 with its default settings, or None), and trayer."""

    def __init__(self, tray=False, size="1280x800x24", wm="openbox"):
        self.procs = []
        self.home = tempfile.mkdtemp(prefix="zettara e2e wm ")
        self.size = size
        read_fd, write_fd = os.pipe()
        self.procs.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", size, "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        # A helper that loses a race with the new server ends at once; without the window
        # manager every later step would fail in puzzling ways, so it is started again.
        managed = lambda: "window id" in self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).stdout
        if wm == "kwin":
            # An empty configuration folder: KWin as installed, whatever the user running the
            # tests has set.
            self.start_helper(["kwin_x11"], managed, env=dict(
                self.env, XDG_CONFIG_HOME=self.home, XDG_RUNTIME_DIR=self.home, QT_QPA_PLATFORM="xcb"))
        elif wm == "openbox":
            self.start_helper(["openbox", "--sm-disable"], managed)
        if tray:
            self.start_tray()

    def start_tray(self):
        """Starts trayer, the notification area."""
        self.start_helper(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
             "--height", "24", "--SetDockType", "true", "--transparent", "false"],
            lambda: self.x(["xdotool", "search", "--class", "trayer"]).returncode == 0)

    def start_helper(self, args, ready, tries=3, env=None):
        for _ in range(tries):
            proc = subprocess.Popen(args, env=env or self.env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            self.procs.append(proc)
            if wait_for(lambda: proc.poll() is not None or ready(), 10) and proc.poll() is None:
                time.sleep(0.1)
                if proc.poll() is None:
                    return
            print("%s ended with %s on %s; starting it again" % (args[0], proc.poll(), self.name),
                  file=sys.stderr)
        self.close()
        raise RuntimeError(args[0] + " did not start")

    def x(self, args, **kw):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=20, **kw)

    def xdotool(self, *args):
        return self.x(["xdotool", *[str(a) for a in args]])

    def windows(self, name=None, visible=True, pid=None, cls=None):
        args = ["search"]
        if visible:
            args.append("--onlyvisible")
        if pid is not None:
            args += ["--pid", pid]
        if cls is not None:
            args += ["--class", cls]
        else:
            args += ["--name", name]
        out = self.xdotool(*args)
        return [int(w) for w in out.stdout.split()] if out.returncode == 0 else []

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def pixel(self, x, y):
        """The colour at a screen position as (r, g, b)."""
        return self.grab().pixel(x, y)

    def grab(self):
        """The whole screen as it is now, for reading many pixels from one capture."""
        out = subprocess.run(["import", "-display", self.name, "-window", "root", "-depth", "8",
                              "rgb:-"], capture_output=True, timeout=20).stdout
        return Screen(out, self.width, self.height)

    @property
    def width(self):
        return int(self.size.split("x")[0])

    @property
    def height(self):
        return int(self.size.split("x")[1])

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.name, "-window", "root", path], timeout=30)

    def client_origin(self, window):
        """The screen position of a window's client area (xdotool's own answer counts a
        decorated window's frame twice)."""
        out = self.x(["xwininfo", "-id", str(window)]).stdout
        values = dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)
        return int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"])

    def wm_state(self, window):
        """The ICCCM state of a client window: "Normal", "Iconic", or None when withdrawn."""
        out = self.x(["xprop", "-id", str(window), "WM_STATE"]).stdout
        found = re.search(r"window state: (\w+)", out)
        return found.group(1) if found and found.group(1) != "Withdrawn" else None

    def override_redirect(self, window):
        out = self.x(["xwininfo", "-id", str(window)]).stdout
        return "Override Redirect State: yes" in out

    def popups(self, cls="Zettara", exclude=()):
        """The visible override-redirect windows of a class: open menus and tooltips (and
        embedded notification-area icons, which exclude can leave out)."""
        return [w for w in self.windows(cls=cls) if w not in exclude and self.override_redirect(w)]

    def active_name(self):
        """The title of the focused window: one request, however many windows there are."""
        out = self.xdotool("getactivewindow", "getwindowname")
        return out.stdout.strip() if out.returncode == 0 else None

    def activate(self, window):
        self.xdotool("windowactivate", "--sync", window)
        wait_for(lambda: self.xdotool("getactivewindow").stdout.strip() == str(window), 5)

    def place(self, windows, x=40, y=300, step=(220, 0)):
        """Moves frameless windows to (x, y) and on by step, so that none covers another
        whatever the window manager chose; True once they are there."""
        spots = [(x + step[0] * i, y + step[1] * i) for i in range(len(windows))]
        for window, (wx, wy) in zip(windows, spots):
            self.xdotool("windowmove", window, wx, wy)
        return wait_for(lambda: [self.geometry(w)[:2] for w in windows] == spots, 5)

    def key_until(self, key, done, window=None, tries=4, wait=2.5):
        """Sends a key (to window, activated first, or to whatever has the keyboard, such as an
        open menu) until done() holds: a key sent while the focus is still moving can be lost
        on a loaded machine. Only for keys that are harmless once done() holds."""
        for _ in range(tries):
            if window is not None:
                self.activate(window)
            self.xdotool("key", key)
            if wait_for(done, wait):
                return True
        self.report("key %s had no effect" % key)
        return False

    def report(self, what):
        """Tells on stderr which windows are up and which is active, and keeps a screenshot
        in ZETTARA_E2E_SHOTS (default: the temp folder), for a failure seen only on CI."""
        lines = ["%s; active window %s" % (what, self.xdotool("getactivewindow").stdout.strip())]
        for window in self.windows(name="."):
            name = self.xdotool("getwindowname", window).stdout.strip()
            lines.append("  %s %r %s" % (window, name, self.geometry(window)))
        path = os.path.join(os.environ.get("ZETTARA_E2E_SHOTS", tempfile.gettempdir()),
                            "zettara-e2e-%d.png" % os.getpid())
        self.screenshot(path)
        lines.append("  screenshot: " + path)
        print("\n".join(lines), file=sys.stderr)

    def ink(self, window):
        """How many near-black pixels a window shows (every second pixel of every second line):
        a typed word adds dozens, a caret a few."""
        x, y, w, h = self.geometry(window)
        screen = self.grab()
        return sum(max(screen.pixel(px, py)) < 96
                   for py in range(y, y + h, 2) for px in range(x, x + w, 2))

    def settled(self, window, colour=None):
        """Waits until a window is drawn in full (an unpainted window shows the black behind it,
        and a compositor may still be fading it in): its left margin shows colour, when given,
        and its ink stays put between two readings. Returns the last ink reading."""
        x, y, w, h = self.geometry(window)
        if colour is not None:
            wait_for(lambda: self.pixel(x + 2, y + h // 2) == colour, 5)
        readings = [self.ink(window)]
        wait_for(lambda: readings.append(self.ink(window)) or abs(readings[-1] - readings[-2]) < 10, 5)
        return readings[-1]

    def type_into(self, window, x, y, text):
        """Clicks at (x, y) in window and types text once the window has the keyboard (a key
        typed while the focus still moves can be lost); True once the text is drawn."""
        self.activate(window)
        self.click(x, y)
        before = self.settled(window)
        self.xdotool("type", "--delay", "15", text)
        return wait_for(lambda: self.ink(window) > before + 2 * len(text), 5)

    def note_menu_round_trip(self, note):
        """Opens and closes a note window's menu: once it has come and gone, the program has
        handled every input and window event that came before."""
        x, y, w, h = self.geometry(note)
        self.click(x + w // 2, y + h // 2, 3)
        return bool(wait_for(self.popups, 5)) and self.key_until("Escape", lambda: not self.popups())

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell").stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def move_pointer(self, x, y):
        # Not "mousemove --sync": that waits for a movement that never comes when the pointer
        # is already there.
        self.xdotool("mousemove", x, y)
        wait_for(lambda: self.pointer() == (x, y), 5, 0.01)

    def click(self, x, y, button=1):
        self.move_pointer(x, y)
        self.xdotool("click", button)

    def drag(self, x, y, dx, dy, steps=6):
        """A left-button drag by (dx, dy) from (x, y), moving in steps as a hand would: a first
        small step (a window move begins on it) and then the rest."""
        self.move_pointer(x, y)
        self.xdotool("mousedown", 1)
        time.sleep(0.1)
        self.move_pointer(x + (1 if dx else 0), y + (1 if dy else 0))
        time.sleep(0.1)
        for i in range(1, steps + 1):
            self.move_pointer(x + dx * i // steps, y + dy * i // steps)
            time.sleep(0.03)
        time.sleep(0.1)
        self.xdotool("mouseup", 1)

    def bind_characters(self, text):
        """Puts the characters of text that the keyboard map lacks on spare keys (F13 up), so
        that xdotool types them without remapping a key for each one, which races with the
        program reading the map. Call before starting the program."""
        keymap = self.x(["xkbcomp", "-xkb", self.name, "-"]).stdout
        spare = re.findall(r"key <(FK1[3-9]|FK2[0-4])> \{[^}]*\};", keymap)
        chars = [c for c in dict.fromkeys(text) if ord(c) > 0x7F]
        if len(chars) > len(spare):
            raise ValueError("too many characters to bind")
        for name, char in zip(spare, chars):
            keymap = re.sub(r"key <%s> \{[^}]*\};" % name,
                            "key <%s> { [ U%04X ] };" % (name, ord(char)), keymap)
        loaded = self.x(["xkbcomp", "-w", "0", "-", self.name], input=keymap)
        if loaded.returncode != 0:
            raise RuntimeError("xkbcomp could not load the keyboard map: " + loaded.stderr)

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        shutil.rmtree(self.home, ignore_errors=True)


class Program:
    """A throw-away program folder: the built executable, its companion libraries, a note
    database made here, and private temp, config and cache folders (the cache holds the
    single-instance channel, so each test has its own)."""

    def __init__(self, display, notes=(), database=True):
        self.display = display
        self.dir = tempfile.mkdtemp(prefix="zettara e2e ")
        for name in ("Zettara", "libUpdate.so", "libSendComment.so"):
            source = os.path.join(BIN, name)
            if os.path.exists(source):
                shutil.copy2(source, self.dir)
        self.exe = os.path.join(self.dir, "Zettara")
        self.db = os.path.join(self.dir, "Zettara.mdb")
        self.tmp = os.path.join(self.dir, "tmp")
        self.config = os.path.join(self.dir, "config")
        os.makedirs(self.tmp, mode=0o700)  # private, as the runtime folder must be
        os.makedirs(self.config)
        if database:
            self.make_database(notes)
        self.procs = []

    def make_database(self, notes):
        with open(os.path.join(DATA, "schema.sql"), encoding="utf-8") as f:
            schema = f.read()
        con = sqlite3.connect(self.db)
        con.executescript(schema)
        for note in notes:
            row = dict(content="note", CreateTime="2026/12/7 9:00:00", ChangeTime="2026/12/7 9:00:00",
                       Deleted=0, BackColor=PALE_YELLOW, FontColor=0, Visual=1, TopMost=0, Transparent=20)
            row.update(note)
            con.execute("INSERT INTO Tips(%s) VALUES(%s)" % (",".join(row), ",".join("?" * len(row))),
                        list(row.values()))
        con.commit()
        con.close()

    def window_states(self, *rows):
        """Stores window states (ID, KeepAbove, Opacity, TextPoints, AllWorkspaces, Workspace)."""
        with sqlite3.connect(self.db) as con:
            con.execute("CREATE TABLE NoteWindowState(ID INTEGER PRIMARY KEY, KeepAbove, Opacity, "
                        "TextPoints, AllWorkspaces, Workspace)")
            con.executemany("INSERT INTO NoteWindowState VALUES(?, ?, ?, ?, ?, ?)", rows)
        con.close()

    def rows(self, sql="SELECT ID, content, Visual FROM Tips ORDER BY ID"):
        con = sqlite3.connect(self.db)
        try:
            return con.execute(sql).fetchall()
        finally:
            con.close()

    @property
    def env(self):
        # A data folder that is never made: a program without a note file beside it looks
        # there, and must not find (or change) the notes of the user running the tests.
        env = dict(self.display.env, TMPDIR=self.tmp, XDG_CONFIG_HOME=self.config,
                   XDG_DATA_HOME=os.path.join(self.dir, "data"), XDG_RUNTIME_DIR=self.tmp,
                   XDG_CACHE_HOME=os.path.join(self.tmp, "cache"),
                   QT_QPA_PLATFORM="xcb")
        # No network in tests: the advertisement and update addresses fail at once.
        env["ZETTARA_FEEDBACK_OUTBOX"] = os.path.join(self.dir, "outbox")
        return env

    def start(self, *args, env=None, user=None):
        """Starts the program with env (default: self.env), as user (a pwd entry) if given."""
        ids = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[]) if user else {}
        proc = subprocess.Popen([self.exe, *args], env=env or self.env, cwd="/",
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, **ids)
        self.procs.append(proc)
        return proc

    def main_windows(self, visible=True):
        return self.display.windows(name="^" + CAPTION.replace(".", r"\.") + "$", visible=visible)

    def note_windows(self):
        return self.display.windows(name="^Zettara$")

    def tray_icons(self):
        """The program's icons embedded in the notification area (trayer's window)."""
        found = []
        for tray in self.display.windows(cls="trayer"):
            tx, ty, tw, th = self.display.geometry(tray)
            for icon in self.display.windows(cls="Zettara"):
                x, y, w, h = self.display.geometry(icon)
                if tx <= x and x + w <= tx + tw and ty <= y and y + h <= ty + th:
                    found.append(icon)
        return found

    def wait_ready(self, proc, visible=True, timeout=15):
        """Waits until the program has mapped its main window (visible) or, for a hidden start,
        created it."""
        return wait_for(lambda: proc.poll() is not None or self.main_windows(visible=visible), timeout)

    def answer_box(self, title, key, timeout=10):
        """Answers a message box by its title with a key (Return = default button). Keys can
        be lost while a loaded machine is still moving the focus, so they go again until the
        box is gone."""
        pattern = "^" + title + "$"
        boxes = wait_for(lambda: self.display.windows(name=pattern), timeout)
        if not boxes:
            return False
        for _ in range(4):
            self.display.activate(boxes[0])
            time.sleep(0.2)
            self.display.xdotool("key", key)
            if wait_for(lambda: not self.display.windows(name=pattern), 2.5):
                return True
        return False

    def exit_via_menu(self, answer_key):
        """Runs 文件 > 退出程序 on the visible main window and answers the confirmation."""
        window = self.main_windows()[0]
        for _ in range(4):
            self.display.activate(window)
            self.display.xdotool("key", "alt+f")
            if wait_for(lambda: self.display.popups(), 2.5):
                break
        self.display.xdotool("key", "x")
        return self.answer_box("确定退出", answer_key)

    def menu_round_trip(self):
        """Opens and closes the 文件 menu of the visible main window, the sign that the program
        has handled every input sent before."""
        window = self.main_windows()[0]
        if not self.display.key_until("alt+f", self.display.popups, window=window):
            return False
        closed = self.display.key_until("Escape", lambda: not self.display.popups())
        self.display.xdotool("key", "Escape")  # the menu bar keeps the keyboard until a second Esc
        return closed

    def close_main_window(self):
        """The close box of the main window, through Alt+F4; True once it is hidden."""
        window = self.main_windows()[0]
        for _ in range(4):
            self.display.activate(window)
            self.display.xdotool("key", "alt+F4")
            if wait_for(lambda: self.main_windows() == [], 2.5):
                return True
        return False

    def close(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
            if proc.stdout:
                proc.stdout.close()
        shutil.rmtree(self.dir, ignore_errors=True)


class DisplayTest(unittest.TestCase):
    """One display per test class; one program folder per test."""

    tray = False
    wm = "openbox"
    size = "1280x800x24"

    @classmethod
    def setUpClass(cls):
        cls.display = Display(tray=cls.tray, wm=cls.wm, size=cls.size)

    @classmethod
    def tearDownClass(cls):
        cls.display.close()

    def program(self, notes=(), database=True):
        program = Program(self.display, notes, database)
        self.addCleanup(program.close)
        return program

    def running(self, program, *args, visible=True):
        proc = program.start(*args)
        self.assertTrue(program.wait_ready(proc, visible=visible), "main window did not appear")
        self.assertIsNone(proc.poll(), "program ended during start-up")
        return proc
