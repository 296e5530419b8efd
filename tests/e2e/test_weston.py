"""The program on Wayland: headless weston, Qt's wayland platform."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

from harness import CAPTION, Program, wait_for

QT_WAYLAND = "/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so"
# Lines Qt itself prints on Wayland that say nothing about the program.
HARMLESS = [
    # The notification-area icon's X11 watcher, which has nothing to watch on Wayland.
    "qt.core.qobject.connect: QObject::connect: No such signal "
    "QPlatformNativeInterface::systemTrayWindowChanged(QScreen*)",
]
PROTOCOL_LINE = re.compile(r"^\[\s*\d+\.\d+\]")  # WAYLAND_DEBUG's trace


class Weston:
    """A headless weston with its own runtime folder."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="zettara e2e weston ")
        self.socket = os.path.join(self.dir, "wayland-zettara")
        self.proc = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--socket=wayland-zettara", "--no-config",
             "--idle-time=0"], env=dict(os.environ, XDG_RUNTIME_DIR=self.dir),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
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
        log_path = os.path.join(program.dir, "stderr.txt")
        with open(log_path, "wb") as log:
            first = subprocess.Popen([program.exe], env=dict(env, WAYLAND_DEBUG="client"), cwd="/",
                                     stdout=subprocess.DEVNULL, stderr=log)
        program.procs.append(first)

        def log():
            with open(log_path, encoding="utf-8", errors="replace") as f:
                return f.read()

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


if __name__ == "__main__":
    unittest.main(verbosity=2)
