#!/usr/bin/python3
"""Keys that press buttons and keys that change a result, in the real window.

Enter on a focused button that is no push button presses it: the title bar's close
button "X" of a docked window, reached with Tab, closes the window as its click does —
the organiser with unsaved changes asks first, and Cancel keeps it docked; the message
window's title button "ΜΗΝΥΜΑ" opens the title editor and its expander shows the symbol
palette. Escape in the schedule dialog's year editor ends the year edit only: the dialog
stays and OK then schedules the time and day chosen. The instant-group wizard and the
member dialog keep a typed beginning as typed: "Δ" in Ιδιότητα finds both the Δάσκαλος
and the Δικηγόρος, "Μα" in Όνομα both Μαρία and Μαρίνα, and the occupation "Λογιστής"
is stored as "Λογιστής" though "Λογιστής Α" is stored already.
"""

import datetime
import sys

import vantrel_e2e as e2e

SAVE_QUESTION = "Έχετε κάνει αλλαγές σε κάποιες ομάδες ή σε κάποια μέλη."
MEMBERS = (("Αλεξίου", "Μαρία", "Γιατρός", "6911111111"),
           ("Βλάχου", "Μαρίνα", "Δάσκαλος", "6922222222"),
           ("Γεωργίου", "Νίκος", "Δικηγόρος", "6933333333"),
           ("Δημητρίου", "Άννα", "Λογιστής Α", "6944444444"))
TABS = 30


def address_book(s):
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (1, 'Φίλοι', 0)")
    for last, first, occupation, phone in MEMBERS:
        s.sql("INSERT INTO members (LastName, FirstName, occupation, mobile_no, member_of) "
              "VALUES (?, ?, ?, ?, '\\1\\')", (last, first, occupation, phone))


def find_described(s, description, role):
    """The first showing widget with this description (a button known by its tooltip)."""

    def match(acc):
        try:
            return (acc.description == description and acc.getRole() == role
                    and s.showing(acc))
        except Exception:
            return False

    for window in s.windows():
        try:
            found = s.pyatspi.findDescendant(window, match)
        except Exception:
            continue
        if found is not None:
            return found
    return None


def tab_to(s, acc, what):
    """Real Tab presses until the widget has the keyboard, as a user moves to it."""
    for _ in range(TABS):
        if s.focused(acc):
            return
        s.key("Tab")
        if e2e.holds_for(lambda: not s.focused(acc), 0.3) is False:
            return
    raise e2e.Failed("%d presses of Tab never reached %s" % (TABS, what))


