#!/usr/bin/python3
"""Drives the dialog of a running tavrin-config-demo over AT-SPI while the
Orca screen reader runs, and checks what Orca speaks, read from its debug
file: the description's news wherever the focus is, a radio with its group,
a list by its full name with its value, the key edit by its name. Prints
every utterance; exits 1 when one is missing.

Orca writes its debug file through a buffer: it is read once Orca, whose
process is ORCA_PID, has been stopped.

Usage: orca_speech.py APP_NAME ORCA_DEBUG_FILE ORCA_PID"""
import os
import re
import signal
import sys
import time

from Xlib import X, display

import read_tree as tree

PAUSE = 1.5  # seconds for Orca to speak after each step
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)'\{", re.S)


def utterances(debug_file):
    with open(debug_file, encoding="utf-8", errors="replace") as debug:
        return [re.sub(r"\s*\n\s*", " / ", text) for text in SPOKEN.findall(debug.read())]


def stop(pid):
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + tree.TIMEOUT
    while os.path.exists(f"/proc/{pid}") and time.monotonic() < deadline:
        time.sleep(0.1)


def check_in_order(spoken, patterns):
    """Each pattern in spoken, after the one before; the utterances are
    joined by " | "."""
    text, at = " | ".join(spoken), 0
    for pattern in patterns:
        found = re.compile(pattern).search(text, at)
        if found is None:
            tree.fail(f"Orca did not say {pattern!r}")
        else:
            at = found.end()


def activate(title):
    """Gives the dialog the input focus: with no window manager nobody else
    does, and Orca speaks only for the active window."""
    xdisplay = display.Display()
    for window in xdisplay.screen().root.query_tree().children:
        if window.get_wm_name() == title:
            window.set_input_focus(X.RevertToParent, X.CurrentTime)
    xdisplay.sync()


def focus(element):
    if element is not None:
        element.queryComponent().grabFocus()


def press_tab(win, name):
    tab = next((t for t in tree.tabs(win) if t.name == name), None)
    if tab is None:
        tree.fail(f"no tab {name!r}")
        return
    tree.act(tab, "Press")
    tree.wait_for(f"tab {name!r}", lambda: tree.current_tab(win) == name)


def choose_mifare(win):
    press_tab(win, "System Config")
    for kind in ["Card Data", "Mifare S50/S70"]:
        box = tree.wait_for(f"the {kind} check box", lambda k=kind: tree.find(win, "check box", k))
        if box is not None and not tree.checked(box):
            tree.act(box, "Toggle")
    tree.wait_for("the Mifare tab", lambda: "Mifare S50/S70" in [t.name for t in tree.tabs(win)])
    press_tab(win, "Mifare S50/S70")
    focus(tree.find(win, "text", "Mifare key"))


def steps(win):
    """Each step acts, then names what Orca must speak after it."""
    def press(name):
        return lambda: tree.act(tree.find(win, "push button", name), "Press")

    return [
        (press("Connect"), r"notification Device Connected / TAVRIN DEMO READER"),
        (lambda: focus(tree.find(win, "radio button", "ISO14443B")),
         r"Family panel\. \| ISO14443B\. \| not selected radio button"),
        (lambda: press_tab(win, "SNR"), r"push button"),
        (lambda: focus(tree.find(win, "combo box", "SNR end count")),
         r"SNR end count combo box\. \| \d+"),
        (lambda: choose_mifare(win), r"Mifare key text"),
        (press("DownLoad"), r"notification DownLoad Successed\."),
        (press("DownLoad"), r"notification DownLoad Successed\."),
    ]


def main():
    app_name, debug_file, orca = sys.argv[1], sys.argv[2], int(sys.argv[3])
    win = tree.wait_for("the dialog", lambda: tree.dialog(app_name))
    if win is None:
        return 1
    activate(tree.TITLE)
    patterns = [r"Tavrin Config Tools dialog"]
    for action, pattern in steps(win):
        time.sleep(PAUSE)
        action()
        patterns.append(pattern)
    time.sleep(PAUSE)
    stop(orca)
    spoken = utterances(debug_file)
    print("Orca said:")
    for text in spoken:
        print("   ", text)
    check_in_order(spoken, patterns)
    print(f"checks failed: {len(tree.failures)}")
    return 1 if tree.failures else 0


if __name__ == "__main__":
    sys.exit(main())
