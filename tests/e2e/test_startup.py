"""gavo.exe as a player starts and quits it."""
import os
import time
import unittest

import tavrun


class StartUp(unittest.TestCase):
    def setUp(self):
        self.game = tavrun.Game()

    def tearDown(self):
        self.game.cleanup()

    def test_runs_a_window_takes_a_screenshot_and_quits_cleanly(self):
        game = self.game.start()
        window = tavrun.find_window("Gavo Beta")
        self.assertIsNotNone(window, "no window titled Gavo Beta")
        time.sleep(1.0)
        tavrun.key("Print")
        self.assertTrue(game.wait_file("Shot.bmp", 15), "Print Screen wrote no Shot.bmp")
        time.sleep(0.5)
        tavrun.key("alt+F4")
        self.assertEqual(game.wait_exit(30), 0)

        self.assertEqual(game.config_int("IsSetup"), 1)
        shot = tavrun.Bitmap(game.path("Shot.bmp"))
        self.assertEqual((shot.type, shot.offset, shot.header_size, shot.bits),
                         (0x4D42, 54, 40, 24))
        self.assertEqual(shot.image_size, shot.width * shot.height * 3)
        self.assertEqual(len(shot.bytes), 54 + shot.image_size)

        missing = tavrun.contains_in_order(game.log(), [
            "<title>Error Log</title>", "Brindlewood Log Generator", "BWLG Version 1.07",
            "Initialization Phase", "<b>TAV::Initialize()</b>", "Performance Counter Frequency: ",
            "<li><b>DirectX Initialization</b></li>", "<li><b>MakeD3DWindow()</b></li>",
            'Window Caption "Gavo Beta"', 'Successfully registered the class "TAVMainWindow"',
            "Retrieved caps.", "<b>Created a device!</b>",
            "<li><b>Console Successfully Created</b></li>", "Fader created",
            "<li><b>GUI Created</b></li>", "<li><b>Game::Initialize</b></li>",
            "TAV Successfully Initialized, Let's Go!", "<b>Main Loop</b>",
            'Wrote screenshot to file: "./Shot.bmp"', "Cleaning Up!",
            "<b>TAV::Release()</b>", "Destroyed DInput", "Evicted managed resources.",
            "Last-Chance Deleted Scene ", "Deleted GUI.",
            "Deleted DirectSound and DirectMusic Interfaces.", "Fader destroyed.",
            "Released device.", "Released Direct3D Interface.", "Uninitialized COM.",
            "</body>\n</html>"])
        self.assertIsNone(missing, "log lacks (in order): %r" % missing)

    def test_second_copy_hands_over_and_leaves_the_log_alone(self):
        game = self.game.start()
        window = tavrun.find_window("Gavo Beta")
        self.assertIsNotNone(window)
        self.assertTrue(game.wait_for(lambda: "Main Loop" in game.log(), 30))
        log_before = game.log()

        second = tavrun.Game(folder=game.folder)
        second.start()
        self.assertEqual(second.wait_exit(30), 0)
        self.assertEqual(game.log(), log_before)
        self.assertIsNone(game.process.poll(), "the first copy stopped")

        tavrun.key("alt+F4")
        self.assertEqual(game.wait_exit(30), 0)
        self.assertEqual(game.config_int("IsSetup"), 1)

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
