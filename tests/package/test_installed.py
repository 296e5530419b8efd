"""The installed package on a real display, run by an ordinary user: the first start gives the
user a copy of the supplied note database, a note saved there stays across starts, and with no
note database at all the program says so and creates nothing. tests/package/run_installed.sh
runs it (as root: it adds the user and takes the supplied database away for the last case)."""

import os
import shutil
import sqlite3
import stat
import subprocess
import time
import unittest

from harness import CAPTION, DisplayTest, Program, wait_for

EXE = shutil.which("Zettara") or "/usr/bin/Zettara"
SUPPLIED = "/usr/share/zettara/Zettara.mdb"
DATA_HOME = os.path.expanduser("~/.local/share")
STORE_DIR = os.path.join(DATA_HOME, "Zettara-6471")
STORE = os.path.join(STORE_DIR, "Zettara.mdb")
TEXT = "Saved in the user's own store"
EDITOR = "^添加Zettara$"


def rows(path):
    con = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    try:
        return con.execute("SELECT ID, content, Visual FROM Tips ORDER BY ID").fetchall()
    finally:
        con.close()


class InstalledProgram(Program):
    """The installed program with the user's real data folder (XDG_DATA_HOME unset)."""

    def __init__(self, display):
        super().__init__(display, database=False)
        self.exe = EXE
        self.db = STORE

    @property
    def env(self):
        env = super().env
        env.pop("XDG_DATA_HOME")
        return env


class InstalledTest(DisplayTest):
    def installed(self):
        self.assertNotEqual(os.getuid(), 0, "run as an ordinary user")
        program = InstalledProgram(self.display)
        self.addCleanup(program.close)
        return program

    def menu(self, program, keys, done):
        """Runs a menu item of the main window by its access keys until done() holds."""
        window = program.main_windows()[0]
        for _ in range(4):
            self.display.activate(window)
            self.display.xdotool("key", keys[0])
            if wait_for(self.display.popups, 2.5):
                self.display.xdotool("key", keys[1])
                if wait_for(done, 5):
                    return True
        return False

    def test_first_start_copies_the_supplied_store_and_keeps_the_users_notes(self):
        self.assertTrue(os.path.isfile(SUPPLIED), "the package's supplied database is missing")
        self.assertFalse(os.path.exists(STORE_DIR), "not a new user")
        program = self.installed()

        proc = self.running(program)
        self.assertTrue(wait_for(program.note_windows), "the welcome note is not on the desktop")
        self.assertEqual(rows(STORE), rows(SUPPLIED))
        self.assertTrue(rows(STORE)[0][1].startswith("欢迎使用 Zettara"))
        self.assertEqual(stat.S_IMODE(os.stat(STORE).st_mode), 0o600)
        self.assertEqual(stat.S_IMODE(os.stat(STORE_DIR).st_mode), 0o700)

        # The companion libraries come from the installed library folder.
        feedback = "^Zettara 3\\.0\\.0\\.0$"
        self.assertTrue(self.menu(program, ("alt+h", "f"), lambda: self.display.windows(name=feedback)),
                        "the feedback dialog did not open")
        self.display.key_until("Escape", lambda: not self.display.windows(name=feedback),
                               window=self.display.windows(name=feedback)[0])

        # Start with login runs the installed program.
        autostart = os.path.join(program.config, "autostart", "Zettara.desktop")
        self.assertTrue(self.menu(program, ("alt+t", "r"), lambda: os.path.exists(autostart)),
                        "start with login wrote no entry")
        with open(autostart, encoding="utf-8") as f:
            entry = f.read()
        self.assertIn("\nExec=%s mini\n" % os.path.realpath(EXE), entry)
        self.assertIn("\nX-KDE-autostart-after=panel\n", entry)
        check = subprocess.run(["desktop-file-validate", autostart], capture_output=True, text=True)
        self.assertEqual((check.returncode, check.stdout), (0, ""))

        # A note saved in the user's store.
        main = program.main_windows()[0]
        self.assertTrue(self.display.key_until("ctrl+n", lambda: self.display.windows(name=EDITOR),
                                               window=main), "Ctrl+N opened no editor")
        editor = self.display.windows(name=EDITOR)[0]
        self.display.activate(editor)
        x, y = self.display.client_origin(editor)
        self.display.click(x + 260, y + 200)
        time.sleep(0.3)
        self.display.xdotool("type", "--delay", "15", TEXT)
        time.sleep(0.2)
        self.display.click(x + 50, y + 15)  # 保存并关闭
        self.assertTrue(wait_for(lambda: TEXT in [r[1] for r in rows(STORE)], 5), "the note was not saved")
        saved = rows(STORE)
        inode = os.stat(STORE).st_ino

        self.assertTrue(program.exit_via_menu("Return"))
        self.assertEqual(proc.wait(5), 0)

        # A second start uses the same file and finds the note.
        proc = self.running(program)
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2), "the saved note is not shown")
        self.assertEqual(rows(STORE), saved)
        self.assertEqual(os.stat(STORE).st_ino, inode, "the user's store was replaced")
        # Beside the store only the day's backup (made in the background), private like it.
        backups = os.path.join(STORE_DIR, "backups")
        self.assertTrue(wait_for(lambda: os.path.isdir(backups) and any(
            n.endswith(".mdb") for n in os.listdir(backups)), 5), "no backup was made")
        self.assertEqual(sorted(os.listdir(STORE_DIR)), ["Zettara.mdb", "backups"])
        self.assertEqual(stat.S_IMODE(os.stat(backups).st_mode), 0o700)
        (backup,) = os.listdir(backups)
        self.assertRegex(backup, r"^Zettara-\d{4}-\d{2}-\d{2}\.mdb$")
        self.assertEqual(stat.S_IMODE(os.stat(os.path.join(backups, backup)).st_mode), 0o600)
        self.assertTrue(program.exit_via_menu("Return"))
        self.assertEqual(proc.wait(5), 0)

    def test_without_any_note_database_it_says_so_and_creates_nothing(self):
        self.assertFalse(os.path.exists(SUPPLIED), "the supplied database was not taken away")
        shutil.rmtree(STORE_DIR, ignore_errors=True)
        before = sorted(os.listdir(DATA_HOME)) if os.path.isdir(DATA_HOME) else None
        program = self.installed()

        proc = program.start()
        self.assertTrue(program.answer_box("Zettara-6471", "Return"), "no error message shown")
        self.assertNotEqual(proc.wait(5), 0)
        self.assertEqual(program.main_windows(visible=False), [])
        self.assertFalse(os.path.exists(STORE_DIR))
        after = sorted(os.listdir(DATA_HOME)) if os.path.isdir(DATA_HOME) else None
        self.assertEqual(after, before)


if __name__ == "__main__":
    unittest.main()