def organiser_closes_by_enter_on_x(s, window):
    s.menu_command("Ομάδες", "Οργάνωση Ομάδων")
    s.wait_find("the organiser's tree", "ΟΜΑΔΕΣ SMS")
    # An unsaved change: a new group, its proposed name taken with Enter.
    s.menu_command("Ομάδες", "Δημιουργία Ομάδας")
    name = s.wait_find("the group name dialog", "txtName")
    e2e.wait_for("the proposed name", lambda: s.text_of(name) == "Νέα Ομάδα")
    e2e.wait_for("the keyboard in the name", lambda: s.focused(name))
    s.key("Return")
    s.wait_find("the new group in the tree", "Νέα Ομάδα", s.pyatspi.ROLE_TABLE_CELL)
    s.activate(window)
    close = s.wait_find("the title bar's close button", "X", s.pyatspi.ROLE_PUSH_BUTTON)

    # Enter on X asks; Cancel (Escape on the box) keeps the organiser with its change.
    tab_to(s, close, "the organiser's X")
    s.key("Return")
    box = e2e.wait_for("the unsaved-changes question", lambda: s.windows_saying(SAVE_QUESTION))[0]
    e2e.check_equal("the question's title", box.name, "ΑΠΟΘΗΚΕΥΣΗ ΑΛΛΑΓΩΝ")
    s.shot("organiser-question.png", box=s.place(box))
    s.key("Escape")
    e2e.wait_for("the question answered", lambda: not s.windows_saying(SAVE_QUESTION))
    if not e2e.holds_for(lambda: s.find("Νέα Ομάδα", s.pyatspi.ROLE_TABLE_CELL) is not None, 1):
        raise e2e.Failed("Cancel on the question did not keep the organiser and its change")

    # Enter on X again; No closes the organiser without saving.
    s.activate(window)
    tab_to(s, close, "the organiser's X, again")
    s.key("Return")
    box = e2e.wait_for("the question again", lambda: s.windows_saying(SAVE_QUESTION))[0]
    s.click(s.wait_find("the question's Όχι", "Όχι", s.pyatspi.ROLE_PUSH_BUTTON, within=box))
    s.wait_gone("the organiser closed", "ΟΜΑΔΕΣ SMS")
    e2e.check_equal("the groups stored", s.sql("SELECT group_name FROM groups"), [("Φίλοι",)])

    # A docked window with nothing to ask closes at once: the member list.
    s.menu_command("Ομάδες", "Κατάλογος Μελών")
    s.wait_find("the member list", "Βλάχου", s.pyatspi.ROLE_TABLE_CELL)
    close = s.wait_find("the member list's close button", "X", s.pyatspi.ROLE_PUSH_BUTTON)
    tab_to(s, close, "the member list's X")
    s.key("Return")
    s.wait_gone("the member list closed by Enter on X", "Βλάχου", s.pyatspi.ROLE_TABLE_CELL)
    e2e.check_equal("windows after the member list closed", len(s.windows()), 1)


def message_window_buttons(s, window):
    s.click(s.wait_find("the toolbar's Νέο Μήνυμα", "Νέο Μήνυμα"), 0.3)
    s.wait_find("the message window", "MsgText")
    s.activate(window)

    title = s.wait_find("the title button", "ΜΗΝΥΜΑ", s.pyatspi.ROLE_PUSH_BUTTON)
    tab_to(s, title, "the title button ΜΗΝΥΜΑ")
    s.key("Return")
    editor = s.wait_find("the title editor opened by Enter", "msgTitle")
    e2e.wait_for("the keyboard in the title editor", lambda: s.focused(editor))
    s.shot("title-editor.png", window)
    s.key("Escape")
    s.wait_gone("the title editor closed", "msgTitle")

    expander = e2e.wait_for(
        "the palette's expander",
        lambda: find_described(s, "Εμφάνιση του Πίνακα Χαρακτήρων", s.pyatspi.ROLE_PUSH_BUTTON))
    tab_to(s, expander, "the palette's expander")
    s.key("Return")
    s.wait_find("the symbol palette shown by Enter", "Πίνακας Χαρακτήρων")
    s.shot("palette.png", window)


