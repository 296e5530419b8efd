"""The program on Wayland (Qt's wayland platform): on headless weston, and on weston drawing
into an Xvfb window, where xdotool drives its pointer."""

import os
import re
import shutil
import sqlite3
import subprocess
import tempfile
import unittest

from harness import CAPTION, Display, Program, SessionBus, read_line, wait_for

# A pointer entering one of the program's surfaces, in its WAYLAND_DEBUG trace.
POINTER_ENTER = re.compile(r"^\[\s*[\d.]+\] wl_pointer@\d+\.enter\(", re.M)

QT_WAYLAND = "/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so"
# Lines Qt itself prints on Wayland that say nothing about the program.
HARMLESS = []
FAKE_TRAY_HOST = os.environ.get("ZETTARA_FAKE_TRAY_HOST", "")
PROTOCOL_LINE = re.compile(r"^\[\s*\d+\.\d+\]")  # WAYLAND_DEBUG's trace


class Weston:
    """A weston with its own runtime folder: headless, or with one output filling the screen of
    an X display (a harness Display without a window manager)."""

    def __init__(self, display=None):
        self.dir = tempfile.mkdtemp(prefix="zettara e2e weston ")
        self.socket = os.path.join(self.dir, "wayland-zettara")
        args = ["weston", "--socket=wayland-zettara", "--no-config", "--idle-time=0"]
        env = dict(os.environ, XDG_RUNTIME_DIR=self.dir)
        if display:
            args += ["--backend=x11-backend.so", "--width=%d" % display.width,
                     "--height=%d" % display.height]
            env = dict(display.env, XDG_RUNTIME_DIR=self.dir)
        else:
            args.append("--backend=headless-backend.so")
        self.proc = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        if not wait_for(lambda: self.proc.poll() is not None or os.path.exists(self.socket), 15) \
                or self.proc.poll() is not None:
            self.close()
            raise RuntimeError("weston did not start")
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        self.env = dict(env, WAYLAND_DISPLAY=self.socket)

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)
        shutil.rmtree(self.dir, ignore_errors=True)


class TrayHost:
    """The stand-in notification area on a session bus; items lists the icons that came."""

    def __init__(self, env):
        self.proc = subprocess.Popen([FAKE_TRAY_HOST], env=env, stdout=subprocess.PIPE)
        if read_line(self.proc, 10) != "ready":
            self.close()
            raise RuntimeError("the stand-in notification area did not start")

    def next_item(self, timeout=10):
        """(bus name, pid) of the next icon to register, or None."""
        line = read_line(self.proc, timeout).split()
        return (line[1], int(line[2])) if len(line) == 3 and line[0] == "item" else None

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)
        self.proc.stdout.close()


def start_traced(program, env, *args):
    """Starts the program with Wayland's client trace on; returns it and a reader of what it
    printed on standard error."""
    path = os.path.join(program.dir, "stderr-%d.txt" % len(program.procs))
    with open(path, "wb") as err:
        proc = subprocess.Popen([program.exe, *args], env=dict(env, WAYLAND_DEBUG="client"),
                                cwd="/", stdout=subprocess.DEVNULL, stderr=err)
    program.procs.append(proc)

    def log():
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()

    return proc, log


def last(pattern, log, end=None):
    """The last match of pattern in log[:end], or None."""
    found = None
    for found in re.compile(pattern).finditer(log, 0, len(log) if end is None else end):
        pass
    return found


def drawn(log, role):
    """Where a client trace attaches the first buffer to the newest surface given a role that
    matches role (say r"get_popup\("): the offset after that request, or None before. Object
    numbers are reused, so each look-up starts from the request before it."""
    made = last(r"xdg_surface@(\d+)\.%s" % role, log)
    surface = made and last(r"get_xdg_surface\(new id xdg_surface@%s, wl_surface@(\d+)\)" % made[1],
                            log, made.start())
    attached = surface and re.compile(r"wl_surface@%s\.attach\(wl_buffer@" % surface[1]).search(
        log, made.end())
    return attached.end() if attached else None


