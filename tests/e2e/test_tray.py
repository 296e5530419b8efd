"""The notification-area icon and its menu on a real display, and the program without a
notification area."""

import unittest

from harness import DisplayTest, wait_for

ONE_NOTE = [dict(content="便签", Visual=1)]


class TrayTest(DisplayTest):
    tray = True

    def start_hidden(self):
        program = self.program(ONE_NOTE)
        proc = program.start("mini")
        self.assertTrue(wait_for(program.note_windows), "the program did not load")
        icons = wait_for(program.tray_icons)
        self.assertEqual(len(icons), 1, "no icon in the notification area")
        self.assertEqual(program.main_windows(), [])
        return program, proc, icons[0]

    def wait_shown(self, program):
        # Whether it also gets the focus is the window manager's call (openbox may refuse it
        # to a program that had no recent input), so only the showing is checked.
        windows = wait_for(program.main_windows, 5)
        self.assertEqual(len(windows), 1, "the main window was not shown")
        return windows[0]

    def test_tray_menu_show_window_and_left_click_show_the_hidden_main_window(self):
        program, proc, icon = self.start_hidden()
        x, y, w, h = self.display.geometry(icon)

        self.display.click(x + w // 2, y + h // 2, 3)
        menus = wait_for(lambda: self.display.popups(exclude=[icon]), 5)
        self.assertEqual(len(menus), 1, "no tray menu after a right click")
        mx, my, mw, mh = self.display.geometry(menus[0])
        self.assertGreater(mh, 80, "the tray menu lacks items")  # the note menu, 3 items, is 66
        self.assertEqual(program.main_windows(), [], "a right click showed the window")
        self.assertTrue(self.display.key_until("w", program.main_windows), "显示窗口[&W] showed nothing")
        main = self.wait_shown(program)
        self.assertTrue(wait_for(lambda: self.display.popups(exclude=[icon]) == [], 5))

        # Hidden again by Alt+F4, then shown by a left click on the icon.
        self.assertTrue(program.close_main_window(), "Alt+F4 did not hide the window")
        self.assertIsNone(proc.poll())
        self.assertEqual(program.tray_icons(), [icon], "the icon went away with the window")
        self.display.click(x + w // 2, y + h // 2, 1)
        # Shown is the click handled: a menu from the same click is up before the window is mapped
        # (a menu needs no window manager).
        self.assertEqual(self.wait_shown(program), main)
        self.assertEqual(self.display.popups(exclude=[icon]), [], "a left click opened the menu")
        self.assertEqual(len(program.note_windows()), 1)


class NoTrayTest(DisplayTest):
    tray = False

    def minimised(self, program):
        """True once the main window is iconic: in the task bar, not on the screen."""
        return wait_for(lambda: not program.main_windows() and [
            w for w in program.main_windows(visible=False) if self.display.wm_state(w) == "Iconic"], 5)

    def test_without_a_notification_area_the_window_is_minimised_until_one_appears(self):
        program = self.program(ONE_NOTE)
        first = program.start("mini")
        self.assertTrue(wait_for(program.note_windows), "the program did not load")
        self.assertTrue(self.minimised(program), "a hidden start without a notification area hid the window")
        second = program.start()
        self.assertEqual(second.wait(5), 0)
        self.assertTrue(wait_for(program.main_windows, 5), "the second launch did not show the window")

        self.assertTrue(program.close_main_window(), "Alt+F4 left the window on the screen")
        self.assertTrue(self.minimised(program), "the close box hid the window with no way back")
        self.assertIsNone(first.poll())

        # A notification area that comes later takes the icon, and the close box hides again.
        self.display.start_tray()
        self.assertEqual(len(wait_for(program.tray_icons, 10)), 1, "no icon in the late notification area")
        self.assertEqual(program.start().wait(5), 0)
        self.assertTrue(wait_for(program.main_windows, 5), "the second launch did not show the window")
        self.assertTrue(program.close_main_window(), "Alt+F4 left the window on the screen")
        self.assertTrue(wait_for(lambda: all(self.display.wm_state(w) is None
                                             for w in program.main_windows(visible=False)), 5),
                        "with a notification area the close box did not hide the window")
        self.assertIsNone(first.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
