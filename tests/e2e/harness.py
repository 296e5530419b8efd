"""Real-display test harness: a private Xvfb server with a window manager (and optionally a
notification area), and throw-away program folders holding the built program and a note
database of the test's own."""

import os
import shutil
import signal
import sqlite3
import subprocess
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


class Display:
    """A private X server (Xvfb picks its own free display number), openbox, and trayer."""

    def __init__(self, tray=False, size="1280x800x24"):
        self.procs = []
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
        self.procs.append(subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for(lambda: self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).returncode == 0
                 and "window id" in self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).stdout)
        if tray:
            self.procs.append(subprocess.Popen(
                ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                 "--height", "24", "--SetDockType", "true", "--transparent", "false"],
                env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            wait_for(lambda: self.x(["xdotool", "search", "--class", "trayer"]).returncode == 0)

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
        out = subprocess.run(["import", "-display", self.name, "-window", "root", "-crop",
                              f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                             capture_output=True, text=True, timeout=20).stdout
        hexpart = out.split("#")[1][:6]
        return tuple(int(hexpart[i:i + 2], 16) for i in (0, 2, 4))

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.name, "-window", "root", path], timeout=30)

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()


class Program:
    """A throw-away program folder: the built executable, its companion libraries, a note
    database made here, and private temp and config folders (so that each test has its own
    single-instance channel)."""

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
        os.makedirs(self.tmp)
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

    def rows(self, sql="SELECT ID, content, Visual FROM Tips ORDER BY ID"):
        con = sqlite3.connect(self.db)
        try:
            return con.execute(sql).fetchall()
        finally:
            con.close()

    @property
    def env(self):
        env = dict(self.display.env, TMPDIR=self.tmp, XDG_CONFIG_HOME=self.config,
                   XDG_RUNTIME_DIR=self.tmp, QT_QPA_PLATFORM="xcb")
        # No network in tests: the advertisement and update addresses fail at once.
        env["ZETTARA_FEEDBACK_OUTBOX"] = os.path.join(self.dir, "outbox")
        return env

    def start(self, *args):
        proc = subprocess.Popen([self.exe, *args], env=self.env, cwd="/",
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.procs.append(proc)
        return proc

    def main_windows(self, visible=True):
        return self.display.windows(name="^" + CAPTION.replace(".", r"\.") + "$", visible=visible)

    def note_windows(self):
        return self.display.windows(name="^Zettara$")

    def wait_ready(self, proc, visible=True, timeout=15):
        """Waits until the program has mapped its main window (visible) or, for a hidden start,
        created it."""
        return wait_for(lambda: proc.poll() is not None or self.main_windows(visible=visible), timeout)

    def answer_box(self, title, key, timeout=10):
        """Answers a message box by its title with a key (Return = default button)."""
        boxes = wait_for(lambda: self.display.windows(name="^" + title + "$"), timeout)
        if not boxes:
            return False
        self.display.xdotool("windowactivate", "--sync", boxes[0])
        time.sleep(0.2)
        self.display.xdotool("key", key)
        return True

    def exit_via_menu(self, answer_key):
        """Runs 文件 > 退出程序 on the visible main window and answers the confirmation."""
        window = self.main_windows()[0]
        self.display.xdotool("windowactivate", "--sync", window)
        self.display.xdotool("key", "alt+f")
        time.sleep(0.3)
        self.display.xdotool("key", "x")
        return self.answer_box("确定退出", answer_key)

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

    @classmethod
    def setUpClass(cls):
        cls.display = Display(tray=cls.tray)

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
