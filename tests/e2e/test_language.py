"""The interface's language on a real display: English when the session puts English first,
Chinese otherwise, and a choice made in 工具 > 界面语言 kept for the next start."""

import os
import unittest

from harness import DisplayTest, wait_for

TITLE = "Zettara-6471"


class LanguageTest(DisplayTest):
    def titles(self, program, about, confirm):
        """Opens 帮助 > 关于 and 文件 > 退出程序 by their keys (the same in both languages) and
        checks the titles of the windows they bring up; the program keeps running."""
        window = program.main_windows()[0]
        self.display.key_until("alt+h", self.display.popups, window=window)
        self.display.xdotool("key", "a")
        self.assertTrue(wait_for(lambda: self.display.windows(name="^%s$" % about)), about)
        self.assertTrue(program.answer_box(about, "Escape"))
        self.display.key_until("alt+f", self.display.popups, window=window)
        self.display.xdotool("key", "x")
        self.assertTrue(program.answer_box(confirm, "Escape"), confirm)

    def test_english_when_the_session_names_english_first(self):
        program = self.program()
        proc = program.start(env=dict(program.env, LANGUAGE="en:zh_CN", LC_ALL="C.UTF-8"))
        self.assertTrue(program.wait_ready(proc))
        self.titles(program, "About " + TITLE, "Confirm Exit")

    def test_chinese_otherwise_and_the_choice_kept_for_the_next_start(self):
        program = self.program()
        proc = self.running(program)
        self.titles(program, "关于 " + TITLE, "确定退出")

        # 工具 > 界面语言 > English: said at once, in English, and used from the next start.
        window = program.main_windows()[0]
        self.display.key_until("alt+t", self.display.popups, window=window)
        self.display.xdotool("key", "l")
        self.assertTrue(wait_for(lambda: len(self.display.popups()) == 2, 5))
        self.display.xdotool("key", "Down", "Down", "Return")
        self.assertTrue(program.answer_box(TITLE, "Return"))
        settings = os.path.join(program.config, TITLE, "settings.ini")
        with open(settings, encoding="utf-8") as file:
            self.assertIn("language=en", file.read())
        self.assertEqual(os.stat(settings).st_mode & 0o777, 0o600)
        self.titles(program, "关于 " + TITLE, "确定退出")

        self.assertTrue(program.exit_via_menu("Return"))
        self.assertEqual(proc.wait(10), 0)
        self.running(program)
        self.titles(program, "About " + TITLE, "Confirm Exit")


if __name__ == "__main__":
    unittest.main()
