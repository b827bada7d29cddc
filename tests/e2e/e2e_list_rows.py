#!/usr/bin/python3
"""Commands act on the row the list shows selected, with real keys and clicks.

The out-box: the last of three messages deleted, the new last row is shown selected, and
Αρχείο → "Αποστολή Μηνύματος" sends that message (the service receives its text); with
every row deleted the command is off. The saved messages: Γ2 of Γ1–Γ4 deleted, Γ3 is
shown selected and Ιδιότητες opens it. The member list: a find that chooses four
members, then Διόρθωση, a new first name and ΟΚ, leaves the edited member alone selected, and Διαγραφή asks
about and deletes that one only; a find that chooses Mark, Mary and Mike, then "m" typed
into the surname search box, leaves Mark alone selected.
"""

import os
import sys

import vantrel_e2e as e2e

OUTBOX = (("Πρώτο", "KeimenoProto"), ("Δεύτερο", "KeimenoDeytero"), ("Τρίτο", "KeimenoTrito"))
SAVED = ("Γ1", "Γ2", "Γ3", "Γ4")
MEMBERS = ("Παπαγεωργίου", "Αλεξίου", "Παπαδάκης", "Mark", "Παπαδόπουλος", "Mary", "Mike",
           "Παππάς", "Χατζής")
FOUND = ["Παπαγεωργίου", "Παπαδάκης", "Παπαδόπουλος", "Παππάς"]
CREDITS = 640
EDIT_TITLE = "Διόρθωση Στοιχείων Μέλους"
DETAILS_TITLE = "Ιδιότητες Μηνύματος"


def fill(s):
    for title, text in OUTBOX:
        s.outbox_message(title, text)
    for number, title in enumerate(SAVED, start=1):
        s.sql("INSERT INTO saved_messages (msg_title, msg_text, msg_originator, msg_flash, "
              "msg_datecreated, msg_timecreated) VALUES (?, ?, 'Vantrel', 0, '2024-03-01', ?)",
              (title, "Κείμενο " + title, "09:%02d" % number))
    for number, last in enumerate(MEMBERS, start=1):
        s.sql("INSERT INTO members (member_id, LastName, FirstName, mobile_no) "
              "VALUES (?, ?, 'Όνομα', ?)", (number, last, "69440000%02d" % number))


def selected_of(s, names):
    """Those of the names whose table cell is shown selected, in the order given."""
    chosen = set()
    for found in s.find_all(role=s.pyatspi.ROLE_TABLE_CELL):
        try:
            if found.name in names and found.getState().contains(s.pyatspi.STATE_SELECTED):
                chosen.add(found.name)
        except Exception:
            continue  # a cell gone meanwhile
    return [name for name in names if name in chosen]


def cell(s, name):
    return s.wait_find("%s in the list" % name, name, s.pyatspi.ROLE_TABLE_CELL)


def toolbar_button(s, caption):
    return s.wait_find("the toolbar's %s" % caption, caption, s.pyatspi.ROLE_PUSH_BUTTON)


def answer_yes(s, question):
    """The box asking the question, its text returned once Ναι has closed it."""
    box = e2e.wait_for("the question %r" % question,
                       lambda: (s.windows_saying(question) or [None])[0])

    def says(acc):
        try:
            return acc.getRole() == s.pyatspi.ROLE_LABEL and acc.name.startswith(question)
        except Exception:
            return False

    text = s.pyatspi.findDescendant(box, says).name
    s.click(s.wait_find("the box's Ναι", "Ναι", s.pyatspi.ROLE_PUSH_BUTTON, within=box))
    e2e.wait_for("the question closed", lambda: not s.windows_saying(question))
    return text


def send_requests(record):
    """The bodies of the send requests the service received, in order."""
    bodies = [e2e.read(os.path.join(record, name)) for name in sorted(os.listdir(record))]
    return [body for body in bodies if b"&M=" in body]


