"""What a screen reader reads of the program through AT-SPI, in a Chinese and in an English
session: the menus, the list's rows, a note window, the editor, a file dialog and a message box.
The program runs on a private session bus with its own accessibility bus."""

import importlib.util
import os
import re
import shutil
import subprocess
import unittest

from harness import DisplayTest, SessionBus, wait_for

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
NOTES = ["买牛奶\n和面包", "周五交报告"]
# What each session reads; the note texts are Chinese in both.
TEXTS = {
    "zh": dict(env=dict(LANGUAGE="", LC_ALL="C.UTF-8"), file="文件", list="便签列表",
               shown="显示在桌面上", hidden="未显示在桌面上",
               note="桌面便签，背景：浅黄色（#FFFFC0），文字：黑色（#000000）",
               editor="添加Zettara", text="便签内容",
               close="保存并关闭", buttons={"保存继续添加", "字体颜色", "背景颜色"},
               empty="未填写任何内容！", save="保存", cancel="取消", ok="确定"),
    "en": dict(env=dict(LANGUAGE="en", LC_ALL="C.UTF-8"), file="File", list="Notes",
               shown="Shown on the desktop", hidden="Not shown on the desktop",
               note="Desktop note, background light yellow (#FFFFC0), text black (#000000)",
               editor="Add Note", text="Note text",
               close="Save & Close", buttons={"Save & New", "Text", "Background"},
               empty="The note is empty. Type its text first.", save="Save", cancel="Cancel",
               ok=None),  # the message box's buttons: not read until they have their English
}
# The same in every language: the program's name and version, the languages offered (each in
# its own), accelerators ("[F]", "(S)"), file patterns and colour codes.
NEUTRAL = re.compile(
    r"Zettara(-6471)?|Ver\.[\d.]+|^English$|^中文$|[\[(][A-Z][\])]|\(\*\.\w+\)|#[0-9A-F]{6}")
FOREIGN = {"zh": re.compile(r"[A-Za-z]"),
           "en": re.compile(r"[\u3000-\u303f\u3400-\u9fff\uf900-\ufaff\uff00-\uffef]")}

pyatspi = None  # imported once the test's own buses are in the environment


def safe(read):
    """read(), or None when the object it reads has gone meanwhile."""
    try:
        return read()
    except Exception:  # GLib errors from objects that went away
        return None


def descendants(root, role):
    """The objects of a role below root (pyatspi's own search stops at a child that is gone)."""
    found, todo = [], [root]
    while todo:
        parent = todo.pop()
        for child in safe(lambda: list(parent)) or []:
            if child is not None:
                if safe(child.getRole) == role:
                    found.append(child)
                todo.append(child)
    return found


def named(root, role, name):
    return next((a for a in descendants(root, role) if safe(lambda: a.name) == name), None)


@unittest.skipUnless(os.path.exists(LAUNCHER) and shutil.which("dbus-daemon")
                     and importlib.util.find_spec("pyatspi"),
                     "no AT-SPI (Debian packages at-spi2-core, python3-pyatspi, dbus-daemon)")
