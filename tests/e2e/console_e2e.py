#!/usr/bin/env python3
"""The console in the running game: the back-quote key opens it over the
upper half of the screen, "help" and Enter print the help block in readable
text. gavo.exe runs in a folder of its own under Wine; keys come from
xdotool on the session's display, pictures from the game's own screenshots
(Print Screen).

    console_e2e.py --exe gavo.exe --cfg default-tav.cfg [--base DIR] [--keep DIR]

Needs a headless session (scripts/headless.sh): DISPLAY, WINEPREFIX, wine64.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

CAPTION = "Gavo Beta"
HELP_YELLOW = (0xFF, 0xFF, 0xB8)


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def wait_for(what, predicate, timeout, step=0.2):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    fail("timed out after %d s waiting for %s" % (timeout, what))


def xdotool(*args):
    return subprocess.run(["xdotool"] + list(args), capture_output=True, text=True, timeout=30)


class Shot:
    """A 24-bit bottom-up BMP as the engine writes it (rows not padded)."""

    def __init__(self, path):
        data = open(path, "rb").read()
        if data[:2] != b"BM" or len(data) < 54:
            fail("%s is not a bitmap" % path)
        self.offset = struct.unpack_from("<I", data, 10)[0]
        self.width, self.height = struct.unpack_from("<ii", data, 18)
        if struct.unpack_from("<H", data, 28)[0] != 24:
            fail("%s is not 24-bit" % path)
        self.stride = (len(data) - self.offset) // self.height
        self.data = data

    def pixel(self, x, y_from_top):
        at = self.offset + (self.height - 1 - y_from_top) * self.stride + x * 3
        b, g, r = self.data[at], self.data[at + 1], self.data[at + 2]
        return r, g, b


def changed_fraction(a, b, row):
    differ = 0
    for x in range(0, a.width, 2):
        pa, pb = a.pixel(x, row), b.pixel(x, row)
        if max(abs(pa[i] - pb[i]) for i in range(3)) > 24:
            differ += 1
    return differ / float(len(range(0, a.width, 2)))


def yellow_bands(shot, rows):
    """Runs of rows holding help-text pixels: one per printed line."""
    bands, inside = 0, False
    for y in rows:
        hits = sum(1 for x in range(shot.width) if shot.pixel(x, y) == HELP_YELLOW)
        if hits >= 3 and not inside:
            bands += 1
        inside = hits >= 3
    return bands


def count_colour(shot, rows, colour):
    return sum(1 for y in rows for x in range(shot.width) if shot.pixel(x, y) == colour)


def write_stand_in_background(path):
    """A console background for runs without the generated content: dark
    behind the scroll-back, light behind the input row at the bottom (the
    input text is black)."""
    size = 64
    rows = []
    for y in range(size):  # top-down
        v = (y + 0.5) / size
        colour = (220, 214, 196) if v >= 0.88 else (26 + int(12 * v), 30 + int(14 * v), 44 + int(18 * v))
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


def background(shot, rows):
    """The most common colour of the rows: what the text stands on."""
    counts = {}
    for y in rows:
        for x in range(0, shot.width, 3):
            p = shot.pixel(x, y)
            counts[p] = counts.get(p, 0) + 1
    return max(counts, key=counts.get)


def take_shot(folder, name):
    before = os.path.getsize(os.path.join(folder, "output.html"))
    xdotool("key", "Print")
    path = os.path.join(folder, name)
    wait_for(name, lambda: os.path.exists(path) and os.path.getsize(path) > 54, 20)
    # The file is complete once the log tells where it went.
    wait_for("the screenshot's log line",
             lambda: os.path.getsize(os.path.join(folder, "output.html")) > before, 10)
    time.sleep(0.2)
    return Shot(path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--cfg", required=True)
    parser.add_argument("--base")
    parser.add_argument("--keep", help="copy the screenshots and the log here")
    args = parser.parse_args()
    for tool in ("xdotool", "wine64"):
        if not shutil.which(tool):
            fail("%s is not on PATH (run inside scripts/headless.sh)" % tool)
    if not os.environ.get("DISPLAY"):
        fail("no DISPLAY: run inside scripts/headless.sh")

    folder = tempfile.mkdtemp(prefix="tav-e2e-console-")
    shutil.copy(args.exe, os.path.join(folder, "gavo.exe"))
    shutil.copy(args.cfg, os.path.join(folder, "tav.cfg"))
    if args.base and os.path.isdir(args.base):
        shutil.copytree(args.base, os.path.join(folder, "base"))
    else:
        os.makedirs(os.path.join(folder, "base"))
    console_tex = os.path.join(folder, "base", "console.tex")
    if not os.path.exists(console_tex):
        print("note: no generated base/console.tex; using a stand-in background")
        write_stand_in_background(console_tex)

    game = subprocess.Popen(["wine64", "gavo.exe"], cwd=folder, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        window = wait_for("the game window",
                          lambda: xdotool("search", "--name", "^%s$" % CAPTION).stdout.split(), 60)[0]
        wait_for("the main loop", lambda: "Main Loop" in open(os.path.join(folder, "output.html"),
                                                               errors="replace").read(), 60)
        time.sleep(1.0)
        # No window manager: put the pointer over the window and give it the
        # keyboard focus ourselves.
        geometry = xdotool("getwindowgeometry", window).stdout
        xdotool("mousemove", "--window", window, "20", "20")
        xdotool("windowfocus", "--sync", window)

        closed = take_shot(folder, "Shot.bmp")
        xdotool("key", "grave")
        time.sleep(0.3)
        xdotool("type", "--delay", "40", "help")
        time.sleep(0.3)
        typed = take_shot(folder, "Shot0.bmp")
        xdotool("key", "Return")
        time.sleep(0.5)
        helped = take_shot(folder, "Shot1.bmp")

        h = closed.height
        upper = range(int(h * 0.05), int(h * 0.45))
        covered = [changed_fraction(closed, typed, y) for y in upper[::8]]
        if min(covered) < 0.6:
            fail("the console panel does not cover the upper half (least changed row: %.2f; window %s)"
                 % (min(covered), geometry.strip()))
        before = yellow_bands(typed, range(0, h // 2))
        after = yellow_bands(helped, range(0, h // 2))
        lower_text = count_colour(helped, range(h // 2 + 4, h), HELP_YELLOW)
        if after < 7 or after <= before:
            fail("the help block is not on screen: %d lines of help text before Enter, %d after"
                 % (before, after))
        if lower_text:
            fail("help text below the panel (%d pixels)" % lower_text)
        if count_colour(helped, range(0, h // 2), HELP_YELLOW) < 500:
            fail("the help text is too faint to read")
        # Readable: the help text (pale yellow) and the typed input (black)
        # both stand out from what the panel shows behind them.
        behind_help = background(helped, range(int(h * 0.02), int(h * 0.25)))
        input_rows = range(int(h * 0.5 - h * 0.06), int(h * 0.5 - h * 0.02))
        behind_input = background(typed, input_rows)
        if contrast(HELP_YELLOW, behind_help) < 3.0:
            fail("help text on %s has contrast %.2f, less than 3" % (behind_help,
                                                                     contrast(HELP_YELLOW, behind_help)))
        if contrast((0, 0, 0), behind_input) < 3.0:
            fail("the black input line on %s has contrast %.2f, less than 3" %
                 (behind_input, contrast((0, 0, 0), behind_input)))
        print("console panel over rows 0..%d, %d help lines, text in %s" % (h // 2, after,
                                                                             HELP_YELLOW))

        xdotool("key", "alt+F4")
        try:
            code = game.wait(timeout=30)
        except subprocess.TimeoutExpired:
            fail("the game did not quit on Alt+F4")
        if code != 0:
            fail("the game exited with %d" % code)
    finally:
        if game.poll() is None:
            game.kill()
        if args.keep:
            os.makedirs(args.keep, exist_ok=True)
            for name in ("Shot.bmp", "Shot0.bmp", "Shot1.bmp", "output.html"):
                if os.path.exists(os.path.join(folder, name)):
                    shutil.copy(os.path.join(folder, name), args.keep)
        shutil.rmtree(folder, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    main()
