"""Prints the name a screen reader reads for Hueloom's Undo menu item ("Undo Hue"), waiting up to 10 s
for the program to appear on the accessibility bus; prints nothing when it finds none."""

import time

import pyatspi
from gi.repository import GLib


def descendants(accessible, depth=0):
    yield accessible
    for index in range(accessible.childCount if depth < 12 else 0):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield from descendants(child, depth + 1)


end = time.monotonic() + 10
names = []
while not names and time.monotonic() < end:
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Hueloom":
            names = [a.name for a in descendants(app) if a.getRoleName() == "menu item" and a.name.startswith("Undo")]
    time.sleep(0.2)
print(names[0] if names else "")
