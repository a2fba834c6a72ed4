"""The setup utility tavConfig.exe as a player meets it: on its own, after a
first start, and after the safe-mode question. Driven with real key
presses; what it shows is read from its controls, what it did from tav.cfg.
"""
import os
import shutil
import subprocess
import time
import unittest

import tavrun

TITLE = "TAV Setup"
# Control ids of the dialog (tools/tavConfig/SetupResources.h).
NOTE, RESOLUTION, SAMPLES, FILTER, FULLSCREEN, CHANNELS = 1001, 1006, 1007, 1009, 1011, 1018


def config_lines(data):
    return data.decode("latin-1").replace("\r\n", "\n").splitlines()


def changed_keys(before, after):
    """{key: new value} of the lines that differ; the files must have as many lines."""
    a, b = config_lines(before), config_lines(after)
    if len(a) != len(b):
        return {"<lines>": "%d -> %d" % (len(a), len(b))}
    return dict(new.split("=", 1) for old, new in zip(a, b) if old != new)


def read_dialog(*args):
    exe = os.path.join(tavrun.BUILD, "tests", "tools", "tavConfig", "tav_read_dialog.exe")
    return subprocess.run(["wine64", exe, TITLE] + list(args), capture_output=True, text=True,
                          timeout=30)


def dialog_controls():
    """{control id: (checked, text)} of the open dialog, or None."""
    r = read_dialog()
    if r.returncode != 0:
        return None
    parts = [l.rstrip("\r").split(" ", 2) + [""] for l in r.stdout.splitlines()]
    return {int(p[0]): (p[1] == "1", p[2]) for p in parts if len(p) >= 3}


def wait_gone(timeout, title=TITLE):
    """True once no window titled `title` is left."""
    end = time.time() + timeout
    while time.time() < end:
        if not tavrun.xdotool("search", "--name", "^%s$" % title, check=False).stdout.split():
            return True
        time.sleep(0.2)
    return False


# Xvfb lists only its own size: two common modes more, for these tests only.
EXTRA_MODES = ("800x600 40.00 800 840 968 1056 600 601 605 628 -hsync +vsync",
               "640x480 25.18 640 656 752 800 480 490 492 525 -hsync -vsync")


def xrandr(*args):
    return subprocess.run(["xrandr"] + list(args), capture_output=True, text=True)


def restart_wine():
    """Wine reads the screen's modes when its server starts (its background
    processes stay on: no pipes of ours for them)."""
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-k"], **quiet)
    subprocess.run(["wineserver", "-w"], **quiet)
    subprocess.run(["wineserver", "-p"], **quiet)
    subprocess.run(["wine64", "wineboot"], **quiet)


def screen_size():
    """The screen's current size as "WxH", from xrandr's list."""
    for line in xrandr("--current").stdout.splitlines():
        if "*" in line:
            return line.split()[0]
    return None


SESSION_SIZE = None


def setUpModule():
    global SESSION_SIZE
    SESSION_SIZE = screen_size()
    for mode in EXTRA_MODES:
        xrandr("--newmode", *mode.split())
        xrandr("--addmode", "screen", mode.split()[0])
    restart_wine()


def tearDownModule():
    # Back to the session's size (a mode in use cannot be taken away).
    if SESSION_SIZE and screen_size() != SESSION_SIZE:
        xrandr("--size", SESSION_SIZE)
    for mode in EXTRA_MODES:
        xrandr("--delmode", "screen", mode.split()[0])
        xrandr("--rmmode", mode.split()[0])
    restart_wine()


def press_until_gone(key, title=TITLE, tries=3):
    """Presses `key` in the window titled `title` until it closes (a window
    opened while another program's go away may miss the first press)."""
    for _ in range(tries):
        window = tavrun.find_window(title, 5)
        if not window:
            return True
        focus(window)
        tavrun.key(key)
        if wait_gone(10, title):
            return True
    return False


def focus(window):
    """With no window manager a new window need not get the focus."""
    if window:
        tavrun.xdotool("windowfocus", "--sync", window, check=False)
        time.sleep(0.3)


