"""The sync folder with a real sync engine: two copies of the program on one display, each with
its own note file, HOME, Syncthing daemon and copy of the shared folder. Notes and edits travel
both ways, concurrent edits merge by line, deletes land in the other machine's trash and come
back with Ctrl+Z, a conflict copy left by another engine is read and never removed, and a kill
during the first merge leaves every note in one place."""

import glob
import json
import os
import shutil
import signal
import sqlite3
import sys
import tempfile
import time
import unittest

import syncthing
import test_commands
from harness import CAPTION, DisplayTest, wait_for

BLOCK = test_commands.BLOCK  # a black run that finds a note's row in the list
MARKERS = ("<<<<<<< 两台电脑改得不同", "======= 另一台电脑的版本", ">>>>>>> 冲突结束")
SYNC = 25  # seconds for a change to cross: watcher, engine, watcher, merge


class Machine:
    """One copy of the program with its HOME and its copy of the shared folder."""

    def __init__(self, test, folder, notes=()):
        self.test, self.display, self.folder = test, test.display, folder
        self.program = test.program(notes)
        self.home = os.path.join(self.program.dir, "home")
        os.makedirs(self.home, 0o700)
        self.notes_dir = os.path.join(folder, "Zettara-notes")
        self.proc = None
        self.device = None  # this copy's device key, read from the files it writes

    def start(self):
        self.proc = self.program.start(env=dict(self.program.env, HOME=self.home))
        self.test.assertTrue(wait_for(lambda: self.proc.poll() is not None or self.main(), 15),
                             "main window did not appear")
        self.test.assertIsNone(self.proc.poll(), "program ended during start-up")

    def own(self, title):
        """This copy's visible windows titled exactly title (both copies use the same titles)."""
        out = self.display.xdotool("search", "--all", "--onlyvisible", "--pid", self.proc.pid,
                                   "--name", "^%s$" % title.replace(".", r"\."))
        return [int(w) for w in out.stdout.split()] if out.returncode == 0 else []

    def main(self):
        return self.own(CAPTION)

    def notes(self):
        return self.own("Zettara")

    def query(self, sql):
        """Rows of sql, or None while the program holds the note file locked."""
        try:
            return self.program.rows(sql)
        except sqlite3.OperationalError:
            return None

    def texts(self):
        rows = self.query("SELECT content FROM Tips")
        return None if rows is None else sorted(r[0] for r in rows)

    def trash(self):
        rows = self.query("SELECT content FROM NoteTrash")
        return None if rows is None else [r[0] for r in rows]

    def menu(self, alt, key, until):
        for _ in range(4):
            self.display.activate(self.main()[0])
            self.display.xdotool("key", alt)
            if wait_for(self.display.popups, 2.5):
                break
        return self.display.key_until(key, until)

    def turn_on(self, check=True):
        """工具 > 同步文件夹…, 选择文件夹… (the default button), the folder typed into Qt's dialog;
        returns as soon as the dialog is gone unless check (no message box after it)."""
        box = lambda: self.display.windows(name="^同步文件夹$")
        self.test.assertTrue(self.menu("alt+t", "y", box), "同步文件夹… opened no box")
        dialog = "^选择同步文件夹$"
        # Return goes to the box only while the dialog is not up: there it would choose a folder.
        for _ in range(3):
            if not box() or self.display.windows(name=dialog):
                break
            self.display.activate(box()[0])
            self.display.xdotool("key", "Return")
            wait_for(lambda: self.display.windows(name=dialog), 3)
        found = wait_for(lambda: self.display.windows(name=dialog), 10)
        self.test.assertTrue(found, "no folder dialog")
        self.display.activate(found[0])
        self.display.xdotool("key", "ctrl+a")
        self.display.xdotool("type", "--delay", "10", self.folder)
        # A second Return only while the dialog stays (the completer's list can take the first).
        self.test.assertTrue(self.display.key_until(
            "Return", lambda: not self.display.windows(name=dialog), window=found[0]),
            "the folder dialog did not take the folder")
        if not check:
            return
        time.sleep(0.5)
        self.test.assertEqual(self.display.windows(name="^(同步文件夹|Zettara-6471)$"), [],
                              "a message box came after the folder was chosen")

    def count(self):
        return len(glob.glob(os.path.join(glob.escape(self.notes_dir), "*", "*.json")))

    def files(self):
        """{path relative to the folder: bytes} of the .json files under Zettara-notes."""
        found = {}
        for path in glob.glob(os.path.join(glob.escape(self.notes_dir), "*", "*.json")):
            try:
                with open(path, "rb") as f:
                    found[os.path.relpath(path, self.folder)] = f.read()
            except OSError:  # renamed away between the listing and the read
                pass
        return found

    def versions(self):
        """[(path, parsed file)] of the files in our format."""
        found = []
        for path, data in self.files().items():
            try:
                parsed = json.loads(data)
            except ValueError:
                continue
            if isinstance(parsed, dict) and parsed.get("format") == 1:
                found.append((os.path.join(self.folder, path), parsed))
        return found

    def devices(self):
        return {v["device"] for _, v in self.versions()}

    def learn_device(self, others=()):
        """Reads this copy's device key from its folder: the one device there but others'."""
        mine = wait_for(lambda: self.devices() - {m.device for m in others}, 15)
        self.test.assertEqual(len(mine), 1, "not one new device in %s" % self.folder)
        self.device = mine.pop()

    def wrote(self, text):
        """Whether this copy's own file of some note holds text."""
        return any(text in v["content"]["value"] for _, v in self.versions()
                   if v["device"] == self.device)

    def window_for(self, test):
        """This copy's window of the note holding BLOCK, opened through its row's check box when
        the note came from the other machine closed."""
        if not wait_for(self.notes, 3):
            main = self.main()[0]
            self.display.activate(main)
            spot = wait_for(lambda: test_commands.CommandsTest.find_block(test, main), 5)
            self.test.assertTrue(spot, "the note's row is not on the screen")
            self.display.click(self.display.client_origin(main)[0] + 15, spot[1])
        windows = wait_for(self.notes, 5)
        if len(windows) > 1:  # raised one by one: the other copy's windows may cover them
            windows = [w for w in windows if self.display.activate(w) or
                       test_commands.CommandsTest.find_block(test, w)]
        self.test.assertEqual(len(windows), 1, "not one window for the note")
        return windows[0]

    def edit(self, window, keys, text):
        """Edits the note in place: a double click, keys to move the caret, text, Esc."""
        self.display.activate(window)
        x, y, w, h = self.display.geometry(window)
        self.display.move_pointer(x + w // 2, y + h // 2)
        self.display.xdotool("click", "--repeat", "2", "--delay", "60", "1")
        time.sleep(0.3)
        self.display.xdotool("key", "ctrl+Home", *keys)
        self.display.xdotool("type", "--delay", "15", text)
        self.display.xdotool("key", "Escape")


@unittest.skipUnless(shutil.which("syncthing"), "syncthing is not installed (Debian package syncthing)")
class SyncFolderTest(DisplayTest):
    def setUp(self):
        root = tempfile.mkdtemp(prefix="zettara-e2e-sync-")
        self.addCleanup(shutil.rmtree, root, True)
        self.folders = [os.path.join(root, side) for side in "ab"]
        for folder in self.folders:
            os.makedirs(folder, 0o700)
        self.daemons = syncthing.pair(*self.folders)
        for daemon in self.daemons:
            self.addCleanup(daemon.remove)

    def machines(self, notes_a=(), notes_b=()):
        a, b = Machine(self, self.folders[0], notes_a), Machine(self, self.folders[1], notes_b)
        a.start()
        b.start()
        return a, b

    def both(self, machines, predicate, what, timeout=SYNC):
        def holds(machine):
            try:
                return predicate(machine)
            except (TypeError, IndexError):  # the note file was busy, or holds no note yet
                return False
        ok = wait_for(lambda: all(holds(m) for m in machines), timeout, 0.2)
        if not ok:
            self.display.report(what)
            for m in machines:  # what each folder holds, for the merge's side of the story
                for path, v in sorted(m.versions())[:10]:
                    print("  %s: %s %r seen %s at %s" % (
                        os.path.relpath(path, os.path.dirname(m.folder)), v["device"][:6],
                        v["content"]["value"][:60], v["content"]["seen"], v["content"]["clock"]),
                          file=sys.stderr)
        self.assertTrue(ok, "%s: %s" % (what, [m.texts() for m in machines]))

    def paused(self, paused):
        for daemon in self.daemons:
            daemon.paused(paused)

    def test_notes_edits_and_a_delete_travel_both_ways(self):
        note = BLOCK + "\nfrom A"
        a, b = self.machines([dict(content=note, Visual=1)], [dict(content="made on B", Visual=0)])
        a.turn_on()
        a.learn_device()
        b.turn_on()
        self.both((a, b), lambda m: m.texts() == sorted([note, "made on B"]), "first merge")
        b.learn_device([a])

        window_a = a.window_for(self)
        self.assertTrue(self.display.place([window_a], 40, 60))
        a.edit(window_a, ["ctrl+End"], " +a")
        note += " +a"
        self.both((a, b), lambda m: note in m.texts(), "an edit on A")
        window_b = b.window_for(self)
        self.assertTrue(self.display.place([window_b], 1000, 60))
        b.edit(window_b, ["ctrl+End"], " +b")
        note += " +b"
        self.both((a, b), lambda m: note in m.texts(), "an edit on B")

        # Deleted on A through the note menu: gone from B's notes, in B's trash.
        x, y, w, h = self.display.geometry(window_a)
        self.display.click(x + w // 2, y + h // 2, 3)
        self.assertTrue(wait_for(self.display.popups, 5), "no note menu")
        self.assertTrue(self.display.key_until("d", lambda: window_a not in a.notes()),
                        "删除便签 did nothing")
        self.both((a, b), lambda m: m.texts() == ["made on B"], "a delete on A")
        self.assertIn(note, b.trash())
        self.assertNotIn(window_b, b.notes(), "B kept the deleted note's window")
        # Ctrl+Z on B takes it back on both.
        self.assertTrue(self.display.key_until("ctrl+z", lambda: note in (b.texts() or []),
                                               window=b.main()[0]), "Ctrl+Z on B")
        self.both((a, b), lambda m: m.texts() == sorted([note, "made on B"]), "undo on B")
        self.assertEqual(len({p for p, _ in a.versions()}), len(a.files()), "a file not ours")

    def test_concurrent_edits_merge_by_line_and_a_conflict_copy_is_read_and_kept(self):
        note = BLOCK + "\nline two\nline three\nline four"
        a, b = self.machines([dict(content=note, Visual=1)])
        a.turn_on()
        a.learn_device()
        b.turn_on()
        self.both((a, b), lambda m: m.texts() == [note], "first merge")
        window_a, window_b = a.window_for(self), b.window_for(self)
        self.assertTrue(self.display.place([window_a], 40, 60))
        self.assertTrue(self.display.place([window_b], 1000, 60))

        # Each concurrent edit below is made while the engines are paused, then they resume.
        def concurrently(keys_a, text_a, keys_b, text_b):
            self.paused(True)
            a.edit(window_a, keys_a, text_a)
            b.edit(window_b, keys_b, text_b)
            if b.device is None:
                b.learn_device([a])  # B writes a file of its own only once it changes the note
            self.assertTrue(wait_for(lambda: a.wrote(text_a) and b.wrote(text_b), 10),
                            "a program did not write its edit: %s" % [m.texts() for m in (a, b)])
            self.paused(False)

        # Neighbouring lines, B never having written the note: merged or kept between markers,
        # neither edit is lost.
        concurrently(["Down", "End"], " next-a", ["Down", "Down", "End"], " next-b")
        self.both((a, b), lambda m: m.texts() == b.texts() and "next-a" in m.texts()[0]
                  and "next-b" in m.texts()[0], "edits of neighbouring lines")

        # The first and the last line: both changes, no new markers.
        lines = a.texts()[0].split("\n")
        concurrently(["End"], " from-a", ["ctrl+End"], " from-b")
        merged = "\n".join([lines[0] + " from-a"] + lines[1:-1] + [lines[-1] + " from-b"])
        self.both((a, b), lambda m: m.texts() == [merged], "merge of lines apart")

        # The same line both ways: one text on both, each version between the markers.
        lines = merged.split("\n")
        concurrently(["End"], " AAA", ["End"], " BBB")
        self.both((a, b), lambda m: m.texts() == b.texts() and len(m.texts()[0]) > len(merged) + 30,
                  "one merged text")
        got = a.texts()[0].split("\n")
        starts = [next((i for i, line in enumerate(got) if line.startswith(m)), -1) for m in MARKERS]
        self.assertTrue(-1 not in starts and starts == sorted(starts), got)
        for version in (lines[0] + " AAA", lines[0] + " BBB", lines[-1]):
            self.assertEqual(got.count(version), 1, got)
        self.assertTrue(syncthing.settle(self.daemons), "the engines did not settle")

        # Another engine's conflict copy of a device file in A's folder, one text change ahead
        # of every version there.
        versions = a.versions()
        path, version = versions[0]
        content, device = version["content"], version["device"]
        seen = content["seen"]
        for _, other in versions:
            for key, n in other["content"]["seen"].items():
                seen[key] = max(seen.get(key, 0), n)
        seen[device] = seen.get(device, 0) + 1
        content["value"] = BLOCK + "\nfrom the copy"
        content["clock"] = "%d-0-%s" % (time.time() * 1000 + 1000, device)
        copy = os.path.join(os.path.dirname(path), device + " (conflicted copy 2026-12-08 101530).json")
        stray = os.path.join(a.notes_dir, "notes.txt")
        incoming = os.path.join(os.path.dirname(a.folder), "incoming")  # outside the shared folder
        for target, data in ((copy, json.dumps(version, ensure_ascii=False)), (stray, "not ours")):
            with open(incoming, "w", encoding="utf-8") as f:
                f.write(data)
            os.chmod(incoming, 0o600)
            os.replace(incoming, target)
        self.both((a, b), lambda m: m.texts() == [BLOCK + "\nfrom the copy"], "the copy's text")
        self.assertTrue(syncthing.settle(self.daemons), "the engines did not settle")
        for machine in (a, b):
            relative = os.path.relpath(copy, a.folder)
            self.assertTrue(os.path.exists(os.path.join(machine.folder, relative)), "copy removed")
            self.assertTrue(os.path.exists(os.path.join(machine.notes_dir, "notes.txt")),
                            "a file the program did not write was removed")

    def test_a_kill_during_the_first_merge_leaves_each_note_in_one_place(self):
        count = 400
        texts = ["note %03d" % i for i in range(count)]
        a, b = self.machines([dict(content=t, Visual=0) for t in texts])
        a.turn_on()
        self.assertTrue(wait_for(lambda: len(a.files()) == count, 30), "A did not write every note")
        self.assertTrue(syncthing.settle(self.daemons, 60), "B's folder did not get A's files")
        self.assertEqual(len(b.files()), count)

        b.turn_on(check=False)
        # Killed at the first sign of the merge: a note stored or a file of B's own written.
        started = lambda: (b.query("SELECT COUNT(*) FROM Tips") or [(0,)])[0][0] or b.count() > count
        self.assertTrue(wait_for(started, 15, 0.005), "B did not start merging")
        os.kill(b.proc.pid, signal.SIGKILL)
        b.proc.wait(5)
        at_kill = ((b.query("SELECT COUNT(*) FROM Tips") or [(-1,)])[0][0], b.count() - count)
        print("killed at %d notes, %d files of B's own" % at_kill, file=sys.stderr)
        b.start()

        self.both((a, b), lambda m: m.texts() == texts, "every note once after the restart "
                  "(killed at %d notes, %d files)" % at_kill, 60)
        self.assertTrue(syncthing.settle(self.daemons, 60), "the engines did not settle")
        self.assertTrue(wait_for(lambda: b.files() == a.files(), 20), "the folders differ")
        self.both((a, b), lambda m: m.texts() == texts, "every note once after the engines settled")
        for machine in (a, b):
            places = {}
            for path, version in machine.versions():
                places.setdefault(version["content"]["value"], set()).add(os.path.dirname(path))
            self.assertEqual(sorted(places), texts)
            self.assertEqual([t for t, dirs in places.items() if len(dirs) != 1], [],
                             "notes in more than one folder")


if __name__ == "__main__":
    unittest.main(verbosity=2)
