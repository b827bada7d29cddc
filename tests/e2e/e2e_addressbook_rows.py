#!/usr/bin/python3
"""The address book's rows and dialogs with real keys under a window manager.

A find makes the first member found the current one: Διόρθωση in the member list opens
it, and Down in the organiser moves on from it. The copy dialog with the root as source
takes a group chosen with Space. The member dialog opened while the find dialog is on
screen shows above it. The rewrite dialog, gone behind the main window, comes back to the
front with the keyboard when its command is chosen again.
"""

import subprocess
import sys

import vantrel_e2e as e2e

MEMBERS = ("Αλεξίου", "Βασιλείου", "Καραπαπάς", "Λαμπρόπουλος", "Παπαγεωργίου",
           "Παπαδάκης", "Χατζής")
FIND_TITLE = "Εύρεση Μελών"
EDIT_TITLE = "Διόρθωση Στοιχείων Μέλους"
REWRITE_TITLE = "Αλλαγή Αριθμών Κλήσης"


def address_book(s):
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (1, 'Φίλοι', 0)")
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (2, 'Συνάδελφοι', 0)")
    for number, last in enumerate(MEMBERS, start=1):
        s.sql("INSERT INTO members (member_id, LastName, FirstName, mobile_no, member_of) "
              "VALUES (?, ?, 'Όνομα', ?, '\\2\\')", (number, last, "69440000%02d" % number))


def stacking():
    """The managed X windows from the bottom to the top, as decimal ids."""
    done = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"],
                          capture_output=True, timeout=30)
    text = done.stdout.decode()
    if "#" not in text:
        return []
    return [str(int(part.strip(), 16)) for part in text.split("#", 1)[1].split(",")
            if part.strip()]


def one_window(s, title):
    ids = s.x_windows(title)
    return ids[0] if len(ids) == 1 else None


def accessible_window(s, title):
    """The program's showing window of this title on the accessibility bus."""
    return e2e.wait_for("the window %s on the bus" % title,
                        lambda: next((w for w in s.windows() if w.name == title), None))


def above(lower, upper):
    order = stacking()
    return lower in order and upper in order and order.index(upper) > order.index(lower)


def selected(s, name):
    cell = s.find(name, s.pyatspi.ROLE_TABLE_CELL)
    return cell is not None and cell.getState().contains(s.pyatspi.STATE_SELECTED)


def selected_members(s):
    return [name for name in MEMBERS if selected(s, name)]


def enabled(s, acc):
    return acc.getState().contains(s.pyatspi.STATE_ENABLED)


