"""What a screen reader reads through AT-SPI, in a Chinese and in an English session: the menus,
the list's rows, a note window, a file dialog, the editor and a message box. The program runs on
a private session bus with an accessibility bus of its own."""

import importlib.util
import os
import re
import shutil
import subprocess
import unittest

from harness import DisplayTest, SessionBus, wait_for

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
NOTES = ["买牛奶\n和面包", "周五交报告"]
TEXTS = {
    "zh": dict(env=dict(LANGUAGE=""), file="文件", list="便签列表", shown="显示在桌面上",
               hidden="未显示在桌面上", note="桌面便签，背景：浅黄色（#FFFFC0），文字：黑色（#000000）",
               editor="添加Zettara", text="便签内容", close="保存并关闭",
               pickers={"字体颜色": "当前颜色：黑色（#000000）", "背景颜色": "当前颜色：浅黄色（#FFFFC0）"},
               empty="未填写任何内容！", save="保存", cancel="取消", ok="确定"),
    "en": dict(env=dict(LANGUAGE="en"), file="File", list="Notes", shown="Shown on the desktop",
               hidden="Not shown on the desktop",
               note="Desktop note, background light yellow (#FFFFC0), text black (#000000)",
               editor="Add Note", text="Note text", close="Save & Close",
               pickers={"Text": "Current colour: black (#000000)",
                        "Background": "Current colour: light yellow (#FFFFC0)"},
               empty="The note is empty. Type its text first.", save="Save", cancel="Cancel",
               ok="OK"),
}
# The same in every language: the program's name and version, the languages offered (each in
# its own), accelerators ("[F]", "(S)"), file patterns and colour codes.
NEUTRAL = re.compile(
    r"Zettara(-6471)?|Ver\.[\d.]+|^English$|^中文$|[\[(][A-Z][\])]|\(\*\.\w+\)|#[0-9A-F]{6}")
FOREIGN = {"zh": re.compile(r"[A-Za-z]"),
           "en": re.compile(r"[\u3000-\u303f\u3400-\u9fff\uf900-\ufaff\uff00-\uffef]")}
pyatspi = None  # imported once the test's buses are in the environment


def safe(read):
    """read(), or None when what it reads has gone meanwhile."""
    try:
        return read()
    except Exception:  # GLib errors from objects that went away
        return None


def descendants(root, role):
    """The objects of a role below root (pyatspi's own search stops at a child that is gone)."""
    found, todo = [], [root]
    while todo:
        for child in safe(lambda parent=todo.pop(): list(parent)) or []:
            if child is not None:
                found += [child] if safe(child.getRole) == role else []
                todo.append(child)
    return found


def named(root, role, name):
    return next((a for a in descendants(root, role) if safe(lambda: a.name) == name), None)


@unittest.skipUnless(os.path.exists(LAUNCHER) and shutil.which("dbus-send")
                     and importlib.util.find_spec("pyatspi"),
                     "no AT-SPI (Debian packages at-spi2-core, python3-pyatspi, dbus-bin)")
