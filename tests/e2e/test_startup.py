"""Start-up, hidden start, single instance and exit of the real program on a real display."""

import hashlib
import os
import shutil
import sqlite3
import tempfile
import subprocess
import time
import unittest

from harness import DisplayTest, wait_for

ONE_NOTE = [dict(content="桌面上的便签", Visual=1)]


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class StartupTest(DisplayTest):
    def test_mini_starts_hidden_and_other_arguments_show_the_window(self):
        program = self.program(ONE_NOTE)
        proc = program.start("mini")
        # The note window is the sign that the load steps have run.
        notes = wait_for(program.note_windows)
        self.assertTrue(notes, "the ticked note did not open")
        self.assertTrue(self.display.note_menu_round_trip(notes[0]), "the note does not answer")
        self.assertIsNone(proc.poll())
        self.assertEqual(program.main_windows(), [])
        proc.terminate()
        proc.wait(5)

        # Options Qt takes for itself are part of the text: "-style fusion mini" is not "mini".
        for args in (["MINI"], ["mini", "x"], ["-mini"], ["-style", "fusion", "mini"]):
            with self.subTest(args=args):
                program = self.program(ONE_NOTE)
                proc = self.running(program, *args)
                self.assertEqual(len(program.main_windows()), 1)
                proc.terminate()
                proc.wait(5)

    def test_second_launch_shows_the_first_and_ends(self):
        for args in ([], ["mini"]):
            with self.subTest(args=args):
                program = self.program(ONE_NOTE)
                first = program.start("mini")
                self.assertTrue(wait_for(program.note_windows))
                self.assertEqual(program.main_windows(), [])
                before = digest(program.db)

                started = time.monotonic()
                second = program.start(*args)
                self.assertEqual(second.wait(5), 0)
                self.assertLess(time.monotonic() - started, 1.0)
                self.assertTrue(wait_for(program.main_windows, 5), "first instance's window not shown")
                self.assertIsNone(first.poll())
                self.assertEqual(digest(program.db), before)
                first.terminate()
                first.wait(5)

    def test_two_launches_at_the_same_instant_leave_one_process(self):
        program = self.program(ONE_NOTE)
        procs = [program.start(), program.start()]
        self.assertTrue(wait_for(program.main_windows))
        ended = wait_for(lambda: [p for p in procs if p.poll() is not None], 5)
        self.assertTrue(program.menu_round_trip(), "the remaining instance does not answer")
        alive = [p for p in procs if p.poll() is None]
        self.assertEqual(len(alive), 1, "exactly one instance must remain")
        self.assertEqual([p.returncode for p in ended], [0])

    def test_a_second_copy_on_the_note_file_ends_whatever_folders_its_environment_names(self):
        program = self.program(ONE_NOTE)
        first = self.running(program)
        home = tempfile.mkdtemp(dir=program.dir)
        base = {k: v for k, v in program.env.items() if k not in ("XDG_CACHE_HOME", "HOME")}
        if not os.path.exists("/.cache"):  # HOME unset: "/" is the home folder
            self.addCleanup(shutil.rmtree, "/.cache", True)
        for way, env in (("another cache folder", dict(program.env, XDG_CACHE_HOME=home)),
                         ("another home", dict(base, HOME=home)), ("no home", base)):
            with self.subTest(way=way):
                second = program.start(env=env)
                self.assertTrue(program.answer_box("Zettara-6471", "Return"), "no message")
                self.assertEqual(second.wait(5), 1)
                self.assertIsNone(first.poll())
        # The hold leaves the engine's own locks alone: another program still takes them.
        sqlite3.connect(program.db, timeout=5, isolation_level=None).execute("BEGIN EXCLUSIVE").close()

    def test_missing_database_reports_and_ends_non_zero_creating_nothing(self):
        program = self.program(database=False)
        proc = program.start()
        self.assertTrue(program.answer_box("Zettara-6471", "Return"), "no error message shown")
        self.assertNotEqual(proc.wait(5), 0)
        self.assertFalse(os.path.exists(program.db))
        self.assertEqual(sorted(os.listdir(program.dir)),
                         sorted(["Zettara", "libUpdate.so", "libSendComment.so", "tmp", "config"]))

    def test_foreign_database_reports_and_stays_unchanged(self):
        program = self.program(database=False)
        with open(program.db, "wb") as f:
            f.write(b"\x00\x01\x00\x00Standard Jet DB\x00" + os.urandom(4096))
        before = digest(program.db)
        proc = program.start()
        self.assertTrue(program.answer_box("Zettara-6471", "Return"))
        self.assertNotEqual(proc.wait(5), 0)
        self.assertEqual(digest(program.db), before)

    def test_read_only_note_folder_reports_and_ends_non_zero_writing_nothing(self):
        program = self.program(ONE_NOTE)
        before, listing = digest(program.db), sorted(os.listdir(program.dir))
        os.chmod(program.dir, 0o555)
        self.addCleanup(os.chmod, program.dir, 0o700)
        proc = program.start()
        self.assertTrue(program.answer_box("Zettara-6471", "Return"), "no error message shown")
        self.assertNotEqual(proc.wait(5), 0)
        self.assertEqual(digest(program.db), before)
        self.assertEqual(sorted(os.listdir(program.dir)), listing)

    def test_exit_answered_no_keeps_running_and_yes_ends_with_the_database_intact(self):
        program = self.program(ONE_NOTE + [dict(content="second", Visual=1)])
        proc = self.running(program)
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2))
        rows = program.rows()

        self.assertTrue(program.exit_via_menu("Escape"))
        self.assertTrue(program.menu_round_trip(), "the program does not answer after the No")
        self.assertIsNone(proc.poll())
        self.assertEqual(len(program.main_windows()), 1)
        self.assertEqual(len(program.note_windows()), 2)

        self.assertTrue(program.exit_via_menu("Return"))
        self.assertEqual(proc.wait(5), 0)
        self.assertEqual(program.rows(), rows)
        check = subprocess.run(["python3", "-c", "import sqlite3,sys; c=sqlite3.connect(sys.argv[1]);"
                                "print(c.execute('PRAGMA integrity_check').fetchone()[0])", program.db],
                               capture_output=True, text=True)
        self.assertEqual(check.stdout.strip(), "ok")

    def test_notes_that_cannot_open_are_reported_once_and_the_rest_open(self):
        program = self.program([dict(content="first", Visual=1), dict(content="broken", Visual=1, BackColor=None),
                                dict(content="foreign", Visual=1, FontColor="abc"),
                                dict(content="fourth", Visual=1)])
        proc = program.start()
        self.assertTrue(program.answer_box("Zettara-6471", "Return"), "the bad notes were not reported")
        self.assertTrue(wait_for(program.main_windows), "start-up did not go on")
        self.assertIsNone(proc.poll())
        # The box came before the main window: a second one would be up by now.
        self.assertEqual(self.display.windows(name="^Zettara-6471$"), [], "reported more than once")
        self.assertEqual(len(program.note_windows()), 2)

    def test_close_box_only_hides(self):
        program = self.program(ONE_NOTE)
        proc = self.running(program)
        self.assertTrue(program.close_main_window())
        self.assertTrue(self.display.note_menu_round_trip(program.note_windows()[0]),
                        "the program does not answer after the close box")
        self.assertIsNone(proc.poll())
        self.assertEqual(len(program.note_windows()), 1)


if __name__ == "__main__":
    unittest.main(verbosity=2)
