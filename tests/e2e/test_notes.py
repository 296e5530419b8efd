"""Desktop note windows on a real display: colours, frameless placement, moving and resizing by
dragging, and the note menu on a right click."""

import unittest

from harness import DisplayTest, wait_for

RED, GREEN, BLUE = (255, 0, 0), (0, 160, 0), (0, 0, 255)


def stored(rgb):
    """A colour as the table stores it: 0x00BBGGRR."""
    r, g, b = rgb
    return b << 16 | g << 8 | r


THREE_NOTES = [dict(content="红色便签 red", BackColor=stored(RED), Visual=1),
               dict(content="绿色便签 green", BackColor=stored(GREEN), FontColor=0xFFFFFF, Visual=1),
               dict(content="蓝色便签 blue", BackColor=stored(BLUE), Visual=0)]
# Lines of full blocks, wider and taller than the label: the ink is the label's own clip box.
BLOCKS = "\n".join(["\u2588" * 40] * 12)


class NotesTest(DisplayTest):
    def start_hidden(self, notes, count):
        """Starts the program with its main window hidden and its notes side by side, so that
        nothing covers them, and returns the note windows."""
        program = self.program(notes)
        proc = program.start("mini")
        self.assertTrue(wait_for(lambda: len(program.note_windows()) == count),
                        "expected %d note windows" % count)
        self.assertIsNone(proc.poll())
        windows = program.note_windows()
        self.assertTrue(self.display.place(windows), "the notes could not be moved apart")
        return program, windows

    def background(self, window, colour, inside=True):
        """Waits until the window shows the colour in all four corners of its margin (2 px
        in) and, with inside, away from the text near the bottom."""
        x, y, w, h = self.display.geometry(window)
        points = [(x + 2, y + 2), (x + w - 3, y + 2), (x + 2, y + h - 3), (x + w - 3, y + h - 3)]
        if inside:
            points.append((x + w // 2, y + h - 12))
        screen = None

        def painted():
            nonlocal screen
            screen = self.display.grab()
            return all(screen.pixel(px, py) == colour for px, py in points)

        self.assertTrue(wait_for(painted, 5), "window %d at %s is not %s: %s" % (
            window, (x, y, w, h), colour, [screen.pixel(px, py) for px, py in points]))

    def text_extent(self, window, colour):
        """The box (left, top, right, bottom), in window pixels, of every pixel in the window
        that is not the background colour: the painted text, clipped by the label."""
        x, y, w, h = self.display.geometry(window)
        screen = self.display.grab()
        xs, ys = [], []
        for j in range(h):
            for i in range(w):
                if screen.pixel(x + i, y + j) != colour:
                    xs.append(i)
                    ys.append(j)
        self.assertTrue(xs, "no text painted")
        return min(xs), min(ys), max(xs), max(ys)

    def test_visible_notes_open_frameless_in_their_stored_colours(self):
        program, windows = self.start_hidden(THREE_NOTES, 2)
        self.assertEqual(program.main_windows(), [])
        by_colour = {}
        for window in windows:
            x, y, w, h = self.display.geometry(window)
            self.assertEqual((w, h), (170, 120))  # 2550 x 1800 twips
            extents = self.display.x(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"]).stdout
            self.assertIn("= 0, 0, 0, 0", extents, "note window has a frame")
            colour = self.display.grab().pixel(x + 2, y + 2)
            by_colour[colour] = window
        self.assertEqual(set(by_colour), {RED, GREEN}, "background colours")
        for colour, window in by_colour.items():
            self.background(window, colour)
        # The hidden note's colour is nowhere on the screen.
        screen = self.display.grab()
        self.assertEqual([p for p in range(0, len(screen.data), 3)
                          if screen.data[p:p + 3] == bytes(BLUE)], [])
        # Its text colour is the stored one: white text on green, black on red.
        for colour, text in ((RED, (0, 0, 0)), (GREEN, (255, 255, 255))):
            x, y, w, h = self.display.geometry(by_colour[colour])
            self.assertTrue(any(screen.pixel(x + i, y + j) == text
                                for i in range(4, 80) for j in range(4, 20)), "text colour")

    def test_drag_moves_the_note_and_its_right_edge_widens_it(self):
        program, (window,) = self.start_hidden([dict(content=BLOCKS, BackColor=stored(RED))], 1)
        self.background(window, RED, inside=False)
        x, y, w, h = self.display.geometry(window)
        self.assertEqual(self.text_extent(window, RED), (4, 4, w - 5, h - 5), "label margin")

        # A drag on the text moves the window by the drag's offset.
        self.display.drag(x + w // 2, y + h // 2, 120, 80)
        moved = wait_for(lambda: self.display.geometry(window)[:2] != (x, y) and
                         self.display.geometry(window), 5)
        self.assertTrue(moved, "the note did not move")
        # The move arrives in steps: the last one is where the drag ended.
        wait_for(lambda: abs(self.display.geometry(window)[0] - x - 120) <= 3 and
                 abs(self.display.geometry(window)[1] - y - 80) <= 3, 5)
        nx, ny, nw, nh = self.display.geometry(window)
        self.assertLessEqual(abs(nx - x - 120), 3, (x, nx))
        self.assertLessEqual(abs(ny - y - 80), 3, (y, ny))
        self.assertEqual((nw, nh), (w, h))

        # A drag 1 px inside the right edge resizes from that edge only.
        self.display.drag(nx + nw - 2, ny + nh // 2, 70, 0)
        self.assertTrue(wait_for(lambda: self.display.geometry(window)[2] != nw, 5),
                        "the note did not get wider")
        wait_for(lambda: abs(self.display.geometry(window)[2] - nw - 70) <= 3, 5)
        rx, ry, rw, rh = self.display.geometry(window)
        self.assertLessEqual(abs(rw - nw - 70), 3, (nw, rw))
        self.assertEqual((rx, ry, rh), (nx, ny, nh))

        # The label followed the new width and keeps its 4 px (60 twip) margin on every side.
        self.background(window, RED, inside=False)
        self.assertEqual(self.text_extent(window, RED), (4, 4, rw - 5, rh - 5), "label margin")

    def test_right_click_opens_the_note_menu_and_a_left_click_does_not(self):
        program, windows = self.start_hidden(THREE_NOTES, 2)
        for window in windows:
            self.assertTrue(wait_for(lambda: self.background_of(window), 5), "note not painted")
        first, second = windows
        x, y, w, h = self.display.geometry(first)

        self.display.click(x + w // 2, y + h // 2, 1)
        # The other note's menu, asked for after the click, is the one menu that comes: the
        # click has been handled and opened none.
        sx, sy, sw, sh = self.display.geometry(second)
        self.display.click(sx + sw // 2, sy + sh // 2, 3)
        menus = wait_for(self.display.popups, 5)
        self.assertEqual(len(menus), 1, "no menu, or more than one")
        mx, my = self.display.geometry(menus[0])[:2]
        self.assertLessEqual(abs(mx - (sx + sw // 2)) + abs(my - (sy + sh // 2)), 2,
                             "a left click opened a menu")
        self.assertTrue(self.display.key_until("Escape", lambda: self.display.popups() == []))
        self.assertEqual(self.display.geometry(first), (x, y, w, h))

        self.display.click(x + w // 2, y + h // 2, 3)
        menus = wait_for(self.display.popups, 5)
        self.assertEqual(len(menus), 1, "no note menu after a right click")
        mx, my, mw, mh = self.display.geometry(menus[0])
        self.assertLessEqual(abs(mx - (x + w // 2)) + abs(my - (y + h // 2)), 2,
                             "the menu is not at the pointer")
        self.assertTrue(self.display.key_until("Escape", lambda: self.display.popups() == []),
                        "Escape left the menu open")
        self.assertEqual(len(program.note_windows()), 2)

        # The menu acts on the note it was opened over: 关闭窗口[&C] closes that one only, and
        # closing is not stored.
        sx, sy, sw, sh = self.display.geometry(second)
        self.display.click(sx + 2, sy + sh // 2, 3)  # in the margin this time
        self.assertTrue(wait_for(self.display.popups, 5), "no note menu over the margin")
        self.assertTrue(self.display.key_until("c", lambda: program.note_windows() == [first]),
                        "关闭窗口 did not close the note it was opened over")
        self.assertEqual([r[2] for r in program.rows()], [1, 1, 0])

    def background_of(self, window):
        x, y, w, h = self.display.geometry(window)
        colour = self.display.grab().pixel(x + 2, y + 2)
        return colour if colour in (RED, GREEN) else None


if __name__ == "__main__":
    unittest.main(verbosity=2)