class AccessibilityTest(DisplayTest):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.addClassCleanup(cls.display.close)
        cls.bus = SessionBus()
        cls.addClassCleanup(cls.bus.close)
        cls.display.env["DBUS_SESSION_BUS_ADDRESS"] = cls.bus.address
        launcher = subprocess.Popen([LAUNCHER, "--launch-immediately"], env=cls.display.env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.addClassCleanup(lambda: launcher.terminate() or launcher.wait(10))
        owned = lambda: "true" in subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
            env=cls.display.env, capture_output=True, text=True, timeout=10).stdout
        if not wait_for(owned, 15):
            raise RuntimeError("the accessibility bus did not start")
        os.environ.update(DBUS_SESSION_BUS_ADDRESS=cls.bus.address, DISPLAY=cls.display.name)
        global pyatspi
        import pyatspi as atspi
        pyatspi = atspi

    @classmethod
    def tearDownClass(cls):
        pass  # the class clean-ups close the display after the buses

    def wait(self, read, what, timeout=15):
        found = wait_for(lambda: safe(read), timeout)
        self.assertTrue(found, "not read in time: " + what)
        return found

    def speaks(self, language, texts):
        """Checks that texts have no word of the other language (note texts aside)."""
        for text in texts:
            rest = NEUTRAL.sub("", text)
            for note in NOTES:
                rest = rest.replace(note, "").replace(" ".join(note.split()), "")
            self.assertFalse(FOREIGN[language].search(rest), "%r in a %s session" % (text, language))

    def press(self, button):
        button.queryAction().doAction(0)

    def read_everything(self, language):
        t = TEXTS[language]
        program = self.program([dict(content=NOTES[0], Visual=1), dict(content=NOTES[1], Visual=0)])
        proc = program.start(env=dict(program.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                      LANG="C.UTF-8", **t["env"]))
        self.assertTrue(program.wait_ready(proc), "main window did not appear")
        desktop = pyatspi.Registry.getDesktop(0)
        app = self.wait(lambda: next(a for a in desktop if a and a.get_process_id() == proc.pid),
                        "the program in the accessibility tree")

        # The menus, each item of each menu.
        bar = self.wait(lambda: descendants(app, pyatspi.ROLE_MENU_BAR)[0], "menu bar")
        items = self.wait(lambda: [i.name for i in descendants(bar, pyatspi.ROLE_MENU_ITEM)],
                          "menu items")
        self.assertTrue(any(name.startswith(t["file"]) for name in items), items)
        self.speaks(language, items)

        # The list's rows: each check box named by its note, and whether the note is shown.
        table = self.wait(lambda: named(app, pyatspi.ROLE_TREE, t["list"]), "list").queryTable()
        rows = lambda: [(c.name, c.description, c.getState().contains(pyatspi.STATE_CHECKED))
                        for c in (table.getAccessibleAt(r, 0) for r in range(table.nRows))]
        expected = [("买牛奶 和面包", t["shown"], True), ("周五交报告", t["hidden"], False)]
        self.assertTrue(wait_for(lambda: safe(rows) == expected, 15), safe(rows))

        # A note window: its text, that it is a note, and its colours.
        note = self.wait(lambda: named(app, pyatspi.ROLE_FRAME, "买牛奶 和面包"), "note window")
        self.assertEqual(note.description, t["note"])

        # A file dialog (文件 > 导出便签…, E in both languages) and its buttons.
        main = program.main_windows()[0]
        self.assertTrue(self.display.key_until("alt+f", self.display.popups, window=main))
        self.display.xdotool("key", "e")
        dialog = self.wait(lambda: descendants(app, pyatspi.ROLE_DIALOG)[0], "export dialog")
        buttons = self.wait(lambda: {b.name: b for b in descendants(dialog, pyatspi.ROLE_PUSH_BUTTON)},
                            "dialog buttons")
        self.assertTrue(any(name.startswith(t["save"]) for name in buttons), list(buttons))
        labels = [label.name for label in descendants(dialog, pyatspi.ROLE_LABEL)]
        self.speaks(language, list(buttons) + labels + [dialog.name])
        self.press(buttons[t["cancel"]])
        self.assertTrue(wait_for(lambda: not safe(lambda: descendants(app, pyatspi.ROLE_DIALOG)), 10))

        # The editor (Ctrl+N): its text box and buttons, named and described.
        self.assertTrue(self.display.key_until(
            "ctrl+n", lambda: safe(lambda: named(app, pyatspi.ROLE_FRAME, t["editor"])), window=main))
        editor = named(app, pyatspi.ROLE_FRAME, t["editor"])
        self.assertIsNotNone(named(editor, pyatspi.ROLE_TEXT, t["text"]))
        buttons = {b.name: b for b in descendants(editor, pyatspi.ROLE_PUSH_BUTTON)}
        self.assertLessEqual(t["buttons"] | {t["close"]}, set(buttons))
        self.speaks(language, [editor.name] + [x for b in buttons.values() for x in (b.name, b.description)])

        # A message box: 保存并关闭 on an empty note.
        self.press(buttons[t["close"]])
        box = self.wait(lambda: descendants(app, pyatspi.ROLE_ALERT)[0], "message box")
        said = [label.name for label in descendants(box, pyatspi.ROLE_LABEL)]
        self.assertIn(t["empty"], said)
        answers = descendants(box, pyatspi.ROLE_PUSH_BUTTON)
        self.speaks(language, said)
        if t["ok"]:
            self.assertEqual([b.name for b in answers], [t["ok"]])
        self.press(answers[0])
        self.assertTrue(wait_for(lambda: not safe(lambda: descendants(app, pyatspi.ROLE_ALERT)), 10))

    def test_a_chinese_session_reads_chinese(self):
        self.read_everything("zh")

    def test_an_english_session_reads_english(self):
        self.read_everything("en")


if __name__ == "__main__":
    unittest.main()
