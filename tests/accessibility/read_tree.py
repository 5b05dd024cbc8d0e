#!/usr/bin/python3
"""Reads the dialog of a running tavrin-config-demo over AT-SPI, as a screen
reader does, and checks what it finds: roles, names, labels, radio groups,
the Toggle and Press actions, the description's text and Space on a radio
focused by the screen reader. Prints the tree of every tab as a table
(role, name, panel) and the counts of controls with a wrong role, with no
name and with no label relation; exits 1 when any check fails.

Usage: read_tree.py APP_NAME SOURCE_DIR"""
import re
import sys
import time

import pyatspi
from gi.repository import GLib
from Xlib import X, display
from Xlib.ext import xtest

TITLE = "Tavrin Config Tools"
TIMEOUT = 10
SPACE = 65  # X keycode: evdev KEY_SPACE + 8
FAMILIES = ["ISO14443A", "ISO14443B", "ISO15693"]
# Roles that a user operates, and so must be named uniquely.
OPERATED = {"push button", "check box", "radio button", "combo box", "text", "page tab"}
# A list named after one of its items: the key names and the numbers.
ITEM_LIKE = re.compile(r"^(<None>|Down|Tab|Enter|PgDn|\d+)$")

failures = []
counted = {}  # each control read -> its problems


def fail(text):
    failures.append(text)
    print("FAIL:", text)


def captions_by_kind(source):
    """Each kind's captions in the dialog's control table."""
    text = open(f"{source}/src/form/ControlTable.cpp", encoding="utf-8").read()
    kinds = {}
    for kind, caption in re.findall(r"\{[CB]\(\w+\), (k\w+),[^\"\n]*\"([^\"]+)\"", text):
        kinds.setdefault(kind, set()).add(caption)
    return {"radio button": kinds.get("kRadio", set()),
            "check box": kinds.get("kCheck", set()),
            "push button": kinds.get("kButton", set()) | kinds.get("kDefault", set())}


def wait_for(what, find):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    fail(f"{what} did not come within {TIMEOUT} s")
    return None


def dialog(app_name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != app_name:
            continue
        for win in app:
            if win is not None and win.name == TITLE:
                return win
    return None


def elements(node, depth=0, with_depth=False):
    """Every showing element under node, depth first."""
    for child in node:
        if child is None or not child.getState().contains(pyatspi.STATE_SHOWING):
            continue
        yield (child, depth) if with_depth else child
        yield from elements(child, depth + 1, with_depth)


def find(win, role, name):
    for element in elements(win):
        if element.getRoleName() == role and element.name == name:
            return element
    return None


def checked(element):
    return element.getState().contains(pyatspi.STATE_CHECKED)


def act(element, action):
    actions = element.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        fail(f"{element.name!r} offers no {action} action, only {names}")
        return
    actions.doAction(names.index(action))


def text_of(element):
    try:
        text = element.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, -1)


def tabs(win):
    return [e for e in elements(win) if e.getRoleName() == "page tab"]


def labelled(element):
    for relation in element.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets():
            return True
    return False


def current_tab(win):
    """The page tab list is named after its current tab."""
    strip = next((e for e in elements(win) if e.getRoleName() == "page tab list"), None)
    return strip.name if strip is not None else "?"


