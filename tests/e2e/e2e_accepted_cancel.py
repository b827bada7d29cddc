#!/usr/bin/python3
"""Cancel pressed while the program waits for the database to record an accepted message.

Three messages wait in the docked out-box. The scenario's service takes the write lock on
SMS.mdb when the first send request arrives and answers that it accepted the message; the
program then waits for the database, and its status line says so. Cancel is clicked
during that wait (the program takes the click once the wait is over), and the lock is let
go. The first message is recorded under the service's number; the batch stops before the
next request, and the two other rows keep no mark: they never went.
"""

import os
import sys

import vantrel_e2e as e2e
from accepting_service import AcceptingService

MESSAGE_ID = 1001


def scenario(s):
    s.install()
    service = AcceptingService(os.path.join(s.folder, "SMS.mdb"), [MESSAGE_ID, 1002, 1003],
                               hold_answer=True)
    try:
        run(s, service)
    finally:
        service.close()


def run(s, service):
    s.settings(host="127.0.0.1", port=service.port)
    for title in ("Πρώτο", "Δεύτερο", "Τρίτο"):
        s.outbox_message(title, "Καλημέρα")
    s.desktop()
    s.start()
    s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()
    s.menu_command("Αρχείο", "Εξερχόμενα")
    s.wait_find("the messages in the out-box", "Τρίτο", s.pyatspi.ROLE_TABLE_CELL)
    s.click(s.wait_find("the out-box's send button", "Αποστολή", s.pyatspi.ROLE_PUSH_BUTTON))

    # The first request has come; its answer is held back, so the sending window still
    # answers questions: where its Cancel button and its status line are.
    if not service.locked.wait(e2e.STEP_LIMIT):
        raise e2e.Failed("the service received no send request")
    status = s.wait_find("the status line", "Αποστολή μηνύματος 1 από 3", s.pyatspi.ROLE_LABEL)
    cancel = s.wait_find("the Cancel button", "Διακοπή", s.pyatspi.ROLE_PUSH_BUTTON)
    line = s.place(status)
    cancel_at = s.extents(cancel)
    sending = s.pixels(line)
    service.answer()

    # From here the program waits for the lock: it is asked nothing, only looked at.
    e2e.wait_for("the status line changed during the wait", lambda: s.pixels(line) != sending,
                 limit=e2e.STEP_LIMIT)
    s.shot("waiting-for-the-database.png", box=line)
    s.click_at(cancel_at.x + cancel_at.width // 2, cancel_at.y + cancel_at.height // 2)
    service.release()

    e2e.wait_for("the first message in the sent box",
                 lambda: s.sql("SELECT COUNT(*) FROM sended_messages") == [(1,)])
    s.wait_gone("the sending window closed", "Διακοπή", s.pyatspi.ROLE_PUSH_BUTTON)
    e2e.check_equal("the sent box", s.sql("SELECT msg_title, msg_SID FROM sended_messages"),
                    [("Τρίτο", MESSAGE_ID)])
    e2e.check_equal("the requests", service.scripts, ["/prog/send.php"])
    e2e.check_equal("the rows left and their marks",
                    s.sql("SELECT msg_title, msg_error FROM outbox_messages ORDER BY msg_id"),
                    [("Πρώτο", None), ("Δεύτερο", None)])
    if s.windows_saying("Σφάλμα") or s.windows_saying("Το μήνυμα"):
        raise e2e.Failed("a box was shown")
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
