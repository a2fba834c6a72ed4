"""gavo.exe played by keyboard in one sitting: a screenshot, the console with
"help" in readable text, backwards into the sea ("Game Over! Press Space!" in
red), Space for a fresh game, Escape for a clean shutdown. The game's own
screenshots are kept in testrun/pictures/ for a person to look at."""
import os
import shutil
import time
import unittest

import tavrun

PICTURES = os.path.join(tavrun.BUILD, "testrun", "pictures")
HELP_YELLOW = (0xFF, 0xFF, 0xB8)


def red_in_text_area(shot):
    """Red pixels where the game-over line goes: x = 400, baseline 800 up, of 1280 x 1024."""
    left = int(400 / 1280 * shot.width)
    baseline = shot.height - int(800 / 1024 * shot.height) + 25
    return sum(1 for y in range(max(0, baseline - 40), min(shot.height, baseline + 5))
               for x in range(left, min(shot.width, left + 500))
               if shot.pixel(x, y)[0] > 180 and max(shot.pixel(x, y)[1:]) < 80)


def contrast(a, b):
    def luminance(rgb):
        c = [v / 255.0 for v in rgb]
        c = [v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4 for v in c]
        return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def changed_fraction(a, b, row):
    xs = range(0, a.width, 2)
    return sum(1 for x in xs if max(abs(p - q) for p, q in
                                    zip(a.pixel(x, row), b.pixel(x, row))) > 24) / len(xs)


def text_bands(shot, rows, colour):
    """Runs of rows holding pixels of `colour`: one per printed line."""
    bands, inside = 0, False
    for y in rows:
        hit = sum(1 for x in range(shot.width) if shot.pixel(x, y) == colour) >= 3
        bands += hit and not inside
        inside = hit
    return bands


