"""The list and the desktop agree: check marks, saved notes, closed notes, many shown notes."""

import unittest

from harness import DisplayTest, wait_for


class ListDesktopTest(DisplayTest):
    def test_f5_ticks_exactly_the_notes_with_a_window_and_saved_notes_open(self):
        program = self.program([dict(content="one"), dict(content="two")])
        self.running(program)
        main = program.main_windows()[0]
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2))
        self.display.activate(main)
        self.display.xdotool("key", "Tab", "Home", "space", "F5")  # untick the first row
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 1))
        self.assertTrue(program.menu_round_trip(), "the reload was not handled")
        self.display.activate(main)
        self.display.xdotool("key", "Home", "space")  # an unticked row: Space opens its window
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2, 5))
        # 保存继续添加 (at 1620,60 twips) opens the saved note's window; the editor stays.
        editor = "^添加Zettara$"
        self.assertTrue(self.display.key_until("ctrl+n", lambda: self.display.windows(name=editor),
                                               window=main))
        window = self.display.windows(name=editor)[0]
        x, y = self.display.client_origin(window)
        self.assertTrue(self.display.type_into(window, x + 260, y + 200, "first"))
        self.display.click(x + 160, y + 15)
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 3, 5), "no window opened")
        self.assertEqual(len(self.display.windows(name=editor)), 1)

    def test_a_note_closed_through_its_menu_stays_closed_at_the_next_start(self):
        program = self.program([dict(content="keep"), dict(content="close")])
        proc = program.start("mini")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2))
        self.assertTrue(self.display.place(program.note_windows()))
        x, y, w, h = self.display.geometry(program.note_windows()[1])
        self.display.click(x + w // 2, y + h // 2, 3)
        self.assertTrue(wait_for(self.display.popups, 5), "no note menu")
        self.assertTrue(self.display.key_until("c", lambda: len(program.note_windows()) == 1))
        self.assertTrue(self.display.note_menu_round_trip(program.note_windows()[0]))
        proc.terminate()
        proc.wait(10)
        program.start("mini")
        kept = wait_for(lambda: program.note_windows(), 10)
        self.assertTrue(kept)
        # Start-up opens windows in short batches between events: once a menu has come and gone,
        # the closed note's turn is long past.
        self.assertTrue(self.display.note_menu_round_trip(kept[0]))
        self.assertEqual(len(program.note_windows()), 1, "the closed note came back")
        self.assertEqual(program.rows(), [(1, "keep", 1), (2, "close", 1)])  # Visual untouched


class ManyNotesTest(DisplayTest):
    def test_the_main_window_comes_first_and_answers_while_the_notes_open(self):
        notes = 1500
        program = self.program([dict(content="note %d" % i) for i in range(notes)])
        proc = self.running(program)
        self.assertLess(len(program.note_windows()), notes, "every note opened first")
        # Del is done (the note file says so) before the program has made the last windows
        # (made, mapped or not: the window manager lags behind).
        main = wait_for(program.main_windows, 10)
        self.assertTrue(main, "main window not visible")
        self.display.activate(main[0])
        self.display.xdotool("key", "Tab", "Home", "Delete")
        self.assertTrue(wait_for(lambda: len(program.rows()) == notes - 1, 20), "no delete")
        self.assertLess(len(self.display.windows(name="^Zettara$", visible=False)), notes - 1)
        # 文件 > 退出程序 ends it cleanly; a menu that missed its key closes on the next Alt+F.
        # With this many windows a search of them all is slow on a loaded machine: the box is
        # the focused window, one request away. Keys can be lost while the program is busy.
        box = lambda: self.display.active_name() == "确定退出"
        for _ in range(4):
            if not box():
                self.display.activate(main[0])
                # Qt hands keys to an open menu in order: no need to see the menu first.
                self.display.xdotool("key", "alt+f", "x")
            if wait_for(box, 15):
                self.display.xdotool("key", "Return")
            if wait_for(lambda: proc.poll() is not None, 10):
                break
        self.assertEqual(proc.wait(30), 0)


if __name__ == "__main__":
    unittest.main()
