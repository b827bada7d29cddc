#!/usr/bin/python3
"""The save dialog of the message export, in Greek, driven only from outside.

A message of the out-box is exported: the save dialog that asks for the file must show
the toolkit's own captions in Greek (its labels, buttons, sidebar and columns) and no
English ones. Escape closes it, and the export then ends without its preview. A picture of
the dialog is left for a person to look at.
"""

import os
import sys

import vantrel_e2e as e2e

TITLE = "Αποθήκευση ως"
GREEK = [("Αναζήτηση σε:", "ROLE_LABEL"), ("Όνομα αρχείου:", "ROLE_LABEL"),
         ("Αρχεία τύπου:", "ROLE_LABEL"), ("Αποθήκευση", "ROLE_PUSH_BUTTON"),
         ("Ακύρωση", "ROLE_PUSH_BUTTON"), ("Υπολογιστής", None), ("Όνομα", None),
         ("Μέγεθος", None), ("Τύπος", None), ("Ημερομηνία τροποποίησης", None)]
ENGLISH = ["Look in:", "File name:", "Files of type:", "Save", "Cancel", "Computer", "Name",
           "Size", "Type", "Date Modified", "Back", "Forward"]


def scenario(s):
    s.install()
    s.settings()
    s.outbox_message("Προσφορά")
    s.desktop()
    # The file dialog keeps its state in the user's settings: here, in the scenario's folder.
    s.start(env={"XDG_CONFIG_HOME": os.path.join(s.work, "config")})
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