def background(shot, rows, text):
    """Each channel's median over `rows` but the text (the panel lets the game through)."""
    channels = ([], [], [])
    for y in rows:
        for x in range(0, shot.width, 3):
            p = shot.pixel(x, y)
            if p != text:
                for c in range(3):
                    channels[c].append(p[c])
    return tuple(sorted(c)[len(c) // 2] for c in channels)


class PlayTheGame(unittest.TestCase):
    def setUp(self):
        self.game = tavrun.Game()
        self.shots = 0

    def tearDown(self):
        self.game.cleanup()

    def shot(self, keep_as=None):
        """The next screenshot: Shot.bmp, then Shot0.bmp, Shot1.bmp..."""
        name = "Shot%s.bmp" % (self.shots - 1 if self.shots else "")
        self.shots += 1
        bitmap = self.game.shot(name)
        self.assertIsNotNone(bitmap, "Print Screen wrote no " + name)
        if keep_as:
            os.makedirs(PICTURES, exist_ok=True)
            shutil.copy(self.game.path(name), os.path.join(PICTURES, keep_as))
        return bitmap

    def check_console(self, closed):
        """Back-quote opens the panel over the upper half; "help" and Enter
        print the help there, readable on what it stands on."""
        h = closed.height
        for attempt in range(3):
            # With no window manager the first key after a start can be lost.
            tavrun.xdotool("windowfocus", "--sync", self.window)
            tavrun.key("grave")
            tavrun.type_text("help")
            time.sleep(0.3)
            typed = self.shot()
            least = min(changed_fraction(closed, typed, y) for y in range(h // 20, h * 9 // 20, 8))
            if least > 0.05:
                break
        self.assertGreater(least, 0.6, "the console panel does not cover the upper half")
        tavrun.key("Return")
        time.sleep(0.5)
        helped = self.shot("e2e-console.bmp")
        tavrun.key("grave")
        before = text_bands(typed, range(0, h // 2), HELP_YELLOW)
        after = text_bands(helped, range(0, h // 2), HELP_YELLOW)
        self.assertGreaterEqual(after, 7, "help text lines on screen: %d" % after)
        self.assertGreater(after, before)
        self.assertEqual(text_bands(helped, range(h // 2 + 4, h), HELP_YELLOW), 0,
                         "help text below the panel")
        behind_help = background(helped, range(h // 50, h // 4), HELP_YELLOW)
        behind_input = background(typed, range(int(h * 0.44), int(h * 0.48)), (0, 0, 0))
        self.assertGreaterEqual(contrast(HELP_YELLOW, behind_help), 3.0,
                                "help text on %s" % (behind_help,))
        self.assertGreaterEqual(contrast((0, 0, 0), behind_input), 3.0,
                                "input text on %s" % (behind_input,))

    def test_plays_opens_the_console_drowns_restarts_and_escape_quits_cleanly(self):
        game = self.game.start()
        window = self.window = tavrun.find_window("Gavo Beta")
        self.assertIsNotNone(window, "no window titled Gavo Beta")
        self.assertTrue(game.wait_for(lambda: "Loaded scene " in game.log(), 60),
                        "the game scene never loaded")
        time.sleep(2.0)  # the chicken lands on the start floor
        # No window manager: the pointer over the window, the focus given.
        tavrun.xdotool("mousemove", "--window", window, "20", "20")
        tavrun.xdotool("windowfocus", "--sync", window)

        playing = self.shot("e2e-playing.bmp")
        self.assertEqual((playing.type, playing.offset, playing.header_size, playing.bits),
                         (0x4D42, 54, 40, 24))
        self.assertEqual(playing.image_size, playing.width * playing.height * 3)
        sky = playing.pixel(playing.width // 2, 5)
        self.assertGreater(sky[2], sky[0], "no sky at the top: %r" % (sky,))
        self.assertLess(red_in_text_area(playing), 20)
        self.check_console(playing)

        # About 6 s to the sea on a quiet machine, longer on a loaded one that
        # draws fewer frames; walking on after the fall changes nothing.
        tavrun.xdotool("keydown", "s")
        time.sleep(5.0)
        for _ in range(12):
            lost = self.shot()
            if red_in_text_area(lost) > 200:
                break
            time.sleep(1.0)
        tavrun.xdotool("keyup", "s")
        shutil.copy(lost.path, os.path.join(PICTURES, "e2e-drowned.bmp"))
        self.assertGreater(red_in_text_area(lost), 200,
                           'no red "Game Over! Press Space!" on screen')

        tavrun.tap("space")
        self.assertTrue(game.wait_for(lambda: game.log().count("Loaded scene ") == 2, 60),
                        "Space after the loss loaded no new game")
        time.sleep(0.5)
        self.assertLess(red_in_text_area(self.shot("e2e-restarted.bmp")), 20)

        tavrun.tap("Escape")
        self.assertEqual(game.wait_exit(30), 0)
        self.assertEqual(game.config_int("IsSetup"), 1)
        log = game.log()
        self.assertNotIn("Failed loading", log)
        for needles in (
                ["<title>Error Log</title>", "Brindlewood Log Generator", "BWLG Version 1.07",
                 "Initialization Phase", "<b>TAV::Initialize()</b>",
                 "Performance Counter Frequency: ", "<li><b>DirectX Initialization</b></li>",
                 "<li><b>MakeD3DWindow()</b></li>", 'Window Caption "Gavo Beta"',
                 'Successfully registered the class "TAVMainWindow"', "Retrieved caps.",
                 "<b>Created a device!</b>", "<li><b>Console Successfully Created</b></li>",
                 "Fader created", "<li><b>GUI Created</b></li>", "<li><b>Game::Initialize</b></li>",
                 "TAV Successfully Initialized, Let's Go!", "<b>Main Loop</b>",
                 'Wrote screenshot to file: "./Shot.bmp"'],
                ["Loaded scene ", "Destroyed scene ", "Loaded scene ", "Cleaning Up!",
                 "<b>TAV::Release()</b>", "Destroyed DInput", "Evicted managed resources.",
                 "Last-Chance Deleted Scene ", "Deleted GUI.",
                 "Deleted DirectSound and DirectMusic Interfaces.", "Fader destroyed.",
                 "Released device.", "Released Direct3D Interface.", "Uninitialized COM.",
                 "</body>\n</html>"]):
            missing = tavrun.contains_in_order(log, needles)
            self.assertIsNone(missing, "log lacks (in order): %r" % missing)
        self.assertTrue(log.rstrip().endswith("</html>"))


if __name__ == "__main__":
    unittest.main()
