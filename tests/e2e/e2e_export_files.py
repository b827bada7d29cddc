#!/usr/bin/python3
"""The files the exports write, chosen in the real save dialogs with real keys.

A hidden file (every name that begins with a dot) that is there already is replaced only
after the question's Yes, as any other file: the member export asks "υπάρχει στο δίσκο",
the extra numbers' export "υπάρχει ήδη στο δίσκο"; No keeps the file's bytes and shows the
save dialog again, Yes writes the export over it. The message export proposes a file name
made from the message's title, where a "/" (and a double quote, which the dialog reads as
the start of a list of names) stands as "_": accepted as proposed, the file is written in
the folder the dialog shows, under that name.
"""

import os
import sys

import vantrel_e2e as e2e

EXPORT_TITLE = "Εξαγωγή Στοιχείων"
MEMBER_QUESTION = "Το αρχείο με όνομα"
NUMBERS_QUESTION = "Το αρχείο "
PHONE = "6944111111"
TITLES = (("Προσφορά 1/2", "Προσφορά 1_2.txt"),
          ('Η "καλή" τιμή', "Η _καλή_ τιμή.txt"))
OLD = b"old bytes\r\n"


def new_active_window(s, known, what):
    """The window that took the keyboard, other than the known ones (a save dialog is not
    on the accessibility bus as a window of its own: X tells)."""
    return e2e.wait_for(what, lambda: (lambda active: active if active not in
                                       (None, *known) else None)(s.active_window()))


def answer_question(s, question, button, what):
    """Waits for the overwrite question and clicks one of its buttons."""
    box = e2e.wait_for("the overwrite question for %s" % what,
                       lambda: s.windows_saying(question))[0]
    s.click(s.wait_find("the question's %s" % button, button, s.pyatspi.ROLE_PUSH_BUTTON,
                        within=box))
    e2e.wait_for("the question closed", lambda: not s.windows_saying(question))


def type_name(s, name):
    """Types the file name into the save dialog's name box, which has the keyboard."""
    s.key("ctrl+a")
    e2e.xdotool("type", "--delay", "60", name)
    s.key("Return")


def member_export_over_a_hidden_file(s, window):
    target = os.path.join(s.folder, ".hidden.txt")
    with open(target, "wb") as f:
        f.write(OLD)
    s.menu_command("Αρχείο", "Εξαγωγή")
    export = s.wait_find("the export dialog's button", "Εξαγωγή", s.pyatspi.ROLE_PUSH_BUTTON)
    export_window = e2e.wait_for("the export dialog's window", lambda: (
        lambda ids: ids[0] if len(ids) == 1 else None)(s.x_windows(EXPORT_TITLE)))

    # No: the file keeps its bytes, and the save dialog asks again (cancelled).
    s.click(export)
    new_active_window(s, (window, export_window), "the save dialog")
    type_name(s, ".hidden.txt")
    answer_question(s, MEMBER_QUESTION, "Όχι", ".hidden.txt")
    new_active_window(s, (window, export_window), "the save dialog again after No")
    s.key("Escape")
    e2e.wait_for("the save dialog closed", lambda: s.x_windows(EXPORT_TITLE) == [export_window])
    e2e.check_equal("the hidden file after No", e2e.read(target), OLD)

    # Yes: the export is written over it.
    s.activate(export_window)
    s.click(export)
    new_active_window(s, (window, export_window), "the save dialog")
    type_name(s, ".hidden.txt")
    answer_question(s, MEMBER_QUESTION, "Ναι", ".hidden.txt")
    e2e.wait_for("the export written over the hidden file",
                 lambda: "Αλεξίου".encode("cp1253") in e2e.read(target))
    s.activate(export_window)
    s.key("Escape")
    e2e.wait_for("the export dialog closed", lambda: not s.x_windows(EXPORT_TITLE))


