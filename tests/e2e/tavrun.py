"""Runs gavo.exe under Wine as a player would: a staged folder (gavo.exe,
base/, tav.cfg), real key presses through xdotool, and the files the program
leaves. Outside a headless session (scripts/headless.sh) the calling test
re-runs itself inside one, so a module can be started on its own.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("TAV_WIN_BUILD", os.path.join(SOURCE, "build", "win"))

if not os.environ.get("TAV_HEADLESS_SESSION"):
    script = os.path.join(SOURCE, "scripts", "headless.sh")
    os.execv(script, [script, "--screen", "1022x766x24", BUILD, sys.executable] + sys.argv)

DEFAULT_CONFIG = open(os.path.join(SOURCE, "scripts", "default-tav.cfg")).read()


def config_with(**keys):
    """The default configuration with some keys replaced (None drops one)."""
    lines = [l for l in DEFAULT_CONFIG.splitlines() if l and not l.startswith("[")]
    values = dict(l.split("=", 1) for l in lines)
    for k, v in keys.items():
        if v is None:
            values.pop(k, None)
        else:
            values[k] = str(v)
    return "[TAV]\n" + "".join("%s=%s\n" % kv for kv in values.items())


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def xdotool(*args, check=True):
    return subprocess.run(["xdotool"] + list(args), capture_output=True, text=True, check=check)


class Game:
    """One staged copy of the game in a temporary folder."""

    def __init__(self, config=None, folder=None):
        self.folder = folder or tempfile.mkdtemp(prefix="tav-e2e-")
        self.owns_folder = folder is None
        # Never over a copy that may be running: its image is mapped from the file.
        if not os.path.exists(self.path("gavo.exe")):
            shutil.copy(os.path.join(BUILD, "game", "gavo.exe"), self.folder)
        base = os.path.join(BUILD, "testrun", "base")
        target = os.path.join(self.folder, "base")
        if os.path.isdir(base) and not os.path.exists(target):
            shutil.copytree(base, target)
        if config is not None or not os.path.exists(self.path("tav.cfg")):
            with open(self.path("tav.cfg"), "w") as f:
                f.write(config if config is not None else DEFAULT_CONFIG)
        self.process = None

    def path(self, name):
        return os.path.join(self.folder, name)

    def start(self):
        self.output = open(self.path("wine-output.txt"), "wb")
        self.process = subprocess.Popen(["wine64", "gavo.exe"], cwd=self.folder,
                                        stdout=self.output, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL)
        return self

    def wait_exit(self, timeout=30):
        """The exit code, or None when the program is still running."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.process:
            self.output.close()

    def cleanup(self):
        code = self.process and self.process.poll()
        self.kill()
        if code not in (None, 0, -9):  # a run that failed (-9: killed on purpose) shows its end
            for name in ("wine-output.txt", "output.html"):
                try:
                    with open(self.path(name), encoding="latin-1") as f:
                        tail = f.read()[-3000:]
                    sys.stderr.write("--- %s (exit %s), its end:\n%s\n" % (name, code, tail))
                except OSError:
                    pass
        if self.owns_folder:
            shutil.rmtree(self.folder, ignore_errors=True)

    def log(self):
        try:
            with open(self.path("output.html"), encoding="latin-1") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def config_int(self, key):
        with open(self.path("tav.cfg")) as f:
            for line in f:
                if line.strip().startswith(key + "="):
                    return int(line.split("=", 1)[1])
        return None

    def wait_for(self, predicate, timeout=30, step=0.1):
        end = time.time() + timeout
        while time.time() < end:
            if predicate():
                return True
            time.sleep(step)
        return predicate()

    def shot(self, name, timeout=20):
        """Print Screen; the bitmap once logged and whole (None if never)."""
        key("Print")

        def whole():
            try:
                with open(self.path(name), "rb") as f:
                    data = f.read()
            except OSError:
                return False
            return len(data) >= 54 and struct.unpack_from("<I", data, 2)[0] == len(data)
        if not self.wait_for(lambda: ('"./%s"' % name) in self.log() and whole(), timeout):
            return None
        return Bitmap(self.path(name))


def find_window(title, timeout=30):
    """The X window id of the top-level window titled exactly `title`."""
    end = time.time() + timeout
    while time.time() < end:
        r = xdotool("search", "--name", "^%s$" % title, check=False)
        ids = r.stdout.split()
        if ids:
            return ids[-1]
        time.sleep(0.2)
    return None


def key(*names):
    xdotool("key", "--delay", "60", *names)


def tap(name):
    """A key down long enough for the game's once-a-frame read."""
    xdotool("keydown", name)
    time.sleep(0.3)
    xdotool("keyup", name)


def type_text(text):
    xdotool("type", "--delay", "60", text)


class Bitmap:
    """A 24-bit bottom-up BMP as the engine writes it."""

    def __init__(self, path):
        self.path = path
        with open(path, "rb") as f:
            self.bytes = f.read()
        (self.type, self.file_size, _, _, self.offset, self.header_size, self.width,
         self.height, self.planes, self.bits, self.compression,
         self.image_size) = struct.unpack_from("<HIHHIIiiHHII", self.bytes, 0)

    def pixel(self, x, y_from_top):
        row = self.height - 1 - y_from_top
        at = self.offset + (row * self.width + x) * 3
        b, g, r = self.bytes[at:at + 3]
        return r, g, b


def contains_in_order(text, needles):
    """The first needle missing from `text` (searched in order), or None."""
    at = 0
    for n in needles:
        found = text.find(n, at)
        if found < 0:
            return n
        at = found + len(n)
    return None