def outbox(s, window, record):
    s.activate(window)
    s.menu_command("Αρχείο", "Εξερχόμενα")
    titles = [title for title, _ in OUTBOX]
    s.click(cell(s, "Τρίτο"))
    e2e.wait_for("Τρίτο chosen", lambda: selected_of(s, titles) == ["Τρίτο"])
    s.click(toolbar_button(s, "Διαγραφή"))
    answer_yes(s, "Πρόκειτε να διαγράψετε το μήνυμα \"Τρίτο\".")
    s.wait_gone("Τρίτο gone from the list", "Τρίτο", s.pyatspi.ROLE_TABLE_CELL)
    e2e.wait_for("the new last row shown selected",
                 lambda: selected_of(s, titles) == ["Δεύτερο"])
    s.shot("outbox-after-delete.png", window)

    s.enabled_menu_command("Αρχείο", "Αποστολή Μηνύματος")
    s.wait_find("the credits in the status bar", "%d SMS" % CREDITS, limit=60)
    sent = send_requests(record)
    e2e.check_equal("send requests", len(sent), 1)
    if b"&M=KeimenoDeytero&" not in sent[0]:
        raise e2e.Failed("the service received another message: %r" % sent[0])
    e2e.check_equal("the sent box", s.sql("SELECT msg_title FROM sended_messages"),
                    [("Δεύτερο",)])

    # Every row deleted: the command has no row to send.
    s.wait_gone("Δεύτερο gone from the list", "Δεύτερο", s.pyatspi.ROLE_TABLE_CELL)
    s.click(cell(s, "Πρώτο"))
    e2e.wait_for("Πρώτο chosen", lambda: selected_of(s, titles) == ["Πρώτο"])
    s.click(toolbar_button(s, "Διαγραφή"))
    answer_yes(s, "Πρόκειτε να διαγράψετε το μήνυμα \"Πρώτο\".")
    s.wait_gone("Πρώτο gone from the list", "Πρώτο", s.pyatspi.ROLE_TABLE_CELL)
    s.click(s.wait_find("the menu Αρχείο", "Αρχείο", s.pyatspi.ROLE_MENU_ITEM))
    command = s.wait_find("the command Αποστολή Μηνύματος", "Αποστολή Μηνύματος",
                          s.pyatspi.ROLE_MENU_ITEM)
    if command.getState().contains(s.pyatspi.STATE_ENABLED):
        raise e2e.Failed("Αποστολή Μηνύματος is enabled with no message in the out-box")
    s.key("Escape")
    s.wait_gone("the menu closed", "Αποστολή Μηνύματος", s.pyatspi.ROLE_MENU_ITEM)
    e2e.check_equal("send requests at the end", len(send_requests(record)), 1)


def saved(s, window):
    s.activate(window)
    s.menu_command("Αρχείο", "Αποθηκευμένα")
    s.click(cell(s, "Γ2"))
    e2e.wait_for("Γ2 chosen", lambda: selected_of(s, SAVED) == ["Γ2"])
    s.click(toolbar_button(s, "Διαγραφή"))
    answer_yes(s, "Πρόκειτε να διαγράψετε το μήνυμα \"Γ2\".")
    s.wait_gone("Γ2 gone from the list", "Γ2", s.pyatspi.ROLE_TABLE_CELL)
    e2e.wait_for("Γ3 shown selected", lambda: selected_of(s, SAVED) == ["Γ3"])
    s.click(toolbar_button(s, "Ιδιότητες"))
    dialog = e2e.wait_for("the details dialog",
                          lambda: next((w for w in s.windows() if w.name == DETAILS_TITLE),
                                       None))
    header = s.wait_find("the details", "txtHeader", within=dialog)
    text = s.text_of(header)
    if not text.startswith("Τίτλος: Γ3"):
        raise e2e.Failed("Ιδιότητες opened another message: %r" % text)
    s.shot("saved-details.png", box=s.place(dialog))
    s.click(s.wait_find("the details' OK", "OK", s.pyatspi.ROLE_PUSH_BUTTON, within=dialog))
    e2e.wait_for("the details dialog closed", lambda: not s.x_windows(DETAILS_TITLE))


