"""The program under KWin on X11 with KWin's default settings."""

import shutil
import subprocess
import unittest

from harness import DisplayTest, wait_for
from test_placement import check_arranged_note


@unittest.skipUnless(shutil.which("kwin_x11"), "kwin_x11 is not installed (Debian package kwin-x11)")
class KWinTest(DisplayTest):
    wm = "kwin"

    def test_a_note_opened_later_stays_on_the_desktop_and_out_of_the_task_bar(self):
        program = self.program([dict(content="later", Visual=0)])
        proc = self.running(program)
        main = program.main_windows()[0]
        # The list's first row ticked from the keyboard (after a click in the list's empty
        # lower part) opens its note while the main window is shown.
        self.display.activate(main)
        x, y, w, h = self.display.geometry(main)
        self.display.click(x + w // 2, y + h * 3 // 4)
        self.display.xdotool("key", "Down")
        self.assertTrue(self.display.key_until("space", program.note_windows, window=main),
                        "ticking the row opened no note")
        note = program.note_windows()[0]
        state = self.display.x(["xprop", "-id", str(note), "_NET_WM_STATE"]).stdout
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", state)
        self.assertIn("_NET_WM_STATE_SKIP_PAGER", state)

        # Another program takes the focus; the note stays mapped.
        other = subprocess.Popen(["xmessage", "-title", "another program", "another program"], env=self.display.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(other.wait)
        self.addCleanup(other.terminate)
        others = wait_for(lambda: self.display.windows(name="^another program$"), 10)
        self.assertTrue(others, "xmessage did not appear")
        self.display.activate(others[0])
        self.assertTrue(wait_for(lambda: self.display.xdotool("getactivewindow").stdout.strip()
                                 == str(others[0]), 5), "the other program did not get the focus")
        # KWin hides a program's utility windows as soon as another program is active.
        self.assertFalse(wait_for(lambda: note not in program.note_windows(), 1.5),
                         "the note left the desktop when another program became active")
        self.assertIsNone(proc.poll())

    def test_a_note_kept_on_top_see_through_larger_and_on_workspace_2_opens_so_again(self):
        check_arranged_note(self)

    def test_a_note_reopened_on_another_workspace_asks_for_no_attention(self):
        self.display.xdotool("set_num_desktops", 4)
        self.display.xdotool("set_desktop", 0)
        program = self.program([dict(content="elsewhere")])
        program.window_states((1, 0, 0, None, 0, 1))
        self.running(program)
        prop = lambda w, name: self.display.x(["xprop", "-id", str(w), name]).stdout
        note = wait_for(lambda: [w for w in self.display.windows(name="^Zettara$", visible=False)
                                 if "= 1" in prop(w, "_NET_WM_DESKTOP")], 10)
        self.assertTrue(note, "the note did not open on its workspace")
        self.assertTrue(program.menu_round_trip(), "the program does not answer")
        self.assertNotIn("DEMANDS_ATTENTION", prop(note[0], "_NET_WM_STATE"))
        self.assertEqual(self.display.xdotool("get_desktop").stdout.strip(), "0")


if __name__ == "__main__":
    unittest.main(verbosity=2)
