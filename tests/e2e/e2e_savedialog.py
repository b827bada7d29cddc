#!/usr/bin/python3
"""The save dialog of the message export, in Greek, driven only from outside.

A message of the out-box is exported, on a machine whose locale is not Greek: the save
dialog that asks for the file must show the toolkit's own captions in Greek (its labels,
buttons, sidebar and columns) and no English ones, list the files' sizes and types in
Greek and their dates as the program writes them, and show every column's head inside the
list. Escape closes it, and the export then ends without its preview. A picture of the
dialog is left for a person to look at.
"""

import os
import re
import sys

import vantrel_e2e as e2e

TITLE = "Αποθήκευση ως"
GREEK = [("Αναζήτηση σε:", "ROLE_LABEL"), ("Όνομα αρχείου:", "ROLE_LABEL"),
         ("Αρχεία τύπου:", "ROLE_LABEL"), ("Αποθήκευση", "ROLE_PUSH_BUTTON"),
         ("Ακύρωση", "ROLE_PUSH_BUTTON"), ("Υπολογιστής", None), ("Όνομα", None),
         ("Μέγεθος", None), ("Τύπος", None), ("Ημερομηνία τροποποίησης", None)]
ENGLISH = ["Look in:", "File name:", "Files of type:", "Save", "Cancel", "Computer", "Name",
           "Size", "Type", "Date Modified", "Back", "Forward"]
HEADS = ["Όνομα", "Μέγεθος", "Τύπος", "Ημερομηνία τροποποίησης"]
SIZE = re.compile(r"^(\d{1,3}(\.\d{3})* byte|\d{1,3}(\.\d{3})*,\d [kMG]B)$")
DATE = re.compile(r"^\d\d/\d\d/\d{4} \d\d:\d\d$")


def listed_file(s, dialog, name):
    """The size, type and date that the dialog's list shows for a file."""
    e2e.wait_for("%s in the list" % name,
                 lambda: s.find(name, s.pyatspi.ROLE_TABLE_CELL, within=dialog))

    def details():
        cells = [c.name for c in s.find_all(role=s.pyatspi.ROLE_TABLE_CELL, within=dialog)]
        row = cells[cells.index(name) + 1:cells.index(name) + 4] if name in cells else []
        return row if len(row) == 3 and all(row) else None

    return e2e.wait_for("the details of %s" % name, details)


def scenario(s):
    s.install()
    s.settings()
    s.outbox_message("Προσφορά")
    s.desktop()
    # The file dialog keeps its state in the user's settings: here, in the scenario's folder.
    s.start(env={"XDG_CONFIG_HOME": os.path.join(s.work, "config"), "LANG": "C",
                 "LC_ALL": "C.UTF-8"})
    s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()

    s.menu_command("Αρχείο", "Εξερχόμενα")
    s.click(s.wait_find("the message in the out-box", "Προσφορά", s.pyatspi.ROLE_TABLE_CELL))
    s.click(s.wait_find("the export button", "Εξαγωγή", s.pyatspi.ROLE_PUSH_BUTTON))

    dialog = s.wait_find("the save dialog", TITLE)
    for name, role in GREEK:
        s.wait_find("%r in the save dialog" % name, name,
                    getattr(s.pyatspi, role) if role else None, within=dialog)
    english = [name for name in ENGLISH if s.find(name, within=dialog) is not None]
    if english:
        raise e2e.Failed("the save dialog shows English captions: %r" % english)
    dialog_window = e2e.wait_for("the save dialog's window", lambda: (
        lambda ids: ids[0] if len(ids) == 1 else None)(s.x_windows(TITLE)))
    s.shot("save-dialog.png", dialog_window)

    # The note the program writes at every start into its folder, the dialog's folder.
    size, kind, date = listed_file(s, dialog, "IMPORTANT.TXT")
    if not SIZE.match(size):
        raise e2e.Failed("IMPORTANT.TXT's size reads %r" % size)
    e2e.check_equal("IMPORTANT.TXT's type", kind, "Έγγραφο απλού κειμένου")
    if not DATE.match(date):
        raise e2e.Failed("IMPORTANT.TXT's date reads %r" % date)
    listing = s.place(s.find("IMPORTANT.TXT", s.pyatspi.ROLE_TABLE_CELL, within=dialog).parent)
    for head in HEADS:
        x, y, width, height = s.place(s.wait_find("the head %s" % head, head, within=dialog))
        if x < listing[0] or x + width > listing[0] + listing[2]:
            raise e2e.Failed("the head %s at %r lies outside the list at %r"
                             % (head, (x, y, width, height), listing))
    # The proposed name, from the message's title.
    e2e.wait_for("the proposed file name", lambda: any(
        s.text_of(box) == "Προσφορά.txt"
        for box in s.find_all(role=s.pyatspi.ROLE_TEXT, within=dialog)))

    s.key("Escape")
    s.wait_gone("the save dialog closed", TITLE)
    if not e2e.holds_for(lambda: s.window_with("Εξαγωγή Μηνύματος σε Αρχείο") is None, 1.5):
        raise e2e.Failed("the export showed its preview after the save dialog was cancelled")

    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
