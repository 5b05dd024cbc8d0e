#!/usr/bin/python3
"""Opens the typing check of a running tavrin-config with Ctrl+T, presses the
keys a reader presses for "1A2B" and Tab by X keycode through XTest, as a
USB keyboard does, and prints the check's two lines and its verdict as a
screen reader reads them (AT-SPI). With a file name, also saves a PNG of the
check.

Usage: press_and_read.py APP_NAME [PICTURE.png]"""
import struct
import sys
import time
import zlib

import pyatspi
from Xlib import X, display
from Xlib.ext import xtest

# evdev code + 8: Ctrl, T; 1, Shift+A, 2, Shift+B, Tab.
OPEN_CHECK = [(37, 28)]
READER_KEYS = [(10,), (50, 38), (11,), (50, 56), (23,)]
TIMEOUT = 10


def wait_for(what, find):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit(f"press_and_read: {what} did not come within {TIMEOUT} s")


def window(app_name, title, state):
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != app_name:
            continue
        for win in app:
            if win is not None and win.name == title and win.getState().contains(state):
                return win
    return None


def press(xdisplay, chords):
    for chord in chords:
        for code in chord:
            xtest.fake_input(xdisplay, X.KeyPress, code)
        for code in reversed(chord):
            xtest.fake_input(xdisplay, X.KeyRelease, code)
        xdisplay.sync()
        time.sleep(0.05)


def shown_after_every_key(win):
    """The labels, captions and lines alternating, the verdict last, once
    the key list holds a row of three cells for every key."""
    children = [child for child in win if child is not None]
    rows = [child.childCount for child in children if child.getRoleName() == "tree"]
    if rows != [3 * (1 + len(READER_KEYS))]:  # its header, then the keys
        return None
    return [child.name for child in children if child.getRoleName() == "label"]


def save_png(xdisplay, win, path):
    extents = win.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y, w, h = extents.x, extents.y, extents.width, extents.height
    raw = xdisplay.screen().root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
    rows = bytearray()
    for r in range(h):
        rows.append(0)
        line = raw[r * w * 4:(r + 1) * w * 4]
        for i in range(0, len(line), 4):
            rows += bytes((line[i + 2], line[i + 1], line[i]))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def main():
    app_name = sys.argv[1]
    xdisplay = display.Display()
    wait_for("the dialog", lambda: window(app_name, "Tavrin Config Tools", pyatspi.STATE_ACTIVE))
    press(xdisplay, OPEN_CHECK)
    check = wait_for("the typing check", lambda: window(app_name, "Typing check", pyatspi.STATE_ACTIVE))
    press(xdisplay, READER_KEYS)
    shown = wait_for("every key", lambda: shown_after_every_key(check))
    print(f"received: {shown[1]}\npressed: {shown[3]}\nverdict: {shown[4]}")
    if len(sys.argv) > 2:
        save_png(xdisplay, check, sys.argv[2])


main()
