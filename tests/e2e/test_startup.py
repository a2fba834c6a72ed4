"""gavo.exe started and ended otherwise than in a normal sitting: a second
copy, a kill mid-game, a device that cannot be made."""
import os
import time
import unittest

import tavrun


class StartUp(unittest.TestCase):
    def setUp(self):
        self.game = tavrun.Game()

    def tearDown(self):
        self.game.cleanup()

    def test_second_copy_hands_over_and_leaves_the_log_alone(self):
        game = self.game.start()
        window = tavrun.find_window("Gavo Beta")
        self.assertIsNotNone(window)
        # Once the scene has loaded the running copy writes nothing more.
        self.assertTrue(game.wait_for(lambda: "Loaded scene " in game.log(), 30))
        time.sleep(0.5)
        log_before = game.log()

        second = tavrun.Game(folder=game.folder)
        second.start()
        self.assertEqual(second.wait_exit(30), 0)
        self.assertEqual(game.log(), log_before)
        self.assertIsNone(game.process.poll(), "the first copy stopped")

        tavrun.key("alt+F4")
        self.assertEqual(game.wait_exit(30), 0)
        self.assertEqual(game.config_int("IsSetup"), 1)

    def test_a_run_killed_mid_game_leaves_a_readable_log_and_a_whole_config(self):
        config_before = tavrun.read_bytes(self.game.path("tav.cfg"))
        game = self.game.start()
        window = tavrun.find_window("Gavo Beta")
        self.assertIsNotNone(window, "no window titled Gavo Beta")
        self.assertTrue(game.wait_for(lambda: "Loaded scene " in game.log(), 60))
        tavrun.xdotool("mousemove", "--window", window, "20", "20")
        tavrun.xdotool("windowfocus", "--sync", window)
        tavrun.xdotool("keydown", "w")
        time.sleep(1.0)
        game.process.kill()  # as a task manager would end it
        game.process.wait()
        tavrun.xdotool("keyup", "w")

        # Every line written so far is there whole; nothing of a shutdown.
        log = game.log()
        self.assertIn("Loaded scene ", log)
        self.assertTrue(log.endswith("\n"), "the log ends in the middle of a line: %r" % log[-80:])
        last = log.rstrip("\n").rsplit("\n", 1)[-1]
        self.assertTrue(last.endswith("</li>") or last.endswith("<br />") or last.endswith(">"),
                        "last line cut short: %r" % last)
        self.assertNotIn("TAV::Release()", log)
        # The engine writes the configuration only at a shutdown.
        self.assertEqual(tavrun.read_bytes(game.path("tav.cfg")), config_before)

        # The next start runs normally (no safe-mode question) and quits cleanly.
        again = tavrun.Game(folder=game.folder).start()
        try:
            window = tavrun.find_window("Gavo Beta")
            self.assertIsNotNone(window)
            self.assertTrue(again.wait_for(lambda: "Loaded scene " in again.log(), 60))
            tavrun.key("alt+F4")
            self.assertEqual(again.wait_exit(30), 0)
            self.assertEqual(again.config_int("IsSetup"), 1)
            self.assertIn("Uninitialized COM.", again.log())
        finally:
            again.kill()

    def test_a_device_that_cannot_be_made_ends_with_a_failed_run(self):
        game = tavrun.Game(tavrun.config_with(Adapter=5))
        try:
            game.start()
            self.assertEqual(game.wait_exit(60), 0)
            self.assertEqual(game.config_int("IsSetup"), 2)
            missing = tavrun.contains_in_order(game.log(), [
                "Failed to enumerate adapter modes!",
                '<font color="red">Device creation failed!</font>',
                '<font color="red">DirectX Initialize has failed!</font>',
                "TAV::Release()", "Windows Reports Error: ", "</html>"])
            self.assertIsNone(missing, "log lacks (in order): %r" % missing)
        finally:
            game.cleanup()


if __name__ == "__main__":
    unittest.main()
