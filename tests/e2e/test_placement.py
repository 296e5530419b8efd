"""Note windows keep their place on a real display: across a restart (also after kill -9), back
on the screen when their stored place is off it, and forgotten with their note. The note file is
backed up once a day and checked at start-up."""

import datetime
import os
import sqlite3
import stat
import time
import unittest

from harness import DATA, DisplayTest, wait_for


class PlacementTest(DisplayTest):
    def placement(self, program):
        """The stored rectangles by note ID, or None while the file has no placement table."""
        if not program.rows("SELECT name FROM sqlite_master WHERE name = 'NotePlacement'"):
            return None
        return {r[0]: r[1:] for r in program.rows("SELECT ID, X, Y, Width, Height FROM NotePlacement")}

    def one_note(self, program, proc):
        windows = wait_for(program.note_windows)
        self.assertEqual(len(windows), 1, "expected one note window")
        self.assertIsNone(proc.poll())
        return windows[0]

    def test_a_moved_and_resized_note_opens_where_it_was_left(self):
        program = self.program([dict(content="note")])
        proc = self.running(program)
        window = self.one_note(program, proc)
        # A file without the table gets an empty one when it opens, and a window placed by
        # nobody but the window manager stores nothing.
        time.sleep(1)
        self.assertEqual(self.placement(program), {})
        self.assertTrue(self.display.place([window], 40, 300), "the note could not be moved")
        x, y, w, h = self.display.geometry(window)
        self.assertEqual((w, h), (170, 120))

        self.display.drag(x + w // 2, y + h // 2, 60, 90)
        self.assertTrue(wait_for(lambda: self.placement(program)), "no placement after a move")
        moved = self.display.geometry(window)
        self.assertTrue(wait_for(lambda: self.placement(program) == {1: moved}, 3),
                        (self.placement(program), moved))
        proc.kill()  # nothing more is written at exit: the row must already be there
        proc.wait()

        proc = self.running(program)
        window = self.one_note(program, proc)
        self.assertEqual(self.display.geometry(window), moved, "not where it was left")
        # A wider note, then a clean exit.
        mx, my, mw, mh = moved
        self.display.drag(mx + mw - 2, my + mh // 2, 60, 0)
        self.assertTrue(wait_for(lambda: self.display.geometry(window)[2] > mw + 40, 5),
                        (moved, self.display.geometry(window)))
        resized = self.display.geometry(window)
        self.assertTrue(program.exit_via_menu("Return"), "exit not confirmed")
        self.assertEqual(proc.wait(10), 0)
        self.assertEqual(self.placement(program), {1: resized})

        proc = self.running(program)
        window = self.one_note(program, proc)
        self.assertEqual(self.display.geometry(window), resized)

        # Deleting the note (note menu, 删除便签) takes its place with it.
        rx, ry, rw, rh = resized
        self.display.click(rx + rw // 2, ry + rh // 2, 3)
        self.assertTrue(wait_for(self.display.popups, 5), "no note menu")
        self.assertTrue(self.display.key_until("d", lambda: program.rows() == []), "not deleted")
        self.assertEqual(self.placement(program), {})

        # The first start of the day left a backup beside the note file, for this user only.
        folder = os.path.join(program.dir, "backups")
        backup = os.path.join(folder, "Zettara-%s.mdb" % datetime.date.today().isoformat())
        self.assertTrue(wait_for(lambda: os.path.exists(backup)), os.listdir(program.dir))
        self.assertEqual(stat.S_IMODE(os.stat(folder).st_mode), 0o700)
        self.assertEqual(stat.S_IMODE(os.stat(backup).st_mode), 0o600)

    def test_a_note_moved_by_the_window_manager_keeps_its_spot_at_any_scale(self):
        program = self.program([dict(content="note")])
        proc = self.running(program)
        window = self.one_note(program, proc)
        time.sleep(1)  # a user's move, long after the window manager placed the note
        self.assertTrue(self.display.place([window], 800, 500))
        self.assertTrue(wait_for(lambda: self.placement(program), 5), "the move was not stored")
        self.assertTrue(program.exit_via_menu("Return"), "exit not confirmed")
        self.assertEqual(proc.wait(10), 0)
        proc = self.running(program)
        self.assertEqual(self.display.geometry(self.one_note(program, proc)), (800, 500, 170, 120))
        self.assertTrue(program.exit_via_menu("Return"), "exit not confirmed")
        self.assertEqual(proc.wait(10), 0)
        # Twice the scale: the same spot on the screen, twice the pixels.
        proc = program.start(env=dict(program.env, QT_SCALE_FACTOR="2"))
        self.assertTrue(program.wait_ready(proc), "main window did not appear")
        self.assertEqual(self.display.geometry(self.one_note(program, proc)), (800, 500, 340, 240))

    def test_a_place_off_every_screen_comes_back_fully_visible(self):
        program = self.program([dict(content="far"), dict(content="near")])
        with sqlite3.connect(program.db) as con:
            con.execute("CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X, Y, Width, Height)")
            con.executemany("INSERT INTO NotePlacement VALUES(?, ?, ?, ?, ?)",
                            [(1, 3000, 2500, 200, 150), (2, -900, 300, 2000, 100)])
        con.close()
        proc = program.start("mini")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2), "two notes expected")
        self.assertIsNone(proc.poll())
        sizes = sorted(self.display.geometry(win) for win in program.note_windows())
        # The wide one is as wide as the screen, at its left edge; the far one in the corner.
        self.assertEqual(sizes, [(0, 300, 1280, 100), (1280 - 200, 800 - 150, 200, 150)])

    def test_a_damaged_note_file_is_reported_and_left_as_it_is(self):
        program = self.program([dict(content="note %d " % i * 20) for i in range(300)])
        with sqlite3.connect(program.db) as con:
            root, = con.execute("SELECT rootpage FROM sqlite_master WHERE name = 'Tips'").fetchone()
            size, = con.execute("PRAGMA page_size").fetchone()
        con.close()
        with open(program.db, "r+b") as f:
            f.seek((root - 1) * size)
            f.write(b"\x7f" * 12)
        with open(program.db, "rb") as f:
            before = f.read()
        proc = program.start()
        self.assertTrue(program.answer_box("Zettara-6471", "Return"), "no message shown")
        self.assertNotEqual(proc.wait(5), 0)
        self.assertEqual(program.main_windows(visible=False), [])
        with open(program.db, "rb") as f:
            self.assertEqual(f.read(), before, "the damaged file was changed")
        self.assertFalse(os.path.exists(os.path.join(program.dir, "backups")))


class SmallScreenTest(DisplayTest):
    size = "1024x768x24"

    def test_the_supplied_welcome_note_opens_clear_of_the_main_window(self):
        program = self.program(database=False)
        with sqlite3.connect(program.db) as con:  # built as the supplied file is
            for name in ("schema.sql", "welcome.sql"):
                with open(os.path.join(DATA, name), encoding="utf-8") as f:
                    con.executescript(f.read())
        con.close()
        self.running(program)
        self.assertTrue(wait_for(program.note_windows), "the welcome note did not open")
        nx, ny, nw, nh = self.display.geometry(program.note_windows()[0])
        mx, my = self.display.client_origin(program.main_windows()[0])
        mw, mh = self.display.geometry(program.main_windows()[0])[2:]
        # The title bar (under 40 pixels) belongs to the main window too.
        self.assertTrue(nx + nw <= mx or mx + mw <= nx or ny + nh <= my - 40 or my + mh <= ny,
                        "note %s under main window %s" % ((nx, ny, nw, nh), (mx, my, mw, mh)))


if __name__ == "__main__":
    unittest.main(verbosity=2)
