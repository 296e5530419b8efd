"""Note commands on a real display: a new note through Ctrl+N and the editor, deleting through
the note window's menu and through the Del key on the main window's list, taking a delete back
with Ctrl+Z, restoring a backup through the 文件 menu, export and import through the file
dialog, finding with Ctrl+F, a double click in the list, the note menu's colours, and the
launcher's --new-note."""

import glob
import json
import os
import shutil
import sqlite3
import stat
import tempfile
import time
import unittest

from harness import PALE_YELLOW, DisplayTest, read_line, wait_for

TEXT = "Hello e2e note, 你好便签!"
EDITOR = "^添加Zettara$"
GREEN = (192, 255, 192)
BLOCK = "\u2588" * 6  # a solid black run that finds a note's row on the screen
SWATCH_GREEN = (204, 240, 196)  # the note menu's third colour


class CommandsTest(DisplayTest):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.display.bind_characters(TEXT)

    def note_ids(self, program):
        return [row[0] for row in program.rows()]

    def painted(self, window, colour):
        x, y, w, h = self.display.geometry(window)
        screen = self.display.grab()
        return all(screen.pixel(px, py) == colour
                   for px, py in ((x + 2, y + 2), (x + w - 3, y + h - 3), (x + w // 2, y + h - 12)))

    def wait_colour(self, window, colour):
        return wait_for(lambda: self.painted(window, colour), 5)

    def selected(self, spot):
        """True once the BLOCK text at spot is drawn in the selection's colours."""
        return wait_for(lambda: max(self.display.grab().pixel(*spot)) >= 64, 5)

    def find_block(self, window):
        """The screen position of the middle of the BLOCK text inside a window, or None."""
        left, top = self.display.client_origin(window)
        _, _, width, height = self.display.geometry(window)
        screen = self.display.grab()
        hits = []
        for y in range(top, top + height):
            run = 0
            for x in range(left, left + width):
                run = run + 1 if max(screen.pixel(x, y)) < 64 else 0  # glyph seams are not pure black
                if run == 30:
                    hits.append((x - 15, y))
        if len(hits) < 5:  # a block glyph is several lines of pixels tall
            return None
        return hits[len(hits) // 2]

    def test_ctrl_n_types_and_saves_a_new_note_with_the_defaults_and_a_window(self):
        program = self.program([dict(content="earlier", Visual=0)])
        self.running(program)
        main = program.main_windows()[0]
        self.assertTrue(self.display.key_until("ctrl+n", lambda: self.display.windows(name=EDITOR),
                                               window=main), "Ctrl+N opened no editor")
        editors = self.display.windows(name=EDITOR)
        self.assertEqual(len(editors), 1)
        editor = editors[0]
        self.display.activate(editor)
        _, _, width, height = self.display.geometry(editor)
        self.assertEqual((width, height), (523, 449))  # 7845 x 6735 twips

        x, y = self.display.client_origin(editor)
        self.assertTrue(self.display.type_into(editor, x + 260, y + 200, TEXT),
                        "the typed text was not drawn")
        self.assertEqual(program.rows(), [(1, "earlier", 0)], "saved before the button was pressed")
        self.display.click(x + 50, y + 15)  # 保存并关闭 at 90,60 twips, 1485 x 345
        self.assertTrue(wait_for(lambda: not self.display.windows(name=EDITOR), 5), "editor still open")

        rows = program.rows("SELECT ID, content, BackColor, FontColor, Visual, TopMost, Transparent,"
                            " Deleted, CreateTime, ChangeTime FROM Tips ORDER BY ID")
        self.assertEqual(len(rows), 2)
        self.assertEqual(rows[1][1:8], (TEXT, PALE_YELLOW, 0, 1, 0, 20, 0))
        self.assertEqual(rows[1][8], rows[1][9], "CreateTime and ChangeTime differ")
        self.assertRegex(rows[1][8], r"^\d{4}/\d{1,2}/\d{1,2} \d{1,2}:\d{2}:\d{2}$")

        # Exactly one desktop window opened, for the new note, pale yellow.
        notes = wait_for(program.note_windows, 5)
        self.assertEqual(len(notes), 1, "no window for the new note")
        self.assertTrue(self.wait_colour(notes[0], (255, 255, 192)), "the new note is not pale yellow")

    def test_typed_text_is_asked_about_at_the_editor_close_box_and_at_exit(self):
        program = self.program()
        proc = self.running(program)
        main = program.main_windows()[0]
        box = "Zettara-6471"
        for closing in ("close box", "exit"):
            self.assertTrue(self.display.key_until("ctrl+n", lambda: self.display.windows(name=EDITOR),
                                                   window=main), "Ctrl+N opened no editor")
            editor = self.display.windows(name=EDITOR)[0]
            x, y = self.display.client_origin(editor)
            self.assertTrue(self.display.type_into(editor, x + 260, y + 200, TEXT),
                            "the typed text was not drawn")
            if closing == "close box":
                self.display.key_until("alt+F4", lambda: self.display.windows(name="^%s$" % box), window=editor)
            else:  # 文件 > 退出程序
                self.assertTrue(self.display.key_until("alt+f", self.display.popups, window=main))
                self.display.xdotool("key", "x")
            self.assertTrue(program.answer_box(box, "Return"), "no question about the typed text (%s)" % closing)
            self.assertTrue(wait_for(lambda: not self.display.windows(name=EDITOR), 5), "the editor stayed")
        self.assertTrue(program.answer_box("确定退出", "Return"), "no exit question after the editor's")
        self.assertEqual(proc.wait(10), 0)
        self.assertEqual(program.rows(), [(1, TEXT, 1), (2, TEXT, 1)])

    def test_note_menu_delete_removes_the_note_and_closes_its_window(self):
        program = self.program([dict(content="keep", Visual=1), dict(content="remove", Visual=1),
                                dict(content="hidden", Visual=0)])
        proc = program.start("mini")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2))
        keep, remove = program.note_windows()
        self.assertTrue(self.display.place([keep, remove]))
        self.assertTrue(self.wait_colour(remove, (255, 255, 192)))
        x, y, w, h = self.display.geometry(remove)
        self.display.click(x + w // 2, y + h // 2, 3)
        self.assertTrue(wait_for(self.display.popups, 5), "no note menu")
        self.assertTrue(self.display.key_until("d", lambda: program.note_windows() == [keep]),
                        "删除便签[&D] did not close the window")
        self.assertEqual(program.rows(), [(1, "keep", 1), (3, "hidden", 0)])
        # The other note's menu coming and going shows the delete's events were all handled.
        self.assertTrue(self.display.note_menu_round_trip(keep))
        self.assertIsNone(proc.poll())
        self.assertEqual(self.display.windows(name="^Zettara-6471$"), [], "a message box appeared")

    def test_del_key_deletes_the_selected_row_and_asks_to_select_one_first(self):
        program = self.program([dict(content="first", Visual=1), dict(content=BLOCK + " second", Visual=1)])
        self.running(program)
        main = program.main_windows()[0]
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2))
        # Notes out of the way of the list, which is searched for the BLOCK row by its pixels.
        self.assertTrue(self.display.place(program.note_windows(), 1000, 60, (0, 200)))

        # Right after start no row is current or selected: Space ticks nothing and Del asks
        # for a selection. Space goes first in one send, so it has been handled once the box
        # is up.
        for _ in range(4):
            self.display.activate(main)
            self.display.xdotool("key", "space", "Delete")
            if wait_for(lambda: self.display.windows(name="^Zettara-6471$"), 2.5):
                break
        self.assertTrue(program.answer_box("Zettara-6471", "Return"), "no message without a selection")
        self.assertEqual(len(program.rows()), 2)
        self.assertEqual(len(program.note_windows()), 2, "Space toggled a row nobody picked")

        self.display.activate(main)
        spot = wait_for(lambda: self.find_block(main), 5)
        self.assertTrue(spot, "the second row is not on the screen")
        self.display.click(*spot)
        self.assertTrue(self.selected(spot), "the click selected no row")
        # Sent again only while the row is still in the table (a second Del after the delete
        # would act on whatever row is selected then).
        for _ in range(3):
            if len(program.rows()) == 2:
                self.display.xdotool("key", "Delete")
            if wait_for(lambda: len(program.note_windows()) == 1, 2.5):
                break
        self.assertEqual(len(program.note_windows()), 1, "window not closed")
        self.assertEqual(program.rows(), [(1, "first", 1)])
        self.assertTrue(wait_for(lambda: self.find_block(main) is None, 5), "the row is still listed")
        self.assertEqual(self.display.windows(name="^Zettara-6471$"), [])

        # The delete left no row selected: the next Del asks again instead of deleting.
        self.assertTrue(self.display.key_until(
            "Delete", lambda: self.display.windows(name="^Zettara-6471$"), window=main),
            "a second Del found a row selected")
        self.assertTrue(program.answer_box("Zettara-6471", "Return"))
        self.assertEqual(program.rows(), [(1, "first", 1)])

    def test_ctrl_f_narrows_the_list_and_del_deletes_the_visible_selected_row(self):
        program = self.program([dict(content=BLOCK + " 今天开会", Visual=0),
                                dict(content="Zebra 便签一", Visual=0),
                                dict(content="zebra 便签二", Visual=0), dict(content="zebra", Visual=0)])
        self.running(program)
        main = program.main_windows()[0]
        spot = wait_for(lambda: self.find_block(main), 5)
        self.assertTrue(spot, "the first row is not on the screen")

        # Ctrl+F selects what the field holds, so a retry types the words anew.
        for _ in range(3):
            self.display.activate(main)
            self.display.xdotool("key", "ctrl+f")
            self.display.xdotool("type", "--delay", "30", "ZEBRA 便签")
            if wait_for(lambda: self.find_block(main) is None, 3):
                break
        self.assertIsNone(self.find_block(main), "the first row was not filtered out")

        # The first visible row is note 2, where note 1 was listed before.
        self.display.click(*spot)
        self.assertTrue(self.selected(spot), "the click selected no row")
        for _ in range(3):
            if len(program.rows()) == 4:
                self.display.xdotool("key", "Delete")
            if wait_for(lambda: len(program.rows()) == 3, 2.5):
                break
        self.assertEqual([row[0] for row in program.rows()], [1, 3, 4])

        self.display.xdotool("key", "F5")  # a reload keeps the find
        self.assertTrue(program.menu_round_trip())
        self.assertIsNone(self.find_block(main), "the reload showed every row")
        self.assertTrue(self.display.key_until("Escape", lambda: self.find_block(main), window=main),
                        "Esc did not show every row again")
        self.assertEqual(self.display.windows(name="^Zettara-6471$"), [], "a message box appeared")

    def test_ctrl_z_brings_back_the_deleted_note_with_its_window_and_place(self):
        program = self.program([dict(content="green", BackColor=0xC0FFC0, FontColor=0x800000),
                                dict(content="other")])
        self.running(program)
        main = program.main_windows()[0]
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2))
        # Moved until both places are stored: the first place a window gets (while it settles
        # after showing) counts as the window manager's own.
        for x in (900, 880, 860, 840):
            self.assertTrue(self.display.place(program.note_windows(), x, 60, (0, 200)))
            if wait_for(lambda: len(program.rows("SELECT * FROM NotePlacement")) == 2, 2):
                break
        self.assertEqual(len(program.rows("SELECT * FROM NotePlacement")), 2)
        green = wait_for(lambda: [w for w in program.note_windows() if self.painted(w, GREEN)], 5)
        spot, before = self.display.geometry(green[0]), program.rows("SELECT * FROM Tips")

        # Tab moves to the list, Home selects its first row, Del deletes it.
        self.display.activate(main)
        self.display.xdotool("key", "Tab", "Home", "Delete")
        self.assertTrue(wait_for(lambda: len(program.rows()) == 1), "nothing deleted")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 1), "window not closed")
        self.display.xdotool("key", "ctrl+z")
        self.assertTrue(wait_for(lambda: len(program.rows()) == 2), "nothing undone")
        self.assertEqual(program.rows("SELECT * FROM Tips"), before)
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2), "window not back")
        back = [w for w in program.note_windows() if self.display.geometry(w) == spot]
        self.assertTrue(back, "the window is not where it was")
        self.assertTrue(self.wait_colour(back[0], GREEN), "the window lost its colour")
        # Nothing more to take back: the item is disabled and Ctrl+Z does nothing.
        self.display.activate(main)
        self.display.xdotool("key", "ctrl+z")
        self.assertTrue(program.menu_round_trip())
        self.assertEqual(len(program.rows()), 2)
        self.assertEqual(self.display.windows(name="^Zettara-6471$"), [], "a message box appeared")

    def test_restore_from_backup_brings_a_deleted_note_back_with_its_window(self):
        program = self.program([dict(content="keep", Visual=1), dict(content="remove", Visual=1)])
        self.running(program)
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2))
        backups = os.path.join(program.dir, "backups")
        self.assertTrue(wait_for(lambda: glob.glob(os.path.join(backups, "Zettara-2*.mdb")), 10),
                        "the day's backup was not made")
        keep, remove = program.note_windows()
        self.assertTrue(self.display.place([keep, remove], 40, 60, (0, 200)))  # left of the main window
        x, y, w, h = self.display.geometry(remove)
        self.display.click(x + w // 2, y + h // 2, 3)
        self.assertTrue(wait_for(self.display.popups, 5), "no note menu")
        self.assertTrue(self.display.key_until("d", lambda: len(program.note_windows()) == 1))
        self.assertEqual(program.rows(), [(1, "keep", 1)])

        main = program.main_windows()[0]
        for _ in range(4):
            self.display.activate(main)
            self.display.xdotool("key", "alt+f")
            if wait_for(self.display.popups, 2.5):
                break
        self.assertTrue(self.display.key_until("r", lambda: self.display.windows(name="^从备份恢复$")),
                        "从备份恢复…[&R] opened no dialog")
        self.assertTrue(program.answer_box("从备份恢复", "Return"), "the dialog took no backup")
        self.assertTrue(program.answer_box("确定恢复", "Return"), "no question before the restore")
        self.assertTrue(program.answer_box("Zettara-6471", "Return"), "the restore was not told")

        self.assertEqual(program.rows(), [(1, "keep", 1), (2, "remove", 1)])
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == 2, 5), "the note's window did not open")
        kept = glob.glob(os.path.join(backups, "Zettara-before-restore-*.mdb"))
        self.assertEqual(len(kept), 1)
        self.assertEqual(stat.S_IMODE(os.stat(kept[0]).st_mode), 0o600)
        self.assertEqual(stat.S_IMODE(os.stat(backups).st_mode), 0o700)

    def file_command(self, program, key, title, path):
        """文件 > the item of key, then path typed into the file dialog titled title."""
        main = wait_for(program.main_windows, 5)
        self.assertTrue(main, "main window not visible")
        for _ in range(4):
            self.display.activate(main[0])
            self.display.xdotool("key", "alt+f")
            if wait_for(self.display.popups, 2.5):
                break
        self.display.xdotool("key", key)
        dialogs = wait_for(lambda: self.display.windows(name="^%s$" % title), 10)
        self.assertTrue(dialogs, "no file dialog " + title)
        self.display.activate(dialogs[0])
        self.display.xdotool("key", "ctrl+a")
        self.display.xdotool("type", "--delay", "10", path)
        self.display.xdotool("key", "Return")
        self.assertTrue(program.answer_box("Zettara-6471", "Return"), "no report after " + title)

    def test_export_then_import_into_an_empty_store_gives_the_same_notes(self):
        folder = tempfile.mkdtemp(prefix="zettara-e2e-export-")
        self.addCleanup(shutil.rmtree, folder, True)
        exported, printed = os.path.join(folder, "notes.json"), os.path.join(folder, "notes.txt")
        notes = [dict(content="two lines\r\nsaid \"hi\" it's 你好", Visual=1),
                 dict(content="hidden", Visual=0, BackColor=255, CreateTime="2025/1/2",
                      TopMost=None)]
        columns = "content, CreateTime, ChangeTime, Deleted, BackColor, FontColor, Visual, " \
                  "TopMost, Transparent"
        source = self.program(notes)
        con = sqlite3.connect(source.db)
        con.execute("CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X, Y, Width, Height)")
        con.execute("INSERT INTO NotePlacement VALUES(2, 300, 200, 170, 120)")
        con.commit()
        con.close()
        self.running(source)
        self.file_command(source, "e", "导出便签", exported)
        self.file_command(source, "e", "导出便签", printed)
        source_rows = source.rows("SELECT %s FROM Tips ORDER BY ID" % columns)
        source.close()
        self.assertEqual(stat.S_IMODE(os.stat(exported).st_mode), 0o600)
        with open(printed, encoding="utf-8") as f:
            self.assertIn("创建于 2025/1/2，修改于 2026/12/7 9:00:00\nhidden\n", f.read())
        with open(exported, encoding="utf-8") as f:
            self.assertEqual([n["place"] for n in json.load(f)["notes"]][1],
                             dict(X=300, Y=200, Width=170, Height=120, Scale=None))

        target = self.program()
        self.running(target)
        for _ in range(2):  # the second time every note is already there
            self.file_command(target, "i", "导入便签", exported)
            self.assertEqual(target.rows("SELECT %s FROM Tips ORDER BY ID" % columns),
                             source_rows)
        self.assertEqual(target.rows("SELECT X, Y, Width, Height FROM NotePlacement WHERE ID = 2"),
                         [(300, 200, 170, 120)])

    def test_double_click_on_a_list_row_opens_that_note_in_the_editor(self):
        program = self.program([dict(content=BLOCK + " edit me", Visual=0)])
        self.running(program)
        main = program.main_windows()[0]
        spot = wait_for(lambda: self.find_block(main), 5)
        self.assertTrue(spot, "the row is not on the screen")
        # On the check box each click of a double click toggles the mark, as before.
        self.display.move_pointer(self.display.client_origin(main)[0] + 15, spot[1])
        self.display.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        self.assertTrue(program.menu_round_trip() and not self.display.windows(name=EDITOR))
        self.display.move_pointer(*spot)
        self.display.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        editors = wait_for(lambda: self.display.windows(name=EDITOR), 5)
        self.assertEqual(len(editors), 1, "the double click opened no editor")
        # 保存并关闭 stores the note it opened: no new note, a new ChangeTime.
        x, y = self.display.client_origin(editors[0])
        self.display.activate(editors[0])
        self.display.click(x + 50, y + 15)
        self.assertTrue(wait_for(lambda: not self.display.windows(name=EDITOR), 5), "editor still open")
        self.assertEqual(program.rows("SELECT ID, content, ChangeTime <> CreateTime FROM Tips"),
                         [(1, BLOCK + " edit me", 1)])

    def test_a_swatch_from_the_note_menu_colours_the_note_and_is_kept_after_a_restart(self):
        program = self.program([dict(content="colour me")])
        proc = program.start("mini")
        note = wait_for(program.note_windows, 10)
        self.assertTrue(note and self.display.place(note) and self.wait_colour(note[0], (255, 255, 192)))
        x, y, w, h = self.display.geometry(note[0])
        self.display.click(x + w // 2, y + h // 2, 3)
        self.assertTrue(self.display.key_until("l", lambda: len(self.display.popups()) == 2),
                        "颜色[&L] opened no colours")
        self.display.xdotool("key", "Down", "Down", "Return")  # pale yellow, pink, green
        self.assertTrue(self.wait_colour(note[0], SWATCH_GREEN), "the note is not green")
        green = SWATCH_GREEN[2] << 16 | SWATCH_GREEN[1] << 8 | SWATCH_GREEN[0]
        self.assertEqual(program.rows("SELECT BackColor, FontColor, Transparent, "
                                      "ChangeTime <> CreateTime FROM Tips"), [(green, 0, 20, 1)])
        proc.terminate()
        proc.wait(10)
        program.start("mini")
        note = wait_for(program.note_windows, 10)
        self.assertTrue(note and self.wait_colour(note[0], SWATCH_GREEN), "not green after a restart")

    def test_new_note_option_reaches_the_copy_that_runs_and_a_first_start(self):
        # Checked through the running copy's log (zettara.launch): the new note's place.
        program = self.program([dict(content="open")])

        def told(proc):
            deadline = time.monotonic() + 15
            line = ""
            while "new note near" not in line and time.monotonic() < deadline:
                line = read_line(proc, deadline - time.monotonic())
            return line

        self.display.move_pointer(300, 400)
        first = program.start("--new-note", env=dict(program.env, QT_LOGGING_RULES="zettara.launch.debug=true"))
        self.assertTrue(program.wait_ready(first), "main window did not appear")
        self.assertIn("QPoint(300,400)", told(first), "a first start made no new note")
        self.display.move_pointer(500, 200)
        self.assertEqual(program.start("--new-note").wait(5), 0)
        self.assertIn("QPoint(500,200)", told(first), "the running copy was not asked")
        # The note opens at the pointer and keeps what is typed, with no button; the first one,
        # left empty when the second took the focus, is stored nowhere.
        note = wait_for(lambda: [w for w in program.note_windows()
                                 if self.display.geometry(w)[:2] == (500, 200)], 10)
        self.assertTrue(note, "no new note at the pointer")
        self.assertTrue(self.display.type_into(note[0], 520, 220, "abc"))
        self.assertTrue(wait_for(lambda: [r[1] for r in program.rows()] == ["open", "abc"], 5),
                        program.rows())

if __name__ == "__main__":
    unittest.main(verbosity=2)
