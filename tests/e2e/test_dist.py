"""The package of `make dist` as a player gets it: unzipped into an empty
folder, run under a Wine prefix made for it alone, the game starts, draws
and quits cleanly.
"""
import os
import shutil
import subprocess
import tempfile
import time
import unittest
import zipfile

import tavrun

NAME = "gavo-beta"


class Package(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="tav-dist-")
        self.env = dict(os.environ, WINEPREFIX=os.path.join(self.work, "prefix"))
        self.game = None

    def tearDown(self):
        if self.game:
            self.game.kill()
        # Only this test's prefix: the session's own server keeps running.
        subprocess.run(["wineserver", "-k"], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.work, ignore_errors=True)

    def make_zip(self):
        out = os.path.join(self.work, "out")
        subprocess.run([os.path.join(tavrun.SOURCE, "scripts", "dist.sh"), tavrun.BUILD,
                        os.path.join(tavrun.BUILD, "testrun", "base"), out],
                       check=True, capture_output=True)
        return os.path.join(out, NAME + ".zip")

    def test_the_zip_holds_the_game_and_runs_from_an_empty_folder(self):
        with zipfile.ZipFile(self.make_zip()) as package:
            names = set(package.namelist())
            for name in ("gavo.exe", "tavConfig.exe", "tav.cfg", "README.txt",
                         "base/level.x", "base/chixen.x", "base/caust31.tga", "base/pop.sfx"):
                self.assertIn("%s/%s" % (NAME, name), names)
            readme = package.read(NAME + "/README.txt").decode()
            self.assertIn("make dist", readme)
            self.assertIn("tavConfig.exe", readme)
            self.assertIn("\r\n", package.read(NAME + "/tav.cfg").decode())
            empty = os.path.join(self.work, "player")
            os.mkdir(empty)
            package.extractall(empty)

        # A fresh prefix, as on a machine that never ran the game. Its
        # background processes outlive the call: they must not hold our pipes.
        subprocess.run(["wine64", "wineboot", "-i"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)
        folder = os.path.join(empty, NAME)
        self.game = tavrun.Game(folder=folder)
        self.game.process = subprocess.Popen(["wine64", "gavo.exe"], cwd=folder, env=self.env,
                                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                             stdin=subprocess.DEVNULL)
        self.game.output = open(os.devnull, "wb")
        game = self.game
        self.assertIsNotNone(tavrun.find_window("Gavo Beta"), "no window titled Gavo Beta")
        self.assertTrue(game.wait_for(lambda: "Loaded scene " in game.log(), 60),
                        "the game scene never loaded")
        time.sleep(2.0)
        shot = game.shot("Shot.bmp")
        self.assertIsNotNone(shot, "Print Screen wrote no Shot.bmp")
        sky = shot.pixel(shot.width // 2, 5)
        self.assertGreater(sky[2], sky[0], "no sky at the top: %r" % (sky,))

        tavrun.tap("Escape")
        self.assertEqual(game.wait_exit(30), 0)
        self.assertEqual(game.config_int("IsSetup"), 1)
        self.assertNotIn("Failed loading", game.log())


if __name__ == "__main__":
    unittest.main()
