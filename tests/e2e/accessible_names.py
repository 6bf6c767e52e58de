"""Reads the running Sorvane's accessibility tree over AT-SPI, as a screen reader does, and checks
that every control it shows has a name of its own, with the role a screen reader announces.

    accessible_names.py [SECONDS]    waits up to SECONDS for the program to appear (default 20)
"""
import sys
import time

import pyatspi

# Role and name of the controls a person acts on or reads, each expected exactly once.
EXPECTED = [("push button", "Paste records into List 1"), ("push button", "Paste records into List 2")]
for frame in ("Matches", "Records not found"):
    for side in ("List 1", "List 2"):
        EXPECTED.append(("push button", f"Copy records: {frame}, {side}"))
for frame in ("Original records", "Matches", "Records not found"):
    for side in ("List 1", "List 2"):
        EXPECTED.append(("table", f"{frame}, {side}"))
        EXPECTED.append(("label", f"{frame}, {side} count"))
for row in ("1st", "2nd", "3rd", "4th"):
    for side in ("List 1", "List 2"):
        EXPECTED.append(("combo box", f"{row} comparison, column of {side}"))
EXPECTED += [("push button", "Compare"), ("push button", "Instructions"),
             ("text", "Note on List 1"), ("text", "Note on List 2")]
EXPECTED += [("panel", name) for name in ("Columns to compare", "Original records", "Matches",
                                          "Records not found")]


def find_application(seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Sorvane":
                return app
        time.sleep(0.5)
    return None


def shown(node):
    """The showing descendants of node with their role and name; a table's cells are its own."""
    for child in node:
        if child is None or not child.getState().contains(pyatspi.STATE_SHOWING):
            continue
        yield child.getRoleName(), child.name
        if child.getRoleName() not in ("table", "combo box"):
            yield from shown(child)


def main():
    app = find_application(float(sys.argv[1]) if len(sys.argv) > 1 else 20)
    if app is None:
        print("FAILED no application named Sorvane on the accessibility bus")
        return 1
    seen = list(shown(app))
    failures = 0
    for role, name in EXPECTED:
        count = seen.count((role, name))
        if count != 1:
            print(f"FAILED {role} '{name}': seen {count} times")
            failures += 1
    named = [(role, name) for role, name in seen if role != "filler"]
    for role, name in named:
        if not name:
            print(f"FAILED a {role} without a name")
            failures += 1
    names = [name for _, name in named if name]
    for name in sorted(set(n for n in names if names.count(n) > 1)):
        print(f"FAILED '{name}' names {names.count(name)} controls")
        failures += 1
    print(f"{len(seen)} accessible objects shown, {len(EXPECTED)} expected names, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
