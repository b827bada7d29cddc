#!/usr/bin/python3
"""A message the service accepted that the program could not record, in the real window.

The scenario's service takes the write lock on SMS.mdb when the send request arrives, as
another program writing would, answers that it accepted the message (number 1001) and
keeps the lock past the program's whole wait for it (about a minute: the one long wait of
the scenario, which waits for the program's box, not for a time). The box names the
message and its number; at once the docked out-box shows the row as failed, and its
details say that the service accepted it under that number and that it waits to be
recorded. With the lock let go, the next "Αποστολή" sends nothing to the service: the
message is recorded in the sent box once, with the first number.
"""

import os
import sys

import vantrel_e2e as e2e
from accepting_service import AcceptingService

MESSAGE_ID = 1001
# The program's whole wait for the lock, and the box after it.
WAIT_LIMIT = 60 + 2 * e2e.STEP_LIMIT


def scenario(s):
    s.install()
    service = AcceptingService(os.path.join(s.folder, "SMS.mdb"), [MESSAGE_ID, 2002])
    try:
        run(s, service)
    finally:
        service.close()


def error_log(s):
    try:
        with open(os.path.join(s.folder, "ERROR.LOG"), "rb") as log:
            return log.read().decode("cp1253")
    except FileNotFoundError:
        return ""


def run(s, service):
    s.settings(host="127.0.0.1", port=service.port)
    s.outbox_message("Προσφορά", "Καλημέρα σε όλους")
    s.desktop()
    s.start()
    s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()
    s.menu_command("Αρχείο", "Εξερχόμενα")
    cell = s.wait_find("the message in the out-box", "Προσφορά", s.pyatspi.ROLE_TABLE_CELL)
    send = s.wait_find("the out-box's send button", "Αποστολή", s.pyatspi.ROLE_PUSH_BUTTON)
    row = s.place(cell)
    # The icon column: the list's left edge, on the row's line.
    icon = (s.place(cell.parent)[0] + 2, row[1] + 1, 16, max(1, row[3] - 2))
    waiting_icon = s.pixels(icon)
    s.shot("before.png", window=window)

    s.click(send)
    if not service.locked.wait(e2e.STEP_LIMIT):
        raise e2e.Failed("the service received no send request")
    # The program waits for the lock and then writes the error log before its box: the log
    # is read from outside, the program not asked meanwhile.
    e2e.wait_for("the error log naming the message's number",
                 lambda: ("με αριθμό %d" % MESSAGE_ID) in error_log(s), limit=WAIT_LIMIT)
    box = e2e.wait_for("the box about the unrecorded message",
                       lambda: s.windows_saying("Το μήνυμα \"Προσφορά\""))[0]
    labels = s.pyatspi.findAllDescendants(
        box, lambda acc: acc.getRole() == s.pyatspi.ROLE_LABEL)
    said = " ".join(label.name for label in labels).replace("\n", " ")
    for words in ("με αριθμό %d" % MESSAGE_ID, "δεν θα σταλεί ξανά",
                  "θα καταχωρηθεί στα Απεσταλμένα με τον ίδιο αριθμό"):
        if words not in said:
            raise e2e.Failed("the box does not say %r: %r" % (words, said))
    if not os.path.exists(os.path.join(s.folder, "ACCEPTED.DAT")):
        raise e2e.Failed("the number was not kept in the program folder")
    s.shot("box.png", box=s.place(box))
    s.key("Return")
    e2e.wait_for("the box gone", lambda: not s.windows_saying("Το μήνυμα \"Προσφορά\""))

    # The row shows the failed icon at once, no fill of the list in between.
    failed_icon = s.pixels(icon)
    s.shot("failed.png", window=window)
    if failed_icon == waiting_icon:
        raise e2e.Failed("the docked row still shows the waiting icon (see failed.png)")
    if s.sql("SELECT msg_error FROM outbox_messages") != [(-31000,)]:
        raise e2e.Failed("the row is not marked as possibly sent")

    # Its details say that it went, under which number, and that it waits to be recorded.
    s.click(cell)
    s.click(s.wait_find("the details button", "Ιδιότητες", s.pyatspi.ROLE_PUSH_BUTTON))
    details = e2e.wait_for("the details", lambda: s.window_with("OK", s.pyatspi.ROLE_PUSH_BUTTON))
    header = e2e.wait_for("the details' text",
                          lambda: s.find_all(role=s.pyatspi.ROLE_TEXT, within=details))[0]
    shown = header.queryText().getText(0, -1).replace("\n", " ")
    s.shot("details.png", box=s.place(details))
    for words in ("έγινε δεκτό από τον διακομιστή μηνυμάτων με αριθμό %d" % MESSAGE_ID,
                  "περιμένει να καταχωρηθεί στα Απεσταλμένα", "χωρίς να σταλεί ξανά"):
        if words not in shown:
            raise e2e.Failed("the details do not say %r: %r" % (words, shown))
    s.key("Escape")
    e2e.wait_for("the details closed",
                 lambda: s.window_with("OK", s.pyatspi.ROLE_PUSH_BUTTON) is None)

    # The other program lets go; the next send records the message and sends nothing.
    service.release()
    s.click(send)
    e2e.wait_for("the message in the sent box",
                 lambda: s.sql("SELECT COUNT(*) FROM sended_messages") == [(1,)])
    s.wait_gone("the message gone from the out-box list", "Προσφορά", s.pyatspi.ROLE_TABLE_CELL)
    e2e.check_equal("the requests", service.scripts, ["/prog/send.php"])
    e2e.check_equal("the sent box",
                    s.sql("SELECT msg_title, msg_text, msg_SID, msg_Status FROM sended_messages"),
                    [("Προσφορά", "Καλημέρα σε όλους", MESSAGE_ID, 1)])
    e2e.check_equal("rows in the out-box", s.sql("SELECT COUNT(*) FROM outbox_messages"), [(0,)])
    if os.path.exists(os.path.join(s.folder, "ACCEPTED.DAT")):
        raise e2e.Failed("the kept number was not let go once recorded")
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