def click(element):
    """A real click in the middle of the element: the way on when an action
    failed, so that the rest of the tree is still read."""
    box = element.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdisplay = display.Display()
    xtest.fake_input(xdisplay, X.MotionNotify, x=box.x + box.width // 2, y=box.y + box.height // 2)
    xtest.fake_input(xdisplay, X.ButtonPress, 1)
    xtest.fake_input(xdisplay, X.ButtonRelease, 1)
    xdisplay.sync()
    time.sleep(0.3)


def check_view(win, kinds):
    """Checks and prints the controls on view under the current tab."""
    panel = current_tab(win)
    print(f"\n--- tab {panel!r}")
    print(f"{'role':<18} {'name':<36} panel")
    names = {}
    for element, depth in elements(win, with_depth=True):
        role, name = element.getRoleName(), element.name.strip()
        print(f"{'  ' * depth + role:<18} {name!r:<36} {panel}")
        problems = set()
        expected = next((r for r, captions in kinds.items() if name in captions), None)
        if expected is not None and role != expected:
            problems.add("role")
        if role in OPERATED or element.name == "Description":
            if not name or (role == "combo box" and ITEM_LIKE.match(name)):
                problems.add("name")
            elif role in OPERATED:
                # The tabs stand beside the panel, not in it.
                names.setdefault((role == "page tab", name), []).append(role)
        if role in ("combo box", "text") and not labelled(element):
            problems.add("label")
        if (role == "radio button" or expected == "radio button") and not grouped(element):
            problems.add("group")
        # A control outside the panels is on view under every tab: once.
        key = (role, name, element.getIndexInParent(), element.parent.getRoleName())
        counted[key] = counted.get(key, set()) | problems
        for problem in sorted(problems):
            fail(f"{panel}: {role} {name!r}: {problem}")
    for (_, name), roles in names.items():
        if len(roles) > 1:
            fail(f"{panel}: {len(roles)} controls named {name!r}")


def grouped(radio):
    """In a group of its own kind: a parent that holds only radios, two or
    more, and not the window."""
    parent = radio.parent
    if parent is None or parent.getRoleName() in ("dialog", "frame", "window"):
        return False
    members = [c for c in parent if c is not None]
    return len(members) >= 2 and all(c.getRoleName() == radio.getRoleName() for c in members)


def family_radios(win):
    return [find(win, "radio button", f) or find(win, "check box", f) for f in FAMILIES]


def check_family_toggles(win):
    for family in ["ISO14443B", "ISO15693", "ISO14443A"]:
        radios = family_radios(win)
        target = radios[FAMILIES.index(family)]
        if target is None:
            fail(f"no control {family!r}")
            continue
        act(target, "Toggle")
        time.sleep(0.3)
        on = [f for f, r in zip(FAMILIES, family_radios(win)) if r is not None and checked(r)]
        if on != [family]:
            fail(f"Toggle on {family} left {on} checked")
            click(target)


def check_kind_toggles(win):
    """Card Data, then each card kind of ISO14443A, brings its tab."""
    data = find(win, "check box", "Card Data")
    act(data, "Toggle")
    for kind in ["Mifare S50/S70", "UltraLight"]:
        box = wait_for(f"the {kind} check box", lambda k=kind: find(win, "check box", k))
        if box is None:
            if checked(data):
                click(data)  # off again, so that a click brings the kinds
            click(data)
            box = find(win, "check box", kind)
        if box is None:
            continue
        act(box, "Toggle")
        if not wait_for(f"the {kind} tab after Toggle", lambda k=kind: k in [t.name for t in tabs(win)]):
            click(box)
            if checked(box) is False:
                click(box)


def check_space_on_focused_radio(win):
    """A radio the screen reader moved the focus to: Space checks it through
    the click's handler, which rebuilds the tabs for its family."""
    radio = family_radios(win)[1]
    radio.queryComponent().grabFocus()
    time.sleep(0.3)
    xdisplay = display.Display()
    xtest.fake_input(xdisplay, X.KeyPress, SPACE)
    xtest.fake_input(xdisplay, X.KeyRelease, SPACE)
    xdisplay.sync()
    time.sleep(0.5)
    on = [f for f, r in zip(FAMILIES, family_radios(win)) if r is not None and checked(r)]
    if on != ["ISO14443B"]:
        fail(f"Space on the focused ISO14443B left {on} checked")
    if "Mifare S50/S70" in [t.name for t in tabs(win)]:
        fail("Space on ISO14443B left the Mifare tab")


heard = []


def listen_for_text_changes():
    pyatspi.Registry.registerEventListener(
        lambda event: heard.append((event.source.name, event.any_data)), "object:text-changed:insert")


def spoken(expected):
    """Whether a text-changed event brought expected, as a screen reader
    hears of it; runs the bus's events meanwhile."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)
    return any(name == "Description" and str(text).startswith(expected) for name, text in heard)


def visit_tabs(win, kinds):
    """Chooses every tab by Press, checks its view, and comes back to the first."""
    for index in range(len(tabs(win))):
        tab = tabs(win)[index]
        act(tab, "Press")
        wait_for(f"tab {tab.name!r} selected", lambda t=tab: current_tab(win) == t.name)
        check_view(win, kinds)
    act(tabs(win)[0], "Press")
    time.sleep(0.3)


def check_other_families(win, kinds):
    """The panels of the other families' card kinds, each brought by Toggle."""
    for family, kind_names in (("ISO14443B", ["SR176", "SRI512/2K/4K/X4K"]),
                               ("ISO15693", ["I.Code/Tag-it"])):
        radio = family_radios(win)[FAMILIES.index(family)]
        if not checked(radio):
            act(radio, "Toggle")
        if not wait_for(f"{family} alone checked", lambda: [checked(r) for r in family_radios(win)]
                        == [f == family for f in FAMILIES]):
            click(radio)
        for kind in kind_names:
            box = wait_for(f"the {kind} check box", lambda k=kind: find(win, "check box", k))
            if box is not None and not checked(box):
                act(box, "Toggle")
            if not wait_for(f"the {kind} tab", lambda k=kind: k in [t.name for t in tabs(win)]):
                click(box)  # off again, then on
                click(box)
        visit_tabs(win, kinds)


def check_description(win, expected):
    wait_for(f"a text-changed event with {expected!r}", lambda: spoken(expected))
    box = find(win, "label", "Description")
    if box is None:
        fail("no label named 'Description'")
        box = next((e for e in elements(win) if e.name.startswith(expected.strip())), None)
        counted[("label", "description", 0, "")] = {"name"}
        if box is None:
            return
    shown = wait_for(f"the description {expected!r}", lambda: (text_of(box) or "").startswith(expected))
    if shown and "\r" in text_of(box):
        fail("the description's text holds a carriage return the label does not show")


def main():
    app_name, source = sys.argv[1], sys.argv[2]
    kinds = captions_by_kind(source)
    win = wait_for("the dialog", lambda: dialog(app_name))
    if win is None:
        return 1
    check_view(win, kinds)
    listen_for_text_changes()
    connect = find(win, "push button", "Connect")
    act(connect, "Press")
    wait_for("Disconnect after Press on Connect", lambda: find(win, "push button", "Disconnect"))
    check_description(win, "Device Connected\n")
    check_family_toggles(win)
    check_kind_toggles(win)
    visit_tabs(win, kinds)
    check_space_on_focused_radio(win)
    check_other_families(win, kinds)

    problems = list(counted.values())
    print(f"\ncontrols read: {len(problems)}; wrong role: {sum('role' in p for p in problems)}; "
          f"no name: {sum('name' in p for p in problems)}; "
          f"no label relation: {sum('label' in p for p in problems)}; "
          f"radios not grouped: {sum('group' in p for p in problems)}")
    print(f"checks failed: {len(failures)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
