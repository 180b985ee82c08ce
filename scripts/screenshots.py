#!/usr/bin/python3
"""Screenshots of Veltrano's four pages at 96 and at 144 DPI under Xvfb, while
the simulated UPS reports a mains failure.

  scripts/screenshots.py [--build build/win] [--out /tmp/veltrano-shots]

Writes DPI-PAGE.png (e.g. 144-status.png) into the output folder. Wine takes
the DPI from LogPixels in the prefix, read when a program starts. Pages are
switched as a user does: a click on the page headers, then the arrow keys,
sent through the X server's test extension.
"""

import argparse
import ctypes
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.dont_write_bytecode = True
import harness  # noqa: E402

PAGES = ["info", "status", "settings", "history"]  # in the order of the page control
SCREEN = "1600x1200x24"  # room for the window at 144 DPI
FAIL_AT_S = 20.0  # after a few readings with mains power, so Min and Max show
SCENARIO = {"timeline": [{"at": FAIL_AT_S, "set": {"ip": 0.0, "batt": 13.2, "bits": "10001001"}}]}
SETTINGS = {"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1, "Action": 4}
XK_LEFT, XK_RIGHT = 0xFF51, 0xFF53


class FakeInput:
    """Clicks and key presses through XTest, as if from the user."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for f in (self.x11.XFlush, self.x11.XCloseDisplay):
            f.argtypes = [ctypes.c_void_p]
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display %s" % display)

    def click(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        self.x11.XFlush(self.dpy)

    def key(self, keysym):
        code = self.x11.XKeysymToKeycode(self.dpy, keysym)
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        self.x11.XFlush(self.dpy)

    def close(self):
        self.x11.XCloseDisplay(self.dpy)


def window_geometry(display):
    """(X window id, left, top, width, height) of the main window's X window."""
    out = subprocess.run(["xwininfo", "-display", display, "-name", "Veltrano"],
                         capture_output=True, text=True, timeout=10).stdout
    wid = re.search(r"Window id: (0x[0-9a-f]+)", out)
    nums = {k: int(re.search(r"%s:\s+(-?\d+)" % k, out).group(1))
            for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
    return (wid.group(1), nums["Absolute upper-left X"], nums["Absolute upper-left Y"],
            nums["Width"], nums["Height"])


def show_page(wine, fake, index, dpi):
    """Focuses the page control with a click on its first header, then steps
    to page `index` with the arrow keys; True once the control says so."""
    _, left, top, width, height = window_geometry(wine.env["DISPLAY"])
    client_w, client_h = round(318 * dpi / 96), round(550 * dpi / 96)
    border = (width - client_w) // 2
    client_left, client_top = left + border, top + height - client_h - border
    fake.click(client_left + round(24 * dpi / 96), client_top + round(38 * dpi / 96))
    for _ in range(len(PAGES)):
        current = int(wine.probe_text("PC") or -1)
        if current == index:
            return True
        fake.key(XK_RIGHT if current < index else XK_LEFT)
        harness.wait_for(lambda: int(wine.probe_text("PC") or -1) != current, 5, 0.1, "a page change")
    return int(wine.probe_text("PC") or -1) == index


def shoot(wine, dpi, out_dir):
    wine.run(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
              "/d", str(dpi), "/f"])
    sim = wine.simulator(protocol="megatec", scenario=SCENARIO)
    wine.clear_settings()
    wine.seed_settings(SETTINGS)
    app = wine.program("/show", fresh=False)
    try:
        app.wait_window()
        harness.wait_for(lambda: "Power Fail" in (wine.probe_text("LogM") or ""), 60, 0.5, "'Power Fail'")
        fake = FakeInput(wine.env["DISPLAY"])
        try:
            for index, page in enumerate(PAGES):
                if not show_page(wine, fake, index, dpi):
                    raise RuntimeError("page %s did not come up" % page)
                path = os.path.join(out_dir, "%d-%s.png" % (dpi, page))
                fake.click(0, 0)  # the pointer off the window: no hover, no tooltip
                wid = window_geometry(wine.env["DISPLAY"])[0]
                subprocess.run(["import", "-display", wine.env["DISPLAY"], "-window", wid, path],
                               check=True, timeout=30)
                print(path, flush=True)
        finally:
            fake.close()
    finally:
        app.stop()
        sim.stop()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build", "win"))
    ap.add_argument("--out", default="/tmp/veltrano-shots")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    xvfb = harness.Xvfb(screen=SCREEN)
    wine = harness.Wine(args.build, use_display=xvfb.display)
    try:
        wine.start()
        for dpi in (96, 144):
            shoot(wine, dpi, args.out)
    finally:
        wine.stop()
        xvfb.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
