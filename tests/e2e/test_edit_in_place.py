"""Typing straight into a note window: edited in place, stored as typed, one writer per note,
long notes that scroll."""

import os
import shutil
import signal
import time
import unittest

from harness import DisplayTest, wait_for

EDITOR = "^添加Zettara$"
YELLOW = (255, 255, 192)


class EditInPlaceTest(DisplayTest):
    def note(self, content):
        """Starts the program hidden with one note and returns the program, its process and
        the note window's geometry."""
        program = self.program([dict(content=content)])
        proc = program.start("mini")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 1))
        window = program.note_windows()[0]
        self.assertTrue(self.display.place([window]))
        self.display.settled(window, YELLOW)
        return program, proc, window, self.display.geometry(window)

    def edit(self, window, x, y):
        """A double click at (x, y) in the window."""
        self.display.activate(window)
        self.display.move_pointer(x, y)
        self.display.xdotool("click", "--repeat", "2", "--delay", "60", "1")

    def content(self, program):
        return program.rows("SELECT content FROM Tips")[0][0]

    def test_typing_is_stored_without_a_button_and_survives_a_kill(self):
        program, proc, window, (x, y, w, h) = self.note("hello")
        self.edit(window, x + w // 2, y + h // 2)
        self.display.xdotool("key", "ctrl+End")
        self.display.xdotool("type", "--delay", "15", " world")
        # Stored a second after the typing pauses: nothing pressed, editing goes on.
        self.assertTrue(wait_for(lambda: self.content(program) == "hello world", 2.5),
                        self.content(program))
        self.assertEqual(program.rows("SELECT Transparent FROM Tips"), [(20,)])
        self.assertNotEqual(program.rows("SELECT ChangeTime FROM Tips"), [("2026/12/7 9:00:00",)])
        self.display.xdotool("type", "--delay", "15", "!")
        time.sleep(2)
        os.kill(proc.pid, signal.SIGKILL)
        proc.wait(5)
        self.assertEqual(self.content(program), "hello world!")

    def test_esc_enter_undo_and_an_emptied_text(self):
        program, _, window, (x, y, w, h) = self.note("keep me")
        before = self.display.ink(window)
        self.edit(window, x + w // 2, y + h // 2)
        self.display.xdotool("key", "ctrl+a", "BackSpace")
        time.sleep(1.5)
        self.display.xdotool("key", "Escape")
        # Never stored empty: the note keeps its text and says why (the hint adds ink).
        self.assertTrue(wait_for(lambda: self.display.ink(window) > before, 5), "no text, no hint")
        self.assertEqual(self.content(program), "keep me")
        # Enter edits again, the caret at the end, with undo and redo; Esc stores at once.
        self.display.xdotool("key", "Return")
        self.display.xdotool("type", "--delay", "15", "ab")
        self.display.xdotool("key", "ctrl+z")
        self.display.xdotool("type", "--delay", "15", "c")
        self.display.xdotool("key", "ctrl+z", "ctrl+y", "Escape")
        self.assertTrue(wait_for(lambda: self.content(program) == "keep mec", 0.8),
                        self.content(program))
        # Editing has ended: keys no longer reach the text.
        self.display.xdotool("type", "--delay", "15", "zz")
        self.assertTrue(self.display.note_menu_round_trip(window))
        self.assertEqual(self.content(program), "keep mec")

    def test_one_writer_per_note(self):
        program, _, window, (x, y, w, h) = self.note("draft")
        self.edit(window, x + w // 2, y + h // 2)
        self.display.xdotool("key", "ctrl+End")
        self.display.xdotool("type", "--delay", "15", " two")
        # 修改便签 at once, from the margin: the editor starts from the stored text.
        self.display.click(x + 2, y + h // 2, 3)
        self.assertTrue(wait_for(self.display.popups, 5), "no note menu")
        self.assertTrue(self.display.key_until("e", lambda: self.display.windows(name=EDITOR)))
        self.assertEqual(self.content(program), "draft two")
        # With the editor open a double click raises it and edits nothing.
        editor = self.display.windows(name=EDITOR)[0]
        self.edit(window, x + w // 2, y + h // 2)
        self.assertTrue(wait_for(lambda: self.display.xdotool("getactivewindow").stdout.strip()
                                 == str(editor), 5), "the editor was not raised")
        self.display.xdotool("type", "--delay", "15", "x")
        self.display.activate(window)
        self.display.xdotool("type", "--delay", "15", "y")
        self.assertTrue(self.display.note_menu_round_trip(window))
        self.assertEqual(self.content(program), "draft two")

    def test_a_long_note_fades_out_and_scrolls_with_the_wheel(self):
        # Short lines first, then lines of full blocks: scrolled down, the note is darker.
        text = "\n".join(["a"] * 5 + ["\u2588" * 30] * 20)
        program, _, window, (x, y, w, h) = self.note(text)
        first = self.display.ink(window)
        screen = self.display.grab()
        # More follows: the last line shows through a fade, in neither colour.
        faded = {screen.pixel(x + 5, y + h - 5 - i) for i in range(8)}
        self.assertTrue(faded - {YELLOW, (0, 0, 0)}, faded)
        self.display.move_pointer(x + w // 2, y + h // 2)
        self.display.xdotool("click", "--repeat", "3", "5")
        self.assertTrue(wait_for(lambda: self.display.ink(window) > first + 500, 5),
                        "the later lines did not show")
        self.display.xdotool("click", "--repeat", "6", "4")
        self.assertTrue(wait_for(lambda: abs(self.display.ink(window) - first) < 20, 5))


@unittest.skipUnless(shutil.which("kwin_x11"), "kwin_x11 is not installed (Debian package kwin-x11)")
class EditInPlaceKWinTest(EditInPlaceTest):
    """The same under KWin, which moves the focus its own way."""

    wm = "kwin"


if __name__ == "__main__":
    unittest.main()
