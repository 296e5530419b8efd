"""The program's windows among each other on openbox."""

import unittest

from harness import DisplayTest, wait_for


class OwnWindowsTest(DisplayTest):
    def test_a_box_belongs_to_the_active_window_and_opens_like_an_editor_over_a_note_kept_on_top(self):
        program = self.program([dict(content="on top")])
        program.window_states((1, 1, 0, None, 0, None))
        self.running(program)
        main, note = program.main_windows()[0], wait_for(program.note_windows)[0]
        stack = lambda: self.display.x(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"]).stdout
        above = lambda w: wait_for(lambda: stack().find("%#x" % w) > stack().find("%#x" % note), 5)
        self.display.key_until("alt+f", self.display.popups, window=main)
        self.display.xdotool("key", "x")  # 退出程序 asks first
        box = (wait_for(lambda: self.display.windows(name="^确定退出$"), 10) or [0])[0]
        self.assertIn("%#x" % main, self.display.x(["xprop", "-id", str(box), "WM_TRANSIENT_FOR"]).stdout)
        self.assertTrue(above(box), stack())
        self.assertTrue(program.answer_box("确定退出", "Escape"))
        self.assertTrue(self.display.key_until("ctrl+n", lambda: self.display.windows(name="^添加Zettara$"), window=main))
        self.assertTrue(above(self.display.windows(name="^添加Zettara$")[0]), stack())


class SecondLaunchTest(DisplayTest):
    def test_a_window_minimised_restored_and_hidden_comes_back_restored_and_active(self):
        program = self.program([dict(content="note")])
        self.running(program)
        main = program.main_windows()[0]
        self.assertTrue(program.close_main_window())  # minimised: no notification area yet
        self.display.start_tray()
        self.assertTrue(wait_for(program.tray_icons, 10))
        self.display.activate(main)  # from the task bar
        self.assertTrue(wait_for(program.main_windows, 5) and program.close_main_window())  # hidden now
        self.assertTrue(wait_for(lambda: self.display.wm_state(main) is None, 5), "not withdrawn")
        self.assertEqual(program.start().wait(5), 0)
        self.assertTrue(wait_for(program.main_windows, 5), self.display.wm_state(main))
        self.assertNotIn("HIDDEN", self.display.x(["xprop", "-id", str(main), "_NET_WM_STATE"]).stdout)
        self.assertTrue(wait_for(lambda: self.display.xdotool("getactivewindow").stdout.strip() == str(main), 5))


if __name__ == "__main__":
    unittest.main(verbosity=2)
