"""gavo.exe played through the keyboard: the game loads and is drawn, walking
backwards off the start island drowns the chicken with the red text on
screen, Space loads a fresh game and Escape quits cleanly.

The screenshots are kept in the build tree (testrun/pictures/) for a person
to look at.
"""
import os
import shutil
import time
import unittest

import tavrun

PICTURES = os.path.join(tavrun.BUILD, "testrun", "pictures")


def is_red(p):
    r, g, b = p
    return r > 180 and g < 80 and b < 80


def red_in_text_area(shot):
    """Red pixels where "Game Over! Press Space!" goes: from x = 400 of the
    1280-wide layout, its line 800 up the 1024-high layout."""
    left = int(400 / 1280 * shot.width)
    baseline = shot.height - int(800 / 1024 * shot.height) + 25
    count = 0
    for y in range(max(0, baseline - 40), min(shot.height, baseline + 5)):
        for x in range(left, min(shot.width, left + 500)):
            count += is_red(shot.pixel(x, y))
    return count


def tap(name):
    """A key down long enough for the game's once-a-frame keyboard read."""
    tavrun.xdotool("keydown", name)
    time.sleep(0.3)
    tavrun.xdotool("keyup", name)


def keep(game, name, as_name):
    os.makedirs(PICTURES, exist_ok=True)
    shutil.copy(game.path(name), os.path.join(PICTURES, as_name))


class PlayTheGame(unittest.TestCase):
    def setUp(self):
        self.game = tavrun.Game()

    def tearDown(self):
        self.game.cleanup()

    def shot(self, name, timeout=15):
        tavrun.key("Print")
        self.assertTrue(self.game.wait_file(name, timeout), "Print Screen wrote no " + name)
        # The file is written in one go after the log line; give it a moment.
        self.game.wait_for(lambda: ('"./%s"' % name) in self.game.log(), 5)
        return tavrun.Bitmap(self.game.path(name))

    def test_plays_drowns_restarts_and_escape_quits_cleanly(self):
        game = self.game.start()
        self.assertIsNotNone(tavrun.find_window("Gavo Beta"), "no window titled Gavo Beta")
        self.assertTrue(game.wait_for(lambda: "Loaded scene " in game.log(), 60),
                        "the game scene never loaded")
        time.sleep(2.0)  # the chicken lands on the start floor

        playing = self.shot("Shot.bmp")
        keep(game, "Shot.bmp", "e2e-playing.bmp")
        # Sky above (blue over red), no game-over text.
        sky = playing.pixel(playing.width // 2, 5)
        self.assertGreater(sky[2], sky[0], "no sky at the top: %r" % (sky,))
        self.assertLess(red_in_text_area(playing), 20)

        # Backwards off the start island into the sea: about 6 s on a quiet
        # machine; held longer, since a loaded one draws fewer frames and
        # walking on after the fall changes nothing.
        tavrun.xdotool("keydown", "s")
        time.sleep(14.0)
        tavrun.xdotool("keyup", "s")
        time.sleep(1.0)
        lost = self.shot("Shot0.bmp")
        keep(game, "Shot0.bmp", "e2e-drowned.bmp")
        self.assertGreater(red_in_text_area(lost), 200,
                           'no red "Game Over! Press Space!" on screen')

        # Space: the old scene goes, a new one loads.
        tap("space")
        self.assertTrue(game.wait_for(lambda: game.log().count("Loaded scene ") == 2, 60),
                        "Space after the loss loaded no new game")
        self.assertIn("Destroyed scene ", game.log())
        time.sleep(1.5)
        fresh = self.shot("Shot1.bmp")
        keep(game, "Shot1.bmp", "e2e-restarted.bmp")
        self.assertLess(red_in_text_area(fresh), 20)

        tap("Escape")
        self.assertEqual(game.wait_exit(30), 0)
        self.assertEqual(game.config_int("IsSetup"), 1)
        log = game.log()
        missing = tavrun.contains_in_order(log, [
            "Loaded scene ", "Destroyed scene ", "Loaded scene ", "Cleaning Up!",
            "<b>TAV::Release()</b>", "Destroyed DInput", "Last-Chance Deleted Scene ",
            "Deleted GUI.", "Deleted DirectSound and DirectMusic Interfaces.",
            "Released device.", "Released Direct3D Interface.", "Uninitialized COM.",
            "</body>\n</html>"])
        self.assertIsNone(missing, "log lacks (in order): %r" % missing)
        self.assertTrue(log.rstrip().endswith("</html>"))
        self.assertNotIn("Failed loading", log)


if __name__ == "__main__":
    unittest.main()
