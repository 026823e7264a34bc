# SPDX-License-Identifier: GPL-3.0-or-later
# Reads what a screen reader (Orca) presents at points of one program's windows, over AT-SPI.
#
# Usage: read-as-screen-reader.py PID X,Y [X,Y ...]   (screen coordinates)
#        read-as-screen-reader.py PID --showing
# Prints a JSON list, one object per point: the deepest accessible object there (as Orca's mouse
# review finds it) with its name and role, "spoken" (what Orca speaks as the object's displayed
# text), "reviewed" (what Orca's flat review shows for it) and, for an object with a value (a
# slider), "value" (the number Orca reads), or null when nothing is there.
# With --showing it prints every object of the program's showing windows that is showing itself,
# as {"name", "role"}, in the order of the tree (what a screen reader's object navigation meets).
# Exits 2 when the program does not appear on the accessibility bus within 10 s.
import json
import sys
import time

import pyatspi


def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(200):
        for app in desktop:
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        time.sleep(0.05)
    return None


def object_at(app, x, y):
    found = None
    for window in app:
        state = window.getState()
        if not state.contains(pyatspi.STATE_SHOWING):
            continue
        current = window
        while current is not None and "Component" in pyatspi.listInterfaces(current):
            found = current
            current = current.queryComponent().getAccessibleAtPoint(x, y, pyatspi.DESKTOP_COORDS)
            if current is not None and current == found:
                break
    return found


def showing(obj, found):
    for child in obj:
        if child is not None and child.getState().contains(pyatspi.STATE_SHOWING):
            found.append({"name": child.name, "role": child.getRoleName()})
            showing(child, found)
    return found


def all_text(obj):
    if "Text" not in pyatspi.listInterfaces(obj):
        return None
    text = obj.queryText()
    return text.getText(0, text.characterCount)


# Orca's displayed text: a label or push button is its name; otherwise the text, else the name.
def spoken(obj):
    if obj.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_PUSH_BUTTON) and obj.name:
        return obj.name
    return all_text(obj) or obj.name


# Orca's flat review: text that has a place on the screen, else the name.
def reviewed(obj):
    content = all_text(obj)
    if content:
        text = obj.queryText()
        _, _, width, height = text.getRangeExtents(0, text.characterCount, pyatspi.DESKTOP_COORDS)
        if width > 0 and height > 0:
            return content
    return obj.name


def main():
    pid = int(sys.argv[1])
    app = find_application(pid)
    if app is None:
        print(f"process {pid} is not on the accessibility bus", file=sys.stderr)
        return 2
    if sys.argv[2:] == ["--showing"]:
        print(json.dumps(showing(app, [])))
        return 0
    results = []
    for point in sys.argv[2:]:
        x, y = (int(v) for v in point.split(","))
        obj = object_at(app, x, y)
        if obj is None:
            results.append(None)
            continue
        found = {"name": obj.name, "role": obj.getRoleName(), "spoken": spoken(obj),
                 "reviewed": reviewed(obj)}
        if "Value" in pyatspi.listInterfaces(obj):
            found["value"] = obj.queryValue().currentValue
        results.append(found)
    print(json.dumps(results))
    return 0


sys.exit(main())
