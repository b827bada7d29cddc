#!/usr/bin/python3
"""Closing the main window from its frame while the groups organiser holds unsaved changes.

The close (Alt+F4, or the close box of the window manager's frame) asks the organiser's own
question first: Άκυρο keeps the program running with the changes, Ναι saves them and the
program ends, Όχι drops them and the program ends. The windows left open beside the main
window (the member find, the prefix rewrite, the error history) end with it. The Exit
command still ends at once without a word, and the changes are lost.
"""

import sys

import vantrel_e2e as e2e

QUESTION = "Έχετε κάνει αλλαγές σε κάποιες ομάδες ή σε κάποια μέλη."
TITLE = "ΑΠΟΘΗΚΕΥΣΗ ΑΛΛΑΓΩΝ"


def address_book(s):
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (1, 'Φίλοι', 0)")
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (2, 'Συνάδελφοι', 0)")
    for last, first, phone, groups in (("Αλεξίου", "Άννα", "6911111111", "\\1\\"),
                                       ("Γεωργίου", "Γιώργος", "6933333333", "\\2\\")):
        s.sql("INSERT INTO members (LastName, FirstName, mobile_no, member_of) "
              "VALUES (?, ?, ?, ?)", (last, first, phone, groups))


def groups_of(s, last_name):
    return s.sql("SELECT member_of FROM members WHERE LastName = ?", (last_name,))[0][0]


def copy_member_into(s, member, source, target, stays):
    """An unsaved change in the organiser: a member copied from one group into another,
    pasted with the member list of the other group (which shows the member that stays)
    active."""
    s.click(s.wait_find("the group %s" % source, source))
    s.click(s.wait_find("%s in %s" % (member, source), member, s.pyatspi.ROLE_TABLE_CELL))
    s.enabled_menu_command("Επεξεργασία", "Αντιγραφή")
    s.click(s.wait_find("the group %s" % target, target))
    s.wait_gone("the members of %s gone from the list" % source, member,
                s.pyatspi.ROLE_TABLE_CELL)
    s.click(s.wait_find("%s in %s" % (stays, target), stays, s.pyatspi.ROLE_TABLE_CELL))
    s.enabled_menu_command("Επεξεργασία", "Επικόλληση")
    s.wait_find("%s pasted into %s" % (member, target), member, s.pyatspi.ROLE_TABLE_CELL)


def open_organiser_with_a_change(s, member, source, target, stays):
    s.start()
    window = s.main_window()
    s.panel_button("Οργάνωση", "Οργάνωση Ομάδων")
    s.wait_find("the organiser's tree", "ΟΜΑΔΕΣ SMS")
    copy_member_into(s, member, source, target, stays)
    return window


def the_question(s):
    """The organiser's question, its three buttons, as the only box on the screen."""
    try:
        box = e2e.wait_for("the question about unsaved changes",
                           lambda: (lambda found: found[0] if len(found) == 1 else None)(
                               s.windows_saying(QUESTION)))
    except e2e.Failed:
        s.shot("no-question.png", box=(0, 0, 1280, 1024))
        print("windows:", [w.name for w in s.windows()], file=sys.stderr)
        raise
    e2e.check_equal("the question's title", box.name, TITLE)
    for button in ("Ναι", "Όχι", "Άκυρο"):
        s.wait_find("the question's %s" % button, button, s.pyatspi.ROLE_PUSH_BUTTON, within=box)
    return box


def answer(s, box, button):
    s.click(s.wait_find("the question's %s" % button, button, s.pyatspi.ROLE_PUSH_BUTTON,
                        within=box))


def close_box(s, window):
    """Clicks the close button at the right end of the window manager's title bar."""
    left, top, width, _ = s.geometry(window)
    extents = e2e.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"]).decode()
    _, right, frame_top, _ = [int(v) for v in extents.split("=")[1].split(",")]
    s.activate(window)
    s.click_at(left + width + right - frame_top // 2 - 2, top - frame_top // 2)


def ended_alone(s, what):
    e2e.check_equal("the program's exit code " + what, s.wait_end(what), 0)


def cancel_then_yes(s):
    """Alt+F4, Άκυρο: nothing happens. The close box, Ναι: the change is saved, the end."""
    window = open_organiser_with_a_change(s, "Αλεξίου", "Φίλοι", "Συνάδελφοι", "Γεωργίου")
    s.activate(window)
    s.key("alt+F4")
    box = the_question(s)
    s.shot("question.png", box=s.place(box))
    answer(s, box, "Άκυρο")
    s.wait_gone("the question closed", QUESTION)
    if not e2e.holds_for(lambda: not s.ended() and s.find("ΟΜΑΔΕΣ SMS") is not None, 1.5):
        raise e2e.Failed("Άκυρο did not keep the program and the organiser open")
    e2e.check_equal("Αλεξίου's groups after Άκυρο", groups_of(s, "Αλεξίου"), "\\1\\")
    s.shot("after-cancel.png", window)

    close_box(s, window)
    answer(s, the_question(s), "Ναι")
    ended_alone(s, "after Ναι")
    e2e.check_equal("Αλεξίου's groups after Ναι", groups_of(s, "Αλεξίου"), "\\1\\2\\")


def no_with_windows_left_open(s):
    """The find, rewrite and error-history windows open; Alt+F4, Όχι: everything ends."""
    window = open_organiser_with_a_change(s, "Γεωργίου", "Συνάδελφοι", "Φίλοι", "Αλεξίου")
    s.panel_button("Εργαλεία", "Ιστορικό\nΣφαλμάτων")
    e2e.wait_for("the error history", lambda: s.x_windows("NerqSMS - Ιστορικό Σφαλμάτων"))
    s.activate(window)
    s.enabled_menu_command("Ομάδες", "Αναζήτηση Μελών")
    e2e.wait_for("the member find", lambda: s.x_windows("Εύρεση Μελών"))
    s.activate(window)
    s.enabled_menu_command("Εργαλεία", "Αλλαγή Αριθμών Κλήσης")
    e2e.wait_for("the prefix rewrite", lambda: s.x_windows("Αλλαγή Αριθμών Κλήσης"))
    s.shot("windows-left-open.png", box=(0, 0, 1280, 1024))

    s.activate(window)
    s.key("alt+F4")
    box = the_question(s)
    # Answered with the keys: the find window, which stays on top, may lie over the box.
    yes = s.find("Ναι", s.pyatspi.ROLE_PUSH_BUTTON, within=box)
    no = s.find("Όχι", s.pyatspi.ROLE_PUSH_BUTTON, within=box)
    e2e.wait_for("the keyboard on the question's Ναι", lambda: s.focused(yes))
    s.key("Tab")
    e2e.wait_for("the keyboard on the question's Όχι", lambda: s.focused(no))
    s.key("space")
    ended_alone(s, "after Όχι with windows left open")
    e2e.check_equal("Γεωργίου's groups after Όχι", groups_of(s, "Γεωργίου"), "\\2\\")


def exit_loses_the_change(s):
    """Exit asks nothing, and the change is lost."""
    window = open_organiser_with_a_change(s, "Γεωργίου", "Συνάδελφοι", "Φίλοι", "Αλεξίου")
    s.activate(window)
    s.key("ctrl+q")
    ended_alone(s, "on Exit")
    e2e.check_equal("Γεωργίου's groups after Exit", groups_of(s, "Γεωργίου"), "\\2\\")


def scenario(s):
    s.install()
    s.settings()
    address_book(s)
    s.desktop()
    cancel_then_yes(s)
    no_with_windows_left_open(s)
    exit_loses_the_change(s)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