class AccessibilityTest(DisplayTest):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.addClassCleanup(cls.display.close)  # after the buses (clean-ups run last first)
        cls.bus = SessionBus()
        cls.addClassCleanup(cls.bus.close)
        env = cls.display.env
        env["DBUS_SESSION_BUS_ADDRESS"] = cls.bus.address
        launcher = subprocess.Popen([LAUNCHER, "--launch-immediately"], env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.addClassCleanup(lambda: launcher.terminate() or launcher.wait(10))
        if not wait_for(lambda: "true" in subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                 "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
                env=env, capture_output=True, text=True, timeout=10).stdout, 15):
            raise RuntimeError("the accessibility bus did not start")
        os.environ.update(DBUS_SESSION_BUS_ADDRESS=cls.bus.address, DISPLAY=cls.display.name)
        global pyatspi
        pyatspi = importlib.import_module("pyatspi")

    @classmethod
    def tearDownClass(cls):
        pass  # the class clean-ups close everything

    def wait(self, read, what, timeout=15):
        found = wait_for(lambda: safe(read), timeout)
        self.assertTrue(found, "not read in time: " + what)
        return found

    def speaks(self, language, texts):
        for text in texts:
            self.assertIsNone(FOREIGN[language].search(NEUTRAL.sub("", text)),
                              "%r in a %s session" % (text, language))

    def read_everything(self, language):
        t, roles = TEXTS[language], pyatspi
        program = self.program([dict(content=NOTES[0], Visual=1), dict(content=NOTES[1], Visual=0)])
        proc = program.start(env=dict(program.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                      LANG="C.UTF-8", LC_ALL="C.UTF-8", **t["env"]))
        self.assertTrue(program.wait_ready(proc), "main window did not appear")
        desktop = pyatspi.Registry.getDesktop(0)
        app = self.wait(lambda: next(a for a in desktop if a and a.get_process_id() == proc.pid),
                        "the program")
        bar = self.wait(lambda: descendants(app, roles.ROLE_MENU_BAR)[0], "menu bar")
        items = [item.name for item in descendants(bar, roles.ROLE_MENU_ITEM)]
        self.assertTrue([name for name in items if name.startswith(t["file"])], items)
        self.speaks(language, items)

        # Each row's check box: its note's text, and whether the note is on the desktop.
        table = self.wait(lambda: named(app, roles.ROLE_TREE, t["list"]), "list").queryTable()
        rows = lambda: [(c.name, c.description, c.getState().contains(roles.STATE_CHECKED))
                        for c in (table.getAccessibleAt(r, 0) for r in range(table.nRows))]
        expected = [("买牛奶 和面包", t["shown"], True), ("周五交报告", t["hidden"], False)]
        self.assertTrue(wait_for(lambda: safe(rows) == expected, 15), safe(rows))
        note = self.wait(lambda: named(app, roles.ROLE_FRAME, "买牛奶 和面包"), "note window")
        self.assertEqual(note.description, t["note"])

        # 文件 > 导出便签… (E in both languages): a file dialog of Qt's own.
        main = program.main_windows()[0]
        self.assertTrue(self.display.key_until("alt+f", self.display.popups, window=main))
        self.display.xdotool("key", "e")
        dialog = self.wait(lambda: descendants(app, roles.ROLE_DIALOG)[0], "export dialog")
        buttons = {b.name: b for b in descendants(dialog, roles.ROLE_PUSH_BUTTON)}
        self.assertTrue([name for name in buttons if name.startswith(t["save"])], list(buttons))
        self.speaks(language, [dialog.name, *buttons,
                               *(label.name for label in descendants(dialog, roles.ROLE_LABEL))])
        buttons[t["cancel"]].queryAction().doAction(0)
        self.assertTrue(wait_for(lambda: not safe(lambda: descendants(app, roles.ROLE_DIALOG)), 10))

        # The editor (Ctrl+N): its text box, buttons and colour pickers.
        self.assertTrue(self.display.key_until(
            "ctrl+n", lambda: safe(lambda: named(app, roles.ROLE_FRAME, t["editor"])), window=main))
        editor = named(app, roles.ROLE_FRAME, t["editor"])
        self.assertIsNotNone(named(editor, roles.ROLE_TEXT, t["text"]))
        buttons = {b.name: b for b in descendants(editor, roles.ROLE_PUSH_BUTTON)}
        for caption, colour in t["pickers"].items():
            self.assertEqual(buttons[caption].description, colour)
        self.speaks(language, [x for b in buttons.values() for x in (b.name, b.description)])

        # 保存并关闭 on an empty note: a message box says why nothing was saved.
        buttons[t["close"]].queryAction().doAction(0)
        box = self.wait(lambda: descendants(app, roles.ROLE_ALERT)[0], "message box")
        self.assertIn(t["empty"], [label.name for label in descendants(box, roles.ROLE_LABEL)])
        answers = descendants(box, roles.ROLE_PUSH_BUTTON)
        self.assertEqual([b.name for b in answers], [t["ok"]])
        answers[0].queryAction().doAction(0)
        self.assertTrue(wait_for(lambda: not safe(lambda: descendants(app, roles.ROLE_ALERT)), 10))

    def test_a_chinese_session_reads_chinese(self):
        self.read_everything("zh")

    def test_an_english_session_reads_english(self):
        self.read_everything("en")


if __name__ == "__main__":
    unittest.main()