def main_window_drawn(log):
    """drawn() for the main window, the toplevel titled with the caption: its xdg_toplevel's
    number and the offset, or None before."""
    top = re.search(r'xdg_toplevel@(\d+)\.set_title\("%s"\)' % re.escape(CAPTION), log)
    at = top and drawn(log, r"get_toplevel\(new id xdg_toplevel@%s\)" % top[1])
    return (top[1], at) if at else None


@unittest.skipUnless(shutil.which("weston") and os.path.exists(QT_WAYLAND),
                     "weston or Qt's wayland platform is not installed (Debian packages weston, qt6-wayland)")
class WestonTest(unittest.TestCase):
    def setUp(self):
        self.weston = Weston()
        self.addCleanup(self.weston.close)

    def test_starts_shows_its_windows_and_a_second_launch_ends_quietly(self):
        program = Program(self.weston, [dict(content="on wayland", Visual=1)])
        self.addCleanup(program.close)
        env = dict(program.env, QT_QPA_PLATFORM="wayland")
        first, log = start_traced(program, env)

        # The main window and the note take their titles and are configured by the compositor.
        shown = lambda: (first.poll() is not None or (
            'set_title("%s")' % CAPTION in log() and 'set_title("Zettara")' in log()
            and log().count(".ack_configure(") >= 2))
        self.assertTrue(wait_for(shown, 20), "the windows did not come up")
        self.assertIsNone(first.poll(), "the program ended during start-up")

        second = subprocess.run([program.exe], env=dict(env, XDG_ACTIVATION_TOKEN="zettara-e2e-token"),
                                cwd="/", capture_output=True, timeout=20)
        self.assertEqual(second.returncode, 0)
        self.assertEqual(second.stderr.decode(errors="replace").strip(), "")
        self.assertIsNone(first.poll())

        first.terminate()
        first.wait(10)
        lines = [line for line in log().splitlines() if line.strip() and not PROTOCOL_LINE.match(line)]
        self.assertEqual([line for line in lines if line not in HARMLESS], [])

    def test_a_hidden_start_without_a_notification_area_stays_minimised_until_launched_again(self):
        program = Program(self.weston, [dict(content="on wayland", Visual=1)])
        self.addCleanup(program.close)
        env = dict(program.env, QT_QPA_PLATFORM="wayland")
        first, log = start_traced(program, env, "mini")

        def minimised_once_mapped():  # weston drops a minimise asked before the first buffer
            text = log()
            mapped = main_window_drawn(text)
            return bool(mapped) and "xdg_toplevel@%s.set_minimized()" % mapped[0] in text[mapped[1]:]

        self.assertTrue(wait_for(minimised_once_mapped, 20), "not minimised once mapped")
        seen = len(log())  # no request restores a minimised window: a second launch maps it anew
        self.assertEqual(subprocess.run([program.exe], env=env, cwd="/", timeout=20).returncode, 0)
        self.assertTrue(wait_for(lambda: 'set_title("%s")' % CAPTION in log()[seen:], 10), "not back")

        # Drawn, and a frame of it shown (the compositor's answer read): the launch is handled.
        def shown_again():
            text = log()[seen:]
            mapped = main_window_drawn(text)
            return bool(mapped) and re.search(r"wl_callback@\d+\.done\(", text[mapped[1]:])
        self.assertTrue(wait_for(shown_again, 10), "not drawn again")
        self.assertNotIn("set_minimized()", log()[seen:])

    @unittest.skipUnless(shutil.which("dbus-daemon") and shutil.which("dbus-send"),
                         "no D-Bus daemon and tools (Debian packages dbus-daemon, dbus-bin)")
    def test_a_notification_area_that_comes_later_takes_the_icon(self):
        bus = SessionBus()
        self.addCleanup(bus.close)
        program = Program(self.weston, [dict(content="on wayland", Visual=1)])
        self.addCleanup(program.close)
        env = dict(program.env, QT_QPA_PLATFORM="wayland", DBUS_SESSION_BUS_ADDRESS=bus.address)
        first, log = start_traced(program, env, "mini")

        # No notification area yet: the hidden start leaves the main window minimised.
        minimised = lambda: first.poll() is not None or (
            'set_title("%s")' % CAPTION in log() and "set_minimized()" in log())
        self.assertTrue(wait_for(minimised, 20), "the main window was not minimised")
        self.assertIsNone(first.poll(), "the program ended during start-up")

        host = TrayHost(env)
        self.addCleanup(host.close)
        item = host.next_item()
        self.assertEqual(item and item[1], first.pid, "the icon did not come to the late notification area")

        # The host draws the tray menu from what the program exports, and a click there runs
        # the command: 退出程序 asks its question.
        dbus = lambda *args: subprocess.run(["dbus-send", "--session", "--print-reply",
                                             "--dest=" + item[0], "/MenuBar", *args],
                                            env=env, capture_output=True, timeout=10)
        layout = dbus("com.canonical.dbusmenu.GetLayout", "int32:0", "int32:-1", "array:string:")
        entries = {}
        for chunk in layout.stdout.decode().split("struct {")[1:]:
            label = re.search(r'string "label"\s+variant\s+string "([^"]*)"', chunk)
            if label:
                entries[label.group(1)] = re.search(r"int32 (\d+)", chunk).group(1)
        self.assertEqual(list(entries), ["新建便签[_N]", "显示窗口[_W]", "全部隐藏[_H]", "全部显示[_S]",
                                         "退出程序[_X]"], layout.stderr.decode())
        dbus("com.canonical.dbusmenu.Event", "int32:" + entries["退出程序[_X]"], "string:clicked",
             "variant:int32:0", "uint32:0")
        self.assertTrue(wait_for(lambda: 'set_title("确定退出")' in log(), 10),
                        "退出程序 in the host's menu did nothing")

        first.terminate()
        first.wait(10)
        lines = [line for line in log().splitlines() if line.strip() and not PROTOCOL_LINE.match(line)]
        self.assertEqual([line for line in lines if line not in HARMLESS], [])


