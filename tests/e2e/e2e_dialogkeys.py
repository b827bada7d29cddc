#!/usr/bin/python3
"""Keys of a box or file dialog stay with it, in the real window with a window manager.

The group name dialog refuses an empty name with a box that one Enter or one Escape closes;
the dialog then closes and no group is made. The member export's save dialog: Escape
cancels it only, the export dialog stays; a name typed there and Enter write that file.
The find dialog's box "no members found" closes on one key and the find dialog stays.
"""

import os
import sys

import vantrel_e2e as e2e

REFUSAL = "Δεν μπορείτε να καταχωρήσετε την ομάδα χωρίς όνομα."
NOT_FOUND = "Δεν βρέθηκαν μέλη με τα στοιχεία που δώσατε."
EXPORT_TITLE = "Εξαγωγή Στοιχείων"


def group_name_refusal(s, key):
    s.menu_command("Ομάδες", "Δημιουργία Ομάδας")
    name = s.wait_find("the group name dialog", "txtName")
    e2e.wait_for("the proposed name", lambda: s.text_of(name) == "Νέα Ομάδα")
    e2e.wait_for("the keyboard in the name", lambda: s.focused(name))
    # The proposed name is selected: Delete empties the box, Enter offers it.
    s.key("Delete")
    e2e.wait_for("the name emptied", lambda: s.text_of(name) == "")
    s.key("Return")
    box = e2e.wait_for("the refusal box", lambda: s.windows_saying(REFUSAL))[0]
    s.wait_find("the box's button", "OK", within=box)
    if key == "Return":
        s.shot("group-name-refusal.png", box=s.place(box))
    e2e.check_equal("refusal boxes", len(s.windows_saying(REFUSAL)), 1)
    s.key(key)
    # One key closes the box; the dialog closes after it, as its OK does.
    e2e.wait_for("the box closed by one %s" % key, lambda: not s.windows_saying(REFUSAL))
    s.wait_gone("the group name dialog closed after its box", "txtName")
    if not e2e.holds_for(lambda: not s.windows_saying(REFUSAL), 1):
        raise e2e.Failed("the refusal box came back after %s" % key)


def export_windows(s):
    """The X windows titled as the export dialog (and its save dialog)."""
    s.alive()
    return s.x_windows(EXPORT_TITLE)


def open_save_dialog(s, export, dialog_window):
    """Clicks Εξαγωγή and waits until the save dialog, a window of the same title, has the
    keyboard (its widgets are not on the accessibility bus: X tells)."""
    s.click(export)

    def save_dialog():
        active = s.active_window()
        return active if active in export_windows(s) and active != dialog_window else None

    return e2e.wait_for("the save dialog with the keyboard", save_dialog)


def member_export(s):
    s.menu_command("Αρχείο", "Εξαγωγή")
    export = s.wait_find("the export dialog's button", "Εξαγωγή", s.pyatspi.ROLE_PUSH_BUTTON)
    windows = e2e.wait_for("the export dialog's window", lambda: export_windows(s))
    e2e.check_equal("windows titled %s" % EXPORT_TITLE, len(windows), 1)
    dialog_window = windows[0]

    # Escape in the save dialog cancels it; the export dialog stays.
    files = open_save_dialog(s, export, dialog_window)
    s.shot("save-dialog.png", files)
    s.key("Escape")
    e2e.wait_for("the save dialog closed by Escape",
                 lambda: export_windows(s) == [dialog_window])
    if not e2e.holds_for(lambda: export_windows(s) == [dialog_window], 1):
        raise e2e.Failed("the export dialog closed with the save dialog's Escape")
    written = [f for f in os.listdir(s.folder) if f.endswith(".txt")]
    e2e.check_equal("files written after Escape", written, [])

    # A name and Enter write the file; the export dialog stays for another export.
    open_save_dialog(s, export, dialog_window)
    # The file name box holds the keyboard; it is not on the accessibility bus, so the
    # file written tells what was typed.
    e2e.xdotool("type", "--delay", "60", "members")
    s.key("Return")
    target = os.path.join(s.folder, "members.txt")
    try:
        e2e.wait_for("the export file", lambda: os.path.exists(target))
    except e2e.Failed:
        raise e2e.Failed("no members.txt after typing its name and Enter; the folder holds %s"
                         % sorted(os.listdir(s.folder)))
    e2e.wait_for("the save dialog closed by Enter",
                 lambda: export_windows(s) == [dialog_window])
    lines = e2e.read(target).split(b"\r\n")
    e2e.check_equal("lines of the export file", len(lines), 3)
    e2e.check_equal("the last line's end", lines[2], b"")
    surnames = sorted(line.split(b",")[0].strip() for line in lines[:2])
    e2e.check_equal("the exported surnames", surnames,
                    sorted([b"Papadopoulos", "Αλεξίου".encode("cp1253")]))
    # Escape closes the export dialog itself.
    s.activate(dialog_window)
    s.key("Escape")
    e2e.wait_for("the export dialog closed by Escape", lambda: not export_windows(s))


def find_not_found(s, key):
    s.key("ctrl+f")
    surname = s.wait_find("the find dialog", "Text_0")
    s.focus_into(surname, "the find dialog's surname")
    s.key("ctrl+a", "BackSpace")
    s.type_text(surname, "Zzz", what="the find dialog's surname")
    find = s.wait_find("the find button", "Εύρεση", s.pyatspi.ROLE_PUSH_BUTTON)
    s.click(find)
    box = e2e.wait_for("the no-members box", lambda: s.windows_saying(NOT_FOUND))[0]
    s.wait_find("the box's button", "OK", within=box)
    if key == "Return":
        s.shot("find-not-found.png", box=s.place(box))
    s.key(key)
    e2e.wait_for("the box closed by one %s" % key, lambda: not s.windows_saying(NOT_FOUND))
    if not e2e.holds_for(lambda: s.find("Text_0") is not None, 1):
        raise e2e.Failed("the find dialog closed with the box's %s" % key)
    # The keyboard is back on the button that searched.
    e2e.wait_for("the keyboard back on Εύρεση", lambda: s.focused(find))
    # Another try finds.
    s.focus_into(surname, "the find dialog's surname, again")
    s.key("ctrl+a", "BackSpace")
    s.type_text(surname, "Papa", what="the find dialog's surname")
    s.click(find)
    s.wait_gone("the find dialog closed by its match", "Text_0")


def scenario(s):
    s.install()
    s.settings()
    for row in ((1, "Papadopoulos", "Nikos", "6944111111"),
                (2, "Αλεξίου", "Νίκη", "6944222222")):
        s.sql("INSERT INTO members (member_id, LastName, FirstName, mobile_no) "
              "VALUES (?, ?, ?, ?)", row)
    s.desktop()
    s.start()
    window = s.main_window()

    s.menu_command("Ομάδες", "Οργάνωση Ομάδων")
    for key in ("Return", "Escape"):
        group_name_refusal(s, key)
    for key in ("Return", "Escape"):
        find_not_found(s, key)

    s.menu_command("Ομάδες", "Κατάλογος Μελών")
    s.wait_find("the member list", "Αλεξίου")
    member_export(s)

    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