def message_export_of_titles(s, window):
    s.activate(window)
    s.menu_command("Αρχείο", "Εξερχόμενα")
    for title, file_name in TITLES:
        s.activate(window)
        s.click(s.wait_find("the message %s" % title, title, s.pyatspi.ROLE_TABLE_CELL))
        s.click(s.wait_find("the out-box's Εξαγωγή", "Εξαγωγή", s.pyatspi.ROLE_PUSH_BUTTON))
        dialog = s.wait_find("the save dialog", "Αποθήκευση ως")
        e2e.wait_for("the proposed file name %s" % file_name, lambda: any(
            s.text_of(box) == file_name
            for box in s.find_all(role=s.pyatspi.ROLE_TEXT, within=dialog)))
        # Taken as proposed; Enter in the preview's text then writes the file.
        s.key("Return")
        text = s.wait_find("the export preview", "txtMsg")
        e2e.wait_for("the keyboard in the preview's text", lambda: s.focused(text))
        s.key("Return")
        s.wait_gone("the preview closed", "txtMsg")
        target = os.path.join(s.folder, file_name)
        try:
            e2e.wait_for("the file %s" % file_name, lambda: os.path.isfile(target))
        except e2e.Failed:
            raise e2e.Failed("no %s after the export of %r; the folder holds %s"
                             % (file_name, title, sorted(os.listdir(s.folder))))
        e2e.wait_for("the export text in %s" % file_name,
                     lambda: e2e.read(target).startswith("Αποστολέας".encode("cp1253")))


def find_described(s, description):
    """The showing button with this description (a toolbar button known by its tooltip)."""

    def match(acc):
        try:
            return (acc.description == description
                    and acc.getRole() == s.pyatspi.ROLE_PUSH_BUTTON and s.showing(acc))
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


def extra_numbers_over_a_hidden_file(s, window):
    target = os.path.join(s.folder, ".numbers.phn")
    with open(target, "wb") as f:
        f.write(OLD)
    s.activate(window)
    s.click(s.wait_find("the toolbar's Νέο Μήνυμα", "Νέο Μήνυμα"), 0.3)
    s.wait_find("the message window", "MsgText")
    load = e2e.wait_for("the extra numbers' import button",
                        lambda: find_described(s, "Εισαγωγή Τηλεφώνων από Αρχείο"))
    s.click(load)
    new_active_window(s, (window,), "the open dialog")
    type_name(s, "numbers.phn")
    s.wait_find("the imported number", PHONE)
    e2e.wait_for("the open dialog closed", lambda: s.active_window() == window)

    save = e2e.wait_for("the extra numbers' save button",
                        lambda: find_described(s, "Αποθήκευση Τηλεφώνων σε Αρχείο"))
    s.click(save)
    new_active_window(s, (window,), "the save dialog")
    type_name(s, ".numbers.phn")
    answer_question(s, NUMBERS_QUESTION + target, "Όχι", ".numbers.phn")
    new_active_window(s, (window,), "the save dialog again after No")
    s.key("Escape")
    e2e.wait_for("the save dialog closed", lambda: s.active_window() == window)
    e2e.check_equal("the hidden file after No", e2e.read(target), OLD)

    s.click(save)
    new_active_window(s, (window,), "the save dialog")
    type_name(s, ".numbers.phn")
    answer_question(s, NUMBERS_QUESTION + target, "Ναι", ".numbers.phn")
    e2e.wait_for("the numbers written over the hidden file",
                 lambda: e2e.read(target) == (PHONE + "\r\n").encode())


def scenario(s):
    s.install()
    s.settings()
    s.sql("INSERT INTO members (LastName, FirstName, mobile_no) VALUES (?, ?, ?)",
          ("Αλεξίου", "Νίκη", "6944222222"))
    for title, _ in TITLES:
        s.outbox_message(title)
    with open(os.path.join(s.folder, "numbers.phn"), "wb") as f:
        f.write((PHONE + "\r\n").encode())
    s.desktop()
    s.start()
    window = s.main_window()

    member_export_over_a_hidden_file(s, window)
    message_export_of_titles(s, window)
    extra_numbers_over_a_hidden_file(s, window)

    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
