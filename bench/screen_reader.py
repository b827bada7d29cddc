#!/usr/bin/python3
"""What a screen reader does with the program, for bench_accessible.

It listens on the accessibility bus for the events a screen reader of this desktop
listens for, and for each change of focus or selection it reads what a screen reader
speaks: the object's name, role and states, and for a row of a list its place ("row 3
of 50,000"). On a line "read PID" from standard input it reads the member list of that
program (the view with more than one column) as a user would check it, and prints one
line of JSON: its row count, the name of its first cell, the rows shown selected with
the names of their first cells, the object that last took the focus and how many
events came from that program. Every answer is one line on standard output; the first
is "listening" once the listeners are registered.
"""

import json
import sys
import threading

import pyatspi
from gi.repository import GLib

# The events a screen reader of this desktop registers for (keys and mouse aside).
EVENTS = [
    "focus:", "object:property-change:accessible-name",
    "object:property-change:accessible-description", "object:text-caret-moved",
    "object:text-changed:delete", "object:text-changed:insert",
    "object:active-descendant-changed", "object:children-changed:add",
    "object:children-changed:remove", "object:state-changed:active",
    "object:state-changed:busy", "object:state-changed:focused",
    "object:state-changed:showing", "object:state-changed:checked",
    "object:state-changed:pressed", "object:state-changed:indeterminate",
    "object:state-changed:expanded", "object:state-changed:selected",
    "object:state-changed:sensitive", "object:text-attributes-changed",
    "object:text-selection-changed", "object:selection-changed",
    "object:property-change:accessible-value", "object:value-changed",
    "object:column-reordered", "object:row-reordered", "window:activate",
    "window:deactivate", "window:create", "window:destroy",
]

# What the reader says about the programs: events seen and the last focus, by process.
events = {}
last_focus = {}
# Events that make a screen reader speak the object they name.
SPOKEN = ("focus:", "object:state-changed:focused", "object:state-changed:selected",
          "object:active-descendant-changed", "object:selection-changed")


def pid_of(acc):
    try:
        return acc.get_application().get_process_id()
    except Exception:
        return None


def speak(acc):
    """What a screen reader reads of an object: the words, or None when it is gone."""
    try:
        words = [acc.name, acc.getRoleName()]
        states = acc.getState()
        if states.contains(pyatspi.STATE_SELECTED):
            words.append("selected")
        if acc.getRole() in (pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TREE_ITEM):
            table = acc.parent.queryTable()
            index = acc.getIndexInParent()
            words.append("row %d of %d" % (table.getRowAtIndex(index) + 1, table.nRows))
        return " ".join(str(w) for w in words)
    except Exception:
        return None


def on_event(event):
    pid = pid_of(event.source)
    if pid is None:
        return
    events[pid] = events.get(pid, 0) + 1
    if not event.type.startswith(SPOKEN):
        return
    if event.type.startswith("object:state-changed") and not event.detail1:
        return
    target = event.source
    if event.type.startswith("object:active-descendant-changed") and event.any_data:
        target = event.any_data
    words = speak(target)
    if words is not None and event.type.startswith(("focus:", "object:state-changed:focused")):
        last_focus[pid] = words


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def member_list(app):
    """The showing view with more than one column; its rows are not walked."""
    found = []

    def walk(acc):
        try:
            if acc.getRole() in (pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE):
                table = acc.queryTable()
                if table.nColumns > 1 and acc.getState().contains(pyatspi.STATE_SHOWING):
                    found.append(acc)
                return
            for i in range(acc.childCount):
                child = acc.getChildAtIndex(i)
                if child is not None:
                    walk(child)
        except Exception:
            return

    walk(app)
    return found[0] if found else None


def read(pid):
    app = application(pid)
    answer = {"events": events.get(pid, 0), "focus": last_focus.get(pid)}
    view = member_list(app) if app is not None else None
    if view is None:
        answer["error"] = "no member list on the bus"
        return answer
    table = view.queryTable()
    answer["rows"] = table.nRows
    answer["first"] = table.getAccessibleAt(0, 0).name if table.nRows > 0 else None
    selected = list(table.getSelectedRows())
    answer["selected"] = len(selected)
    # The first few selected rows as the reader finds them, named by their first cell.
    shown = []
    for row in selected[:3]:
        cell = table.getAccessibleAt(row, 0)
        shown.append([row, cell.name, cell.getState().contains(pyatspi.STATE_SELECTED)])
    answer["selected_rows"] = shown
    return answer


def commands():
    for line in sys.stdin:
        words = line.split()
        if len(words) == 2 and words[0] == "read":
            GLib.idle_add(answer_read, int(words[1]))
    GLib.idle_add(lambda: pyatspi.Registry.stop())


def answer_read(pid):
    try:
        answer = read(pid)
    except Exception as error:
        answer = {"error": str(error)}
    print(json.dumps(answer, ensure_ascii=False), flush=True)
    return False


def main():
    for event in EVENTS:
        pyatspi.Registry.registerEventListener(on_event, event)
    threading.Thread(target=commands, daemon=True).start()
    print("listening", flush=True)
    pyatspi.Registry.start()


if __name__ == "__main__":
    main()