def schedule_year_editor(s, window):
    s.click(s.wait_find("the toolbar's Προγραμματισμός", "Προγραμματισμός",
                        s.pyatspi.ROLE_PUSH_BUTTON))
    hour = s.wait_find("the schedule dialog", "txtHour")
    minute = s.wait_find("the schedule dialog's minutes", "txtMin")
    chosen = "%s:%s" % (s.text_of(hour), s.text_of(minute))
    today = datetime.date.today()
    # The day after today, by a click on today and the Right key.
    today_cell = e2e.wait_for("today's day in the calendar", lambda: [
        c for c in s.find_all(str(today.day), s.pyatspi.ROLE_TABLE_CELL)
        if c.getState().contains(s.pyatspi.STATE_SELECTED)])[0]
    s.click(today_cell)
    s.key("Right")
    year = s.wait_find("the calendar's year", str(today.year), s.pyatspi.ROLE_PUSH_BUTTON)
    s.click(year)
    editor = e2e.wait_for("the year editor with the keyboard", lambda: [
        e for e in s.find_all(role=s.pyatspi.ROLE_SPIN_BUTTON) if s.focused(e)])[0]
    s.key("Up")
    e2e.wait_for("the year stepped up",
                 lambda: s.text_of(editor).replace(".", "") == str(today.year + 1))
    s.key("Escape")
    s.wait_find("the year shown again", str(today.year), s.pyatspi.ROLE_PUSH_BUTTON)
    if not e2e.holds_for(lambda: s.find("txtHour") is not None, 1.5):
        raise e2e.Failed("Escape in the year editor closed the schedule dialog")
    s.click(s.wait_find("the schedule's OK", "OK", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_gone("the schedule dialog closed by OK", "txtHour")
    day = today + datetime.timedelta(days=1)
    s.wait_find("the chosen day and time in the status bar",
                " %s - %s" % (day.strftime("%d/%m/%Y"), chosen), s.pyatspi.ROLE_LABEL)


def wizard_finds_every_match(s, field, typed):
    s.click(s.wait_find("the toolbar's Άμεση Ομαδοποίηση", "Άμεση Ομαδοποίηση",
                        s.pyatspi.ROLE_PUSH_BUTTON))
    box = s.wait_find("the wizard's %s" % field, field)
    s.focus_into(box, "the wizard's %s" % field)
    s.type_text(box, typed, what="the wizard's %s" % field)
    if not e2e.holds_for(lambda: s.text_of(box) == typed, 0.5):
        raise e2e.Failed("the wizard's %s turned %r into %r" % (field, typed, s.text_of(box)))
    s.click(s.wait_find("Επόμενο >", "Επόμενο >", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_find("the result line for %r" % typed, "Βρέθηκαν 2 μέλη.", s.pyatspi.ROLE_LABEL)
    s.click(s.wait_find("the wizard's Άκυρο", "Άκυρο", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_gone("the wizard closed", field)


def occupation_stored_as_typed(s):
    s.menu_command("Ομάδες", "Κατάλογος Μελών")
    s.wait_find("the member list", "Βλάχου", s.pyatspi.ROLE_TABLE_CELL)
    new = s.wait_find("the toolbar's Δημιουργία", "Δημιουργία", s.pyatspi.ROLE_PUSH_BUTTON)
    box = s.extents(new)
    # The left part of the button; its right edge opens the drop-down.
    s.click_at(box.x + box.width // 3, box.y + box.height // 2)
    surname = s.wait_find("the member dialog", "Text_0")
    s.focus_into(surname, "the surname")
    s.type_text(surname, "Ευαγγέλου", what="the surname")
    phone = s.wait_find("the phone field", "txtPhone", s.pyatspi.ROLE_TEXT)
    s.focus_into(phone, "the phone field")
    s.type_text(phone, "6955555555", what="the phone field")
    occupation = s.wait_find("the occupation", "cmbOccup_text")
    s.focus_into(occupation, "the occupation")
    s.type_text(occupation, "Λογιστής", what="the occupation")
    if not e2e.holds_for(lambda: s.text_of(occupation) == "Λογιστής", 0.5):
        raise e2e.Failed("the occupation reads %r" % s.text_of(occupation))
    s.click(s.wait_find("the member dialog's ΟΚ", "ΟΚ", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_gone("the member dialog closed", "Text_0")
    e2e.check_equal("the occupation stored",
                    s.sql("SELECT occupation FROM members WHERE mobile_no = '6955555555'"),
                    [("Λογιστής",)])


def scenario(s):
    s.install()
    s.settings()
    address_book(s)
    s.desktop()
    s.start()
    window = s.main_window()
    organiser_closes_by_enter_on_x(s, window)
    message_window_buttons(s, window)
    schedule_year_editor(s, window)
    wizard_finds_every_match(s, "cmbProperty_0_text", "Δ")
    wizard_finds_every_match(s, "cmbFName_0_text", "Μα")
    occupation_stored_as_typed(s)
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
