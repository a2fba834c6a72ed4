"""The drop-down console in the running game: the back-quote key opens it
over the upper half of the screen; "help" and Enter print the help block in
text a player can read. Pictures come from the game's own screenshots."""
import os
import struct
import time
import unittest

import tavrun

HELP_YELLOW = (0xFF, 0xFF, 0xB8)


def write_stand_in_background(path):
    """A console background for runs without the generated content: dark
    behind the scroll-back, light behind the input row at the bottom (the
    input text is black)."""
    size = 64
    rows = []
    for y in range(size):  # top-down
        v = (y + 0.5) / size
        colour = (220, 214, 196) if v >= 0.88 else (26 + int(12 * v), 30 + int(14 * v),
                                                      44 + int(18 * v))
        rows.append(bytes((colour[2], colour[1], colour[0])) * size)
    pixels = b"".join(reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def luminance(rgb):
    def channel(c):
        c /= 255.0
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (channel(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def changed_fraction(a, b, row):
    xs = range(0, a.width, 2)
    differ = sum(1 for x in xs
                 if max(abs(p - q) for p, q in zip(a.pixel(x, row), b.pixel(x, row))) > 24)
    return differ / float(len(xs))


def text_bands(shot, rows, colour):
    """Runs of rows holding pixels of `colour`: one per printed line."""
    bands, inside = 0, False
    for y in rows:
        hit = sum(1 for x in range(shot.width) if shot.pixel(x, y) == colour) >= 3
        bands += hit and not inside
        inside = hit
    return bands


def count_colour(shot, rows, colour):
    return sum(1 for y in rows for x in range(shot.width) if shot.pixel(x, y) == colour)


def background(shot, rows, text):
    """What the text stands on: the median of each channel over the rows,
    leaving out the text's own pixels (the panel lets the game's picture
    through, so no single colour stands behind the text)."""
    channels = ([], [], [])
    for y in rows:
        for x in range(0, shot.width, 3):
            p = shot.pixel(x, y)
            if p != text:
                for c in range(3):
                    channels[c].append(p[c])
    return tuple(sorted(c)[len(c) // 2] for c in channels)


class Console(unittest.TestCase):
    def setUp(self):
        self.game = tavrun.Game()
        console_tex = self.game.path(os.path.join("base", "console.tex"))
        if not os.path.exists(console_tex):
            # No generated content in this build yet.
            os.makedirs(os.path.dirname(console_tex), exist_ok=True)
            write_stand_in_background(console_tex)
        self.shots = 0

    def tearDown(self):
        self.game.cleanup()

    def shot(self):
        """Print Screen, and the bitmap once its log line says it is written."""
        name = "Shot.bmp" if self.shots == 0 else "Shot%d.bmp" % (self.shots - 1)
        self.shots += 1
        tavrun.key("Print")
        self.assertTrue(self.game.wait_for(lambda: ('"./%s"' % name) in self.game.log(), 20),
                        "Print Screen wrote no %s" % name)
        return tavrun.Bitmap(self.game.path(name))

    def test_back_quote_opens_the_console_and_help_prints_readable_text(self):
        game = self.game.start()
        window = tavrun.find_window("Gavo Beta")
        self.assertIsNotNone(window, "no window titled Gavo Beta")
        self.assertTrue(game.wait_for(lambda: "Main Loop" in game.log(), 60))
        time.sleep(1.0)
        # No window manager: the pointer over the window, the focus given.
        tavrun.xdotool("mousemove", "--window", window, "20", "20")
        tavrun.xdotool("windowfocus", "--sync", window)

        closed = self.shot()
        tavrun.key("grave")
        tavrun.type_text("help")
        time.sleep(0.3)
        typed = self.shot()
        tavrun.key("Return")
        time.sleep(0.5)
        helped = self.shot()
        tavrun.key("alt+F4")
        self.assertEqual(game.wait_exit(30), 0)

        # The panel covers the upper half.
        h = closed.height
        least = min(changed_fraction(closed, typed, y) for y in range(int(h * 0.05), int(h * 0.45), 8))
        self.assertGreater(least, 0.6, "the console panel does not cover the upper half")

        # The help block: seven more lines of help text, all above the middle.
        before = text_bands(typed, range(0, h // 2), HELP_YELLOW)
        after = text_bands(helped, range(0, h // 2), HELP_YELLOW)
        self.assertGreaterEqual(after, 7, "help text lines on screen: %d" % after)
        self.assertGreater(after, before)
        self.assertEqual(count_colour(helped, range(h // 2 + 4, h), HELP_YELLOW), 0,
                         "help text below the panel")

        # Readable: the help text and the typed (black) input stand out from
        # what the panel shows behind them.
        behind_help = background(helped, range(int(h * 0.02), int(h * 0.25)), HELP_YELLOW)
        behind_input = background(typed, range(int(h * 0.44), int(h * 0.48)), (0, 0, 0))
        self.assertGreaterEqual(contrast(HELP_YELLOW, behind_help), 3.0,
                                "help text on %s" % (behind_help,))
        self.assertGreaterEqual(contrast((0, 0, 0), behind_input), 3.0,
                                "input text on %s" % (behind_input,))


if __name__ == "__main__":
    unittest.main()