def find_surname(s, text):
    """The find dialog, the surname typed with real keys, Εύρεση clicked; a match closes it."""
    s.key("ctrl+f")
    surname = s.wait_find("the find dialog", "Text_0")
    s.focus_into(surname, "the find dialog's surname")
    s.key("ctrl+a", "BackSpace")
    s.type_text(surname, text, what="the find dialog's surname")
    s.click(s.wait_find("the find button", "Εύρεση", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_gone("the find dialog closed by its match", "Text_0")


def member_list(s, window):
    s.activate(window)
    s.menu_command("Ομάδες", "Κατάλογος Μελών")
    cell(s, "Χατζής")
    find_surname(s, "παπ")
    e2e.wait_for("the four members found selected", lambda: selected_of(s, MEMBERS) == FOUND)

    # Διόρθωση opens the first found; ΟΚ leaves it alone selected.
    s.activate(window)
    s.click(toolbar_button(s, "Διόρθωση"))
    edit = e2e.wait_for("the member dialog",
                        lambda: next((w for w in s.windows() if w.name == EDIT_TITLE), None))
    surname = s.wait_find("the member dialog's surname", "Text_0", within=edit)
    e2e.check_equal("the member Διόρθωση opens", s.text_of(surname), "Παπαγεωργίου")
    first = s.wait_find("the member dialog's first name", "Text_1", within=edit)
    s.focus_into(first, "the member dialog's first name")
    s.key("ctrl+a", "BackSpace")
    e2e.wait_for("the first name emptied", lambda: s.text_of(first) == "")
    s.type_text(first, "Γιώργος", what="the member dialog's first name")
    s.click(s.wait_find("the member dialog's ΟΚ", "ΟΚ", s.pyatspi.ROLE_PUSH_BUTTON, within=edit))
    e2e.wait_for("the member dialog closed", lambda: not s.x_windows(EDIT_TITLE))
    e2e.wait_for("the edited member alone selected",
                 lambda: selected_of(s, MEMBERS) == ["Παπαγεωργίου"])
    s.shot("member-alone-after-edit.png", window)

    s.click(toolbar_button(s, "Διαγραφή"))
    question = answer_yes(s, "Θέλετε να διαγράψετε")
    e2e.check_equal("the delete question", question,
                    "Θέλετε να διαγράψετε το μέλος \"Παπαγεωργίου Γιώργος\";")
    s.wait_gone("Παπαγεωργίου gone from the list", "Παπαγεωργίου", s.pyatspi.ROLE_TABLE_CELL)
    e2e.check_equal("the members left",
                    sorted(row[0] for row in s.sql("SELECT LastName FROM members")),
                    sorted(MEMBERS[1:]))
    e2e.wait_for("the row in its place shown selected",
                 lambda: selected_of(s, MEMBERS) == ["Αλεξίου"])

    # The surname search box selects alone too.
    find_surname(s, "m")
    e2e.wait_for("Mark, Mary and Mike found",
                 lambda: selected_of(s, MEMBERS) == ["Mark", "Mary", "Mike"])
    box = s.wait_find("the surname search box", "txtSearchName")
    s.focus_into(box, "the surname search box")
    s.type_text(box, "m", what="the surname search box")
    e2e.wait_for("Mark alone selected", lambda: selected_of(s, MEMBERS) == ["Mark"])
    s.shot("member-alone-after-search.png", window)


def scenario(s):
    s.install()
    record = os.path.join(s.work, "requests")
    os.mkdir(record)
    port = s.service(201, CREDITS, record=record)
    s.settings(host="127.0.0.1", port=port)
    fill(s)
    s.desktop()
    s.start()
    s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()
    outbox(s, window, record)
    saved(s, window)
    member_list(s, window)
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