@unittest.skipUnless(shutil.which("weston") and os.path.exists(QT_WAYLAND),
                     "weston or Qt's wayland platform is not installed (Debian packages weston, qt6-wayland)")
@unittest.skipUnless(shutil.which("dbus-daemon"), "no D-Bus daemon (Debian package dbus-daemon)")
class WestonPointerTest(unittest.TestCase):
    def test_a_note_moves_and_resizes_under_the_pointer(self):
        display = Display(wm=None)
        self.addCleanup(display.close)
        weston = Weston(display)
        self.addCleanup(weston.close)
        bus = SessionBus()
        self.addCleanup(bus.close)
        program = Program(weston, [dict(content="drag me", Visual=1, BackColor=0x00FFFF)])
        self.addCleanup(program.close)
        # A place stored under X11: weston decides where the note goes, but the X11 spot stays.
        with sqlite3.connect(program.db) as con:
            con.execute("CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X, Y, Width, Height)")
            con.execute("INSERT INTO NotePlacement VALUES(1, 300, 200, 170, 120)")
        con.close()
        env = dict(program.env, QT_QPA_PLATFORM="wayland", DBUS_SESSION_BUS_ADDRESS=bus.address,
                   QT_LOGGING_RULES="zettara.notemenu.debug=true")
        # With a notification area a hidden start shows only the note, wherever weston puts it.
        host = TrayHost(env)
        self.addCleanup(host.close)
        first, log = start_traced(program, env, "mini")
        self.assertEqual(host.next_item(20)[1], first.pid, "no icon in the notification area")
        note = lambda: display.grab().bounds((255, 255, 0))
        x, y, w, h = wait_for(note, 10) or (0, 0, 0, 0)
        self.assertGreater(w * h, 100 * 80, "the note is not on the screen")
        self.assertFalse('set_title("%s")' % CAPTION in log(), "the hidden start made the main window")

        # Moved by the pointer: towards the middle of the screen, so it stays on it.
        dx = 150 if x + w // 2 < display.width // 2 else -150
        dy = 100 if y + h // 2 < display.height // 2 else -100
        display.drag(x + w // 2, y + h // 2, dx, dy)
        moved = (x + dx, y + dy, w, h)
        if not wait_for(lambda: note() == moved, 5) and not POINTER_ENTER.search(log()):
            # Weston's X11 output at times hands no pointer event at all to any client (none in
            # the note's protocol trace, on the old program as on this one): nothing to judge.
            self.skipTest("weston gave the note no pointer events")
        self.assertEqual(note(), moved)

        # Resized from its lower right corner; the new size is kept for the next start.
        display.drag(x + dx + w - 2, y + dy + h - 2, 60, 40)
        resized = (x + dx, y + dy, w + 60, h + 40)
        self.assertEqual(wait_for(lambda: note() == resized, 5) and note(), resized)
        kept = lambda: program.rows("SELECT X, Y, Width, Height FROM NotePlacement")
        want = [(300, 200, w + 60, h + 40)]
        self.assertEqual(wait_for(lambda: kept() == want, 5) and kept(), want)

        # The note menu: what Wayland does not let a program do is disabled and says why.
        display.click(x + dx + w // 2, y + dy + h // 2, 3)
        said = lambda: [line for line in log().splitlines() if line.startswith("zettara.notemenu:")]
        self.assertEqual(wait_for(lambda: len(said()) == 3, 10) and said(), [
            "zettara.notemenu: 总在最前[&T] disabled: Wayland 桌面不允许程序让窗口总在最前",
            "zettara.notemenu: 在所有工作区显示[&W] disabled: Wayland 桌面不允许程序选择窗口所在的工作区",
            "zettara.notemenu: 透明度[&O] disabled: Wayland 桌面不允许程序设置窗口透明度"])
        seen = len(log())
        display.move_pointer(x + dx + w // 2 + 40, y + dy + h // 2 + 108)  # over 总在最前: its tip
        tip = lambda: drawn(log()[seen:], r"get_popup\(")
        wait_for(lambda: tip() and re.search(r"wl_callback@\d+\.done\(", log()[seen + tip():]), 5)
        display.screenshot(os.path.join(os.environ.get("ZETTARA_E2E_SHOTS", tempfile.gettempdir()),
                                        "zettara-weston-note-menu.png"))

    def test_the_note_menu_opens_at_the_pointer(self):
        display = Display(wm=None)
        self.addCleanup(display.close)
        weston = Weston(display)
        self.addCleanup(weston.close)
        program = Program(weston, [dict(content="menu", Visual=1, BackColor=0x00FFFF)])
        self.addCleanup(program.close)
        # No notification area: the main window, the menu's parent, is made and minimised.
        first, log = start_traced(program, dict(program.env, QT_QPA_PLATFORM="wayland"), "mini")
        note = lambda: display.grab().bounds((255, 255, 0))
        self.assertTrue(wait_for(lambda: "set_minimized()" in log() and note(), 20))
        # Where weston leaves it once its opening animation is over: two looks alike.
        looks = [note()]
        self.assertTrue(wait_for(lambda: looks.append(note()) or looks[-1] == looks[-2], 5, 0.2))
        x, y, w, h = looks[-1]
        display.click(x + w // 2, y + h // 2, 3)
        if not wait_for(lambda: "xdg_popup" in log(), 5) and not POINTER_ENTER.search(log()):
            self.skipTest("weston gave the note no pointer events")
        # Just below and right of the pointer lies the menu, no longer the note.
        self.assertTrue(wait_for(lambda: display.pixel(x + w // 2 + 30, y + h // 2 + 10) != (255, 255, 0), 5))

if __name__ == "__main__":
    unittest.main(verbosity=2)