class SetupUtility(unittest.TestCase):
    game = utility = None

    def tearDown(self):
        if self.utility and self.utility.poll() is None:
            self.utility.kill()
            self.utility.wait()
        # A dialog a failed test left open would answer the next test.
        if not wait_gone(2):
            read_dialog("--close")
            wait_gone(10)
        if self.game:
            self.game.cleanup()

    def stage(self, config):
        """A fresh folder with the game, the utility and `config` as tav.cfg."""
        if self.game:
            self.game.cleanup()
        self.game = tavrun.Game(config="")
        shutil.copy(os.path.join(tavrun.BUILD, "tools", "tavConfig.exe"), self.game.folder)
        with open(self.game.path("tav.cfg"), "wb") as f:
            f.write(config if isinstance(config, bytes) else config.encode())
        return self.game

    def open_utility(self):
        self.output = open(self.game.path("utility-output.txt"), "wb")
        self.utility = subprocess.Popen(["wine64", "tavConfig.exe"], cwd=self.game.folder,
                                        stdout=self.output, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL)
        return self.wait_dialog()

    def close_utility(self, key):
        self.assertTrue(press_until_gone(key), "the utility did not close on " + key)
        code = self.utility.wait(30)
        self.output.close()
        with open(self.game.path("utility-output.txt"), "rb") as f:
            self.assertEqual(code, 0, f.read().decode("latin-1")[-2000:])

    def wait_dialog(self):
        window = tavrun.find_window(TITLE, 30)
        self.assertIsNotNone(window, "no window titled " + TITLE)
        focus(window)
        end = time.time() + 20
        controls = dialog_controls()
        while time.time() < end and not (controls and controls.get(RESOLUTION, (0, ""))[1]):
            time.sleep(0.2)
            controls = dialog_controls()
        self.assertTrue(controls, "the dialog's controls could not be read")
        return controls

    def choose(self, control, shows, *keys):
        """Presses `keys` until `control` shows `shows` (a key that went to a
        window still closing is pressed again); fails naming what it shows."""
        shown = None
        for _ in range(3):
            focus(tavrun.find_window(TITLE, 5))
            tavrun.key(*keys)
            shown = dialog_controls()
            if shown and shown.get(control, (0, ""))[1] == shows:
                return shown
        self.fail("%s never showed %r after %s; it shows %r" % (
            control, shows, " ".join(keys), shown and shown.get(control)))

    def config(self):
        return tavrun.read_bytes(self.game.path("tav.cfg"))

    def test_it_opens_with_the_file_and_ok_writes_exactly_the_changed_keys(self):
        before = tavrun.config_with(IsSetup=0, FullScreen=1, Channels=24, Filter=2).encode()
        self.stage(before)
        shown = self.open_utility()
        self.assertEqual(shown[NOTE][1], "Settings from tav.cfg.")
        self.assertEqual((shown[FILTER][1], shown[CHANNELS][1], shown[SAMPLES][1]),
                         ("Trilinear", "24", "None"))
        self.assertTrue(shown[FULLSCREEN][0])

        self.choose(RESOLUTION, "800 x 600, 60 Hz", "alt+r", "8")
        self.choose(FILTER, "Bilinear", "alt+t", "b")
        self.close_utility("Return")
        changed = changed_keys(before, self.config())
        self.assertEqual(sorted(changed), ["Filter", "IsSetup", "Resolution"])
        self.assertEqual((changed["Filter"], changed["IsSetup"]), ("1", "1"))
        self.assertGreaterEqual(int(changed["Resolution"]), 0)

    def test_cancel_leaves_a_spoilt_file_byte_identical_though_it_shows_it_corrected(self):
        before = tavrun.config_with(IsSetup=0, Resolution=57, Channels=900, UseAA=1, Samples=13,
                                    Quality1=2).replace("\n", "\r\n").encode()
        self.stage(before)
        shown = self.open_utility()
        for named in ("Resolution 57", "Channels 900", "13 samples"):
            self.assertIn(named, shown[NOTE][1])
        self.assertEqual((shown[CHANNELS][1], shown[SAMPLES][1]), ("128", "None"))
        self.choose(FILTER, "Point", "alt+t", "p")
        self.close_utility("Escape")
        self.assertEqual(self.config(), before)

        # OK then writes the corrected values, not the spoilt ones.
        self.open_utility()
        self.close_utility("Return")
        changed = changed_keys(before, self.config())
        self.assertEqual(sorted(changed), ["Channels", "IsSetup", "Quality1", "Resolution",
                                           "Samples", "UseAA"])
        self.assertEqual((changed["Channels"], changed["UseAA"]), ("128", "0"))

    def test_damaged_or_cut_files_open_with_the_defaults_and_a_note(self):
        garbage = bytes((i * 151 + 7) % 256 for i in range(700))
        cut = tavrun.DEFAULT_CONFIG.encode()[:60]
        for data, note in ((garbage, "damaged"), (cut, "cut short"), (b"", "was empty")):
            with self.subTest(note=note):
                self.stage(data)
                shown = self.open_utility()
                self.assertIn(note, shown[NOTE][1])
                self.assertEqual(shown[CHANNELS][1], "32")
                self.close_utility("Return")
                written = self.config()
                self.assertNotIn(garbage[:20], written)
                keys = dict(l.split("=", 1) for l in config_lines(written) if "=" in l)
                self.assertEqual((len(keys), keys["IsSetup"]), (20, "1"), keys)

    def test_a_first_start_runs_the_utility_and_the_next_start_plays_at_the_chosen_size(self):
        game = self.stage(tavrun.config_with(IsSetup=0, FullScreen=1))
        game.start()
        self.assertEqual(game.wait_exit(30), 0)
        self.assertIn("Running external configuration utility.", game.log())
        self.wait_dialog()
        self.choose(RESOLUTION, "800 x 600, 60 Hz", "alt+r", "8")
        self.assertTrue(press_until_gone("Return"), "the utility did not close")
        self.assertTrue(game.wait_for(lambda: game.config_int("IsSetup") == 1, 10))

        game.kill()
        game.start()
        self.assertTrue(game.wait_for(lambda: "Loaded scene " in game.log(), 60))
        for line in ("Windowed: false", "BackBufferWidth: 800", "BackBufferHeight: 600"):
            self.assertIn("<li>%s</li>" % line, game.log())
        time.sleep(0.5)
        tavrun.key("alt+F4")
        self.assertEqual(game.wait_exit(30), 0)
        self.assertEqual(game.config_int("IsSetup"), 1)

    def test_yes_to_the_safe_mode_question_runs_the_utility(self):
        game = self.stage(tavrun.config_with(IsSetup=2))
        game.start()
        self.assertIsNotNone(tavrun.find_window("Safe Mode", 30), "no safe-mode question")
        # Yes is the default button.
        self.assertTrue(press_until_gone("Return", "Safe Mode"), "the question did not close")
        self.assertEqual(game.wait_exit(30), 0)
        self.assertEqual(game.config_int("IsSetup"), 0)
        self.wait_dialog()
        self.assertTrue(press_until_gone("Return"), "the utility did not close")
        self.assertTrue(game.wait_for(lambda: game.config_int("IsSetup") == 1, 10))


if __name__ == "__main__":
    unittest.main()
