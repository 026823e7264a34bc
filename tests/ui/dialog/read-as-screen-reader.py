# SPDX-License-Identifier: GPL-3.0-or-later
# Reads what a screen reader (Orca) presents at points of one program's windows, over AT-SPI.
#
# Usage: read-as-screen-reader.py PID X,Y [X,Y ...]   (screen coordinates)
# Prints a JSON list, one object per point: the deepest accessible object there (as Orca's mouse
# review finds it) with its name and role, "spoken" (what Orca speaks as the object's displayed
# text) and "reviewed" (what Orca's flat review shows for it), or null when nothing is there.
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
    results = []
    for point in sys.argv[2:]:
        x, y = (int(v) for v in point.split(","))
        obj = object_at(app, x, y)
        if obj is None:
            results.append(None)
            continue
        results.append({"name": obj.name, "role": obj.getRoleName(), "spoken": spoken(obj),
                        "reviewed": reviewed(obj)})
    print(json.dumps(results))
    return 0


sys.exit(main())
