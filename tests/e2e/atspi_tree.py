"""Walks Hueloom's accessibility tree over AT-SPI, as a screen reader would, and checks the roles,
names and values it meets. Keys go to the program through xdotool."""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def wait_for(find, seconds=10):
    """Polls find() until it returns something, or gives up after `seconds`; events arrive meanwhile."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while True:
        while context.pending():
            context.iteration(False)
        found = find()
        if found or time.monotonic() > end:
            return found
        time.sleep(0.1)


def descendants(accessible):
    yield accessible
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield from descendants(child)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Hueloom":
            return app
    return None


def top_level(name):
    app = application()
    for index in range(app.childCount if app else 0):
        window = app.getChildAtIndex(index)
        if window is not None and window.name == name:
            return window
    return None


def named(root, role, name):
    return next((a for a in descendants(root) if a.getRoleName() == role and a.name == name), None)


def key(keys):
    """Presses keys in the main window."""
    window = subprocess.run(["xdotool", "search", "--name", "^  Hueloom$"], capture_output=True, text=True,
                            timeout=10).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], timeout=10, check=True)
    subprocess.run(["xdotool", "key", "--delay", "200", *keys.split()], timeout=10, check=True)


def act(accessible, action):
    actions = accessible.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    check(action in names, f"{accessible.name}: no action {action} among {names}")
    if action in names:
        actions.doAction(names.index(action))


def check_margin(frame, spin_name, label_name, value):
    spin = named(frame, "spin button", spin_name)
    check(spin is not None, f"no spin button named {spin_name}")
    if spin is not None:
        reading = spin.queryValue()
        check((reading.currentValue, reading.minimumValue, reading.maximumValue) == (value, 0, 50),
              f"{spin_name} reads {reading.currentValue} in {reading.minimumValue}..{reading.maximumValue}")
    check(named(frame, "label", f"{label_name} {value}") is not None, f"no label named '{label_name} {value}'")
    return spin


main = wait_for(lambda: top_level("  Hueloom"), 20)
if main is None:
    sys.exit("the main window is not in the accessibility tree")

# The guide lines of the margin preview are no controls.
frames = [a for a in descendants(main) if a.getRoleName() == "frame" and a != main]
check(not frames, f"{len(frames)} frames inside the main window: {[f.name for f in frames]}")

# Margins: spin buttons with their values and range; value labels that say their numbers.
check_margin(main, "Top margin", "Top margin value", 10)
left = check_margin(main, "Left margin", "Left margin value", 10)
box = named(main, "check box", "Use Left Margin")
if left is not None and box is not None:
    # A screen reader hears the new value without asking.
    heard = []

    def listener(event):
        heard.append((event.source.name, left.queryValue().currentValue))

    pyatspi.Registry.registerEventListener(listener, "object:property-change:accessible-value")
    act(box, "Toggle")
    wait_for(lambda: left.getState().contains(pyatspi.STATE_ENABLED), 5)
    act(left, "Increase")
    check(wait_for(lambda: ("Left margin", 11) in heard, 5), f"value changes heard: {heard}")
    pyatspi.Registry.deregisterEventListener(listener, "object:property-change:accessible-value")
    check_margin(main, "Left margin", "Left margin value", 11)

# The information windows and Contrast Check are dialogs named by their captions.
for keys, caption in (("ctrl+k", "Contrast Check"), ("F1", "Help for Hueloom 2.0"),
                     ("alt+h t", "Trouble Shooting Guide for Hueloom 2.0"), ("alt+h a", "About Hueloom version 2.2")):
    key(keys)
    window = wait_for(lambda: top_level(caption))
    check(window is not None, f"no window named {caption}")
    if window is not None:
        check(window.getRoleName() in ("dialog", "window"), f"{caption} has the role {window.getRoleName()}")

# Contrast Check is a table: a column per measure, a row per pair, every verdict under its heading.
contrast = top_level("Contrast Check")
table = next((a for a in descendants(contrast) if a.getRoleName() == "table"), None) if contrast else None
check(table is not None, "Contrast Check holds no table")
if table is not None:
    cells = table.queryTable()
    columns = [cells.getColumnHeader(c).name for c in range(cells.nColumns)]
    check(columns == ["Ratio", "APCA Lc (advisory)", "AA normal (4.5)", "AA large (3)", "AAA normal (7)",
                      "AAA large (4.5)"],
          f"column headers {columns}")
    rows = [cells.getRowHeader(r).name for r in range(cells.nRows)]
    check(rows == ["Text on background", "New link on background", "Visited link on background",
                   "Active link on background", "New link from text", "Visited link from text",
                   "Active link from text"], f"row headers {rows}")
    first = [cells.getAccessibleAt(0, c).name for c in range(cells.nColumns)]
    check(first == ["4.82:1", "58.4", "\u2713 pass", "\u2713 pass", "\u2717 fail", "\u2713 pass"],
          f"first row {first}")
    check(cells.getAccessibleAt(4, 2).name.startswith("\u2717 fail"), "a link from the text has no verdict")

for failure in failures:
    print("FAIL:", failure, file=sys.stderr)
sys.exit(1 if failures else 0)
