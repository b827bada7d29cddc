#!/usr/bin/python3
"""The keyboard in the docked windows, with real keys and clicks under a window manager.

A list opened from the panel menu takes the keyboard at once: Down and Up move its
selection without a click. In the groups organiser a member paste from the Edit menu
rebuilds the member list, which keeps the keyboard: the toolbar's Δημιουργία then opens
the member dialog for the list, and Space does not press the title bar's close button.
"""

import sys

import vantrel_e2e as e2e

SAVED = (("Πρώτο", "2024-01-02", "10:00"), ("Δεύτερο", "2024-01-03", "11:00"))


def address_book(s):
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (1, 'Φίλοι', 0)")
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (2, 'Συνάδελφοι', 0)")
    for last, first, phone, groups in (("Αλεξίου", "Άννα", "6911111111", "\\1\\"),
                                       ("Βασιλείου", "Βασίλης", "6922222222", "\\1\\"),
                                       ("Γεωργίου", "Γιώργος", "6933333333", "\\2\\")):
        s.sql("INSERT INTO members (LastName, FirstName, mobile_no, member_of) "
              "VALUES (?, ?, ?, ?)", (last, first, phone, groups))
    for title, day, time in SAVED:
        s.sql("INSERT INTO saved_messages (msg_title, msg_text, msg_originator, msg_flash, "
              "msg_datecreated, msg_timecreated) VALUES (?, 'κείμενο', 'Vantrel', 0, ?, ?)",
              (title, day, time))


def view_of(s, cell):
    """The list or tree that shows this cell."""
    view = cell.parent
    while view is not None and view.getRole() not in (s.pyatspi.ROLE_TREE,
                                                     s.pyatspi.ROLE_TREE_TABLE,
                                                     s.pyatspi.ROLE_TABLE):
        view = view.parent
    if view is None:
        raise e2e.Failed("no list around the cell %r" % cell.name)
    return view


def selected(s, name):
    cell = s.find(name, s.pyatspi.ROLE_TABLE_CELL)
    return cell is not None and cell.getState().contains(s.pyatspi.STATE_SELECTED)


def saved_list_takes_the_keyboard(s):
    s.panel_button("Μηνύματα", "Αποθηκευμένα")
    first = s.wait_find("the saved list's first row", SAVED[0][0], s.pyatspi.ROLE_TABLE_CELL)
    listing = view_of(s, first)
    e2e.wait_for("the saved list with the keyboard", lambda: s.focused(listing))
    e2e.wait_for("the first saved message selected", lambda: selected(s, SAVED[0][0]))
    s.key("Down")
    e2e.wait_for("Down on the second saved message", lambda: selected(s, SAVED[1][0]))
    if selected(s, SAVED[0][0]):
        raise e2e.Failed("Down left the first saved message selected")
    s.key("Up")
    e2e.wait_for("Up back on the first saved message", lambda: selected(s, SAVED[0][0]))


def organiser_paste_keeps_the_keyboard(s, window):
    s.panel_button("Οργάνωση", "Οργάνωση Ομάδων")
    root = s.wait_find("the organiser's tree", "ΟΜΑΔΕΣ SMS")
    tree = view_of(s, root)
    e2e.wait_for("the group tree with the keyboard", lambda: s.focused(tree))

    # Copy a member of Φίλοι from the Edit menu.
    s.click(s.wait_find("the group Φίλοι", "Φίλοι"))
    member = s.wait_find("Αλεξίου in Φίλοι", "Αλεξίου", s.pyatspi.ROLE_TABLE_CELL)
    members = view_of(s, member)
    s.click(member)
    e2e.wait_for("the member list with the keyboard", lambda: s.focused(members))
    s.enabled_menu_command("Επεξεργασία", "Αντιγραφή")

    # Paste it into Συνάδελφοι, the member list active.
    s.click(s.wait_find("the group Συνάδελφοι", "Συνάδελφοι"))
    s.wait_gone("the members of Φίλοι gone from the list", "Αλεξίου",
                s.pyatspi.ROLE_TABLE_CELL)
    s.click(s.wait_find("Γεωργίου in Συνάδελφοι", "Γεωργίου", s.pyatspi.ROLE_TABLE_CELL))
    e2e.wait_for("the member list with the keyboard", lambda: s.focused(members))
    s.enabled_menu_command("Επεξεργασία", "Επικόλληση")
    s.wait_find("Αλεξίου pasted into Συνάδελφοι", "Αλεξίου", s.pyatspi.ROLE_TABLE_CELL)
    e2e.wait_for("the member list still with the keyboard", lambda: s.focused(members))
    s.shot("organiser-after-paste.png", window)

    # The member commands still follow the list: Δημιουργία opens the member dialog.
    new = s.wait_find("the toolbar's Δημιουργία", "Δημιουργία", s.pyatspi.ROLE_PUSH_BUTTON)
    box = s.extents(new)
    # The left part of the button; its right edge opens the drop-down.
    s.click_at(box.x + box.width // 3, box.y + box.height // 2)
    s.wait_find("the member dialog", "Εισαγωγή Νέου Μέλους")
    s.click(s.wait_find("the member dialog's Ακύρωση", "Ακύρωση", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_gone("the member dialog closed", "Εισαγωγή Νέου Μέλους")
    s.activate(window)
    e2e.wait_for("the member list with the keyboard again", lambda: s.focused(members))

    # Space in the list: the organiser stays.
    s.key("space")
    if not e2e.holds_for(lambda: s.find("ΟΜΑΔΕΣ SMS") is not None, 1.5):
        raise e2e.Failed("Space after the paste closed the organiser")


def scenario(s):
    s.install()
    s.settings()
    address_book(s)
    s.desktop()
    s.start()
    window = s.main_window()
    saved_list_takes_the_keyboard(s)
    organiser_paste_keeps_the_keyboard(s, window)
    s.activate(window)
    s.key("ctrl+q")
    e2e.check_equal("the program's exit code", s.wait_end("on Exit", 20), 0)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
