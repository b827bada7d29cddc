#!/usr/bin/python3
"""Two programs started on one program folder, as a user would start them, a moment apart.

The second start finds the folder in use: it says so in a box and ends when the box is
answered, having written nothing. The first sends the out-box: the service receives each
message once and the sent box holds each once. Killed, the first leaves the folder free:
the next start runs.
"""

import os
import sys

import vantrel_e2e as e2e

TITLES = ["Πρώτο", "Δεύτερο", "Τρίτο"]
CREDITS = 750


def scenario(s):
    s.install()
    record = os.path.join(s.work, "requests")
    os.mkdir(record)
    port = s.service(101, 102, 103, CREDITS, record=record)
    s.settings(host="127.0.0.1", port=port)
    for title in TITLES:
        s.outbox_message(title, "Κείμενο: " + title)
    s.desktop()

    s.start()
    s.wait_find("the first program's main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()

    # The second program, on the same folder, while the first runs.
    second = e2e.Session(s.options, s.work)
    second.pyatspi = s.pyatspi
    note = os.path.join(s.folder, "IMPORTANT.TXT")
    os.remove(note)
    second.start()
    box = e2e.wait_for("the second program's box",
                       lambda: second.windows_saying("Το πρόγραμμα εκτελείται ήδη"), limit=60)
    if len(box) != 1:
        raise e2e.Failed("the second program shows %d boxes" % len(box))
    second.shot("second-start.png", box=second.place(box[0]))
    e2e.check_equal("the second program's windows", len(second.windows()), 1)
    second.click(second.wait_find("the box's button", "OK", within=box[0]))
    e2e.check_equal("the second program's exit code", second.wait_end("after its box"), 0)
    if os.path.exists(note):
        raise e2e.Failed("the second program wrote %s" % note)

    # The first sends the whole out-box.
    s.activate(window)
    s.menu_command("Αρχείο", "Εξερχόμενα")
    s.wait_find("a message in the out-box", TITLES[0], s.pyatspi.ROLE_TABLE_CELL)
    s.click(s.wait_find("the out-box's send button", "Αποστολή", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_find("the credits in the status bar", "%d SMS" % CREDITS, limit=60)
    requests = sorted(os.listdir(record))
    e2e.check_equal("the requests the service received", len(requests), len(TITLES) + 1)
    bodies = [e2e.read(os.path.join(record, name)) for name in requests]
    texts = [body.split(b"&M=")[1].split(b"&")[0] for body in bodies if b"send.php" in body]
    e2e.check_equal("the messages sent", len(texts), len(TITLES))
    e2e.check_equal("each message sent once", len(set(texts)), len(TITLES))
    e2e.check_equal("the sent box", sorted(s.sql("SELECT msg_title, msg_SID FROM sended_messages")),
                    sorted(zip(reversed(TITLES), [101, 102, 103])))
    e2e.check_equal("rows in the out-box", s.sql("SELECT COUNT(*) FROM outbox_messages"), [(0,)])

    # Killed, the first leaves nothing held: the next start runs as usual.
    e2e.end(s.process)
    third = e2e.Session(s.options, s.work)
    third.pyatspi = s.pyatspi
    third.start()
    third.wait_find("the next program's main window", "Νέο Μήνυμα", limit=60)
    if third.windows_saying("Το πρόγραμμα εκτελείται ήδη"):
        raise e2e.Failed("the folder is still held after the first program was killed")
    third.exit_program(third.main_window())


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
