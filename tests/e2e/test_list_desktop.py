"""The list and the desktop agree: check marks after a reload, windows of notes saved with
保存继续添加, windows closed by the user staying closed at the next start, and a start with many
shown notes where the main window comes first and answers while the notes open."""

import time
import unittest

from harness import DisplayTest, wait_for

EDITOR = "^添加Zettara$"


class ListDesktopTest(DisplayTest):
    def test_after_f5_a_row_is_ticked_exactly_when_its_note_has_a_window(self):
        program = self.program([dict(content="one"), dict(content="two"), dict(content="three")])
        self.running(program)
        main = program.main_windows()[0]
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 3))
        # Space on the first row unticks it and closes its window; F5 reloads.
        self.display.activate(main)
        self.display.xdotool("key", "Tab", "Home", "space")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2), "window not closed")
        self.display.xdotool("key", "F5")
        time.sleep(0.5)
        # An unticked row: Space ticks it and the window opens again.
        self.display.activate(main)
        self.display.xdotool("key", "Home", "space")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 3, 5),
                        "the reload ticked a note without a window")

    def test_save_and_continue_opens_the_saved_notes_window(self):
        program = self.program([dict(content="earlier", Visual=0)])
        self.running(program)
        main = program.main_windows()[0]
        self.assertTrue(self.display.key_until("ctrl+n", lambda: self.display.windows(name=EDITOR),
                                               window=main), "Ctrl+N opened no editor")
        editor = self.display.windows(name=EDITOR)[0]
        self.display.activate(editor)
        x, y = self.display.client_origin(editor)
        self.display.click(x + 260, y + 200)
        time.sleep(0.3)
        self.display.xdotool("type", "--delay", "15", "first")
        self.display.click(x + 160, y + 15)  # 保存继续添加 at 1620,60 twips, 1485 x 345
        self.assertTrue(wait_for(lambda: len(program.rows()) == 2, 5), "not saved")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 1, 5), "no window opened")
        self.assertEqual(len(self.display.windows(name=EDITOR)), 1, "the editor closed")

    def test_a_note_closed_through_its_menu_stays_closed_at_the_next_start(self):
        program = self.program([dict(content="keep"), dict(content="close")])
        proc = program.start("mini")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2))
        windows = program.note_windows()
        self.assertTrue(self.display.place(windows))
        x, y, w, h = self.display.geometry(windows[1])
        self.display.click(x + w // 2, y + h // 2, 3)
        self.assertTrue(wait_for(self.display.popups, 5), "no note menu")
        self.assertTrue(self.display.key_until("c", lambda: len(program.note_windows()) == 1),
                        "关闭窗口[&C] did not close the window")
        time.sleep(0.5)
        proc.terminate()
        proc.wait(10)

        proc = program.start("mini")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) >= 1))
        time.sleep(1)
        self.assertEqual(len(program.note_windows()), 1, "the closed note came back")
        self.assertEqual(program.rows(), [(1, "keep", 1), (2, "close", 1)])  # Visual untouched
        self.assertIsNone(proc.poll())


class ManyNotesTest(DisplayTest):
    NOTES = 600

    def test_the_main_window_comes_first_and_answers_while_the_notes_open(self):
        program = self.program([dict(content="note %d" % i) for i in range(self.NOTES)])
        proc = self.running(program)
        self.assertLess(len(program.note_windows()), self.NOTES, "every note opened first")
        # Del on the first row is done (the note file says so) before the program has made the
        # windows of the last notes (made, mapped or not: the window manager lags behind).
        self.display.activate(program.main_windows()[0])
        self.display.xdotool("key", "Tab", "Home", "Delete")
        self.assertTrue(wait_for(lambda: len(program.rows()) == self.NOTES - 1, 20), "no delete")
        made = len(self.display.windows(name="^Zettara$", visible=False))
        self.assertLess(made, self.NOTES - 1, "the delete waited for the notes")
        # 文件 > 退出程序 ends it cleanly. Its question waits for the window manager to map it;
        # keys go again until it is up (a menu that missed its key closes on the next Alt+F).
        asked = lambda: self.display.windows(name="^确定退出$")
        for _ in range(3):
            self.display.activate(program.main_windows()[0])
            self.display.xdotool("key", "alt+f")
            time.sleep(1)
            self.display.xdotool("key", "x")
            if wait_for(asked, 30):
                break
        self.assertTrue(program.answer_box("确定退出", "Return"))
        self.assertEqual(proc.wait(30), 0)


if __name__ == "__main__":
    unittest.main()