def find_surname(s, text):
    """The find dialog, the surname typed with real keys, Εύρεση clicked; a match closes it."""
    s.key("ctrl+f")
    surname = s.wait_find("the find dialog", "Text_0")
    s.focus_into(surname, "the find dialog's surname")
    s.key("ctrl+a", "BackSpace")
    s.type_text(surname, text, what="the find dialog's surname")
    s.click(s.wait_find("the find button", "Εύρεση", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_gone("the find dialog closed by its match", "Text_0")


def toolbar_button(s, caption):
    return s.wait_find("the toolbar's %s" % caption, caption, s.pyatspi.ROLE_PUSH_BUTTON)


def member_list_find_then_edit(s, window):
    s.menu_command("Ομάδες", "Κατάλογος Μελών")
    s.click(s.wait_find("Καραπαπάς in the list", "Καραπαπάς", s.pyatspi.ROLE_TABLE_CELL))
    e2e.wait_for("Καραπαπάς chosen", lambda: selected_members(s) == ["Καραπαπάς"])
    find_surname(s, "παπ")
    e2e.wait_for("the members found selected",
                 lambda: selected_members(s) == ["Παπαγεωργίου", "Παπαδάκης"])
    s.activate(window)
    s.click(toolbar_button(s, "Διόρθωση"))
    dialog = e2e.wait_for("the member dialog", lambda: one_window(s, EDIT_TITLE))
    edit = accessible_window(s, EDIT_TITLE)
    surname = s.wait_find("the member dialog's surname", "Text_0", within=edit)
    e2e.check_equal("the member Διόρθωση opens", s.text_of(surname), "Παπαγεωργίου")
    s.shot("find-then-edit.png", dialog)
    s.click(s.wait_find("the member dialog's Ακύρωση", "Ακύρωση", s.pyatspi.ROLE_PUSH_BUTTON,
                        within=edit))
    e2e.wait_for("the member dialog closed", lambda: not s.x_windows(EDIT_TITLE))


def find_dialog_under_the_member_dialog(s, window):
    """The member list docked: the find dialog on screen, then the member dialog."""
    s.activate(window)
    s.key("ctrl+f")
    find = e2e.wait_for("the find dialog's window", lambda: one_window(s, FIND_TITLE))
    e2e.wait_for("the find dialog above the main window", lambda: above(window, find))
    s.activate(window)
    e2e.wait_for("the find dialog still above the main window", lambda: above(window, find))
    s.click(toolbar_button(s, "Διόρθωση"))
    dialog = e2e.wait_for("the member dialog's window", lambda: one_window(s, EDIT_TITLE))
    e2e.wait_for("the member dialog above the find dialog", lambda: above(find, dialog))
    e2e.wait_for("the member dialog active", lambda: s.active_window() == dialog)
    if not e2e.holds_for(lambda: above(find, dialog), 1):
        raise e2e.Failed("the find dialog came back above the member dialog")
    s.shot("member-dialog-over-find.png", window)
    # The dialog answers the user: a digit typed into its phone box arrives.
    edit = accessible_window(s, EDIT_TITLE)
    phone = s.wait_find("the member dialog's phone", "txtPhone", within=edit)
    s.focus_into(phone, "the member dialog's phone")
    before = s.text_of(phone)
    s.key("7")
    e2e.wait_for("the typed digit in the phone", lambda: s.text_of(phone) == before + "7")
    s.click(s.wait_find("the member dialog's Ακύρωση", "Ακύρωση", s.pyatspi.ROLE_PUSH_BUTTON,
                        within=edit))
    e2e.wait_for("the member dialog closed", lambda: not s.x_windows(EDIT_TITLE))
    # The find dialog is back above the main window, and its Ακύρωση closes it.
    e2e.wait_for("the find dialog above the main window again", lambda: above(window, find))
    finder = accessible_window(s, FIND_TITLE)
    s.click(s.wait_find("the find dialog's Ακύρωση", "Ακύρωση", s.pyatspi.ROLE_PUSH_BUTTON,
                        within=finder))
    e2e.wait_for("the find dialog closed", lambda: not s.x_windows(FIND_TITLE))


def organiser_find_then_down(s, window):
    s.activate(window)
    s.menu_command("Ομάδες", "Οργάνωση Ομάδων")
    s.wait_find("the organiser's tree", "ΟΜΑΔΕΣ SMS")
    s.wait_find("the members of the root", "Χατζής", s.pyatspi.ROLE_TABLE_CELL)
    find_surname(s, "παπ")
    e2e.wait_for("the members found selected",
                 lambda: selected_members(s) == ["Παπαγεωργίου", "Παπαδάκης"])
    s.activate(window)
    s.key("Down")
    e2e.wait_for("Down on the member after the first found",
                 lambda: selected_members(s) == ["Παπαδάκης"])
    s.key("Up", "Up")
    e2e.wait_for("Up twice on the member before the first found",
                 lambda: selected_members(s) == ["Λαμπρόπουλος"])


def copy_dialog_space(s, window):
    """The organiser's root selected: the copy dialog has no group chosen until Space."""
    s.click(s.wait_find("the organiser's root", "ΟΜΑΔΕΣ SMS"))
    s.key("ctrl+m")
    dialog = e2e.wait_for("the copy dialog's window", lambda: one_window(s, "Μεταφορά Μελών"))
    copy = accessible_window(s, "Μεταφορά Μελών")
    ok = s.wait_find("the copy dialog's ΟΚ", "ΟΚ", s.pyatspi.ROLE_PUSH_BUTTON, within=copy)
    group = s.wait_find("the copy dialog's group", "Φίλοι", within=copy)
    e2e.wait_for("the copy dialog's tree with the keyboard",
                 lambda: s.focused(e2e_tree_of(s, group)))
    if enabled(s, ok):
        raise e2e.Failed("ΟΚ enabled before a group was chosen")
    s.key("space")
    e2e.wait_for("ΟΚ enabled by Space", lambda: enabled(s, ok))
    s.wait_find("the title naming the group", "Μεταφορά μελών στην ομάδα \"Φίλοι\"")
    s.shot("copy-dialog-space.png", dialog)
    s.key("Escape")
    e2e.wait_for("the copy dialog closed", lambda: not s.x_windows("Μεταφορά Μελών"))


def e2e_tree_of(s, item):
    view = item.parent
    while view is not None and view.getRole() not in (s.pyatspi.ROLE_TREE,
                                                     s.pyatspi.ROLE_TREE_TABLE):
        view = view.parent
    if view is None:
        raise e2e.Failed("no tree around %r" % item.name)
    return view


def rewrite_dialog_comes_back(s, window):
    s.activate(window)
    s.menu_command("Εργαλεία", REWRITE_TITLE)
    dialog = e2e.wait_for("the rewrite dialog's window", lambda: one_window(s, REWRITE_TITLE))
    code = s.wait_find("the old code", "txtCode")
    s.focus_into(code, "the old code")
    s.type_text(code, "0944", what="the old code")

    # The main window comes in front of it.
    s.activate(window)
    e2e.wait_for("the main window above the rewrite dialog", lambda: above(dialog, window))

    s.menu_command("Εργαλεία", REWRITE_TITLE)
    e2e.wait_for("the rewrite dialog active", lambda: s.active_window() == dialog)
    e2e.wait_for("the rewrite dialog above the main window", lambda: above(window, dialog))
    e2e.wait_for("the keyboard back in the old code", lambda: s.focused(code))
    s.shot("rewrite-dialog-in-front.png", window)
    s.type_text(code, "5", what="the old code")
    e2e.check_equal("the old code", s.text_of(code), "09445")
    s.click(s.wait_find("the rewrite dialog's Ακύρωση", "Ακύρωση", s.pyatspi.ROLE_PUSH_BUTTON))
    e2e.wait_for("the rewrite dialog closed", lambda: not s.x_windows(REWRITE_TITLE))


def scenario(s):
    s.install()
    s.settings()
    address_book(s)
    s.desktop()
    s.start()
    window = s.main_window()
    member_list_find_then_edit(s, window)
    find_dialog_under_the_member_dialog(s, window)
    organiser_find_then_down(s, window)
    copy_dialog_space(s, window)
    rewrite_dialog_comes_back(s, window)
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
