#!/usr/bin/python3
"""The sending window in a wait for the database that begins before its first paint.

Another program holds the write lock on SMS.mdb before Αποστολή is pressed in the docked
out-box. The batch reads its message, shows its window and, before the request leaves,
waits for the lock to mark the row: the window is shown just before the wait, so the
toolkit has not painted it yet. During the wait the window must show its picture (not one
flat colour), and when another window laid over it is taken away, its own picture again.
Then the lock is let go: the message is sent once and is in the sent box once, and no box
was shown, which also tells that every look above fell inside the program's wait (a wait
that ran out would have shown the failure box and sent nothing).
"""

import os
import sqlite3
import subprocess
import sys
import time

import vantrel_e2e as e2e

MESSAGE_ID = 1001
CREDITS = 250
TITLE = "Αποστολή Μηνυμάτων"
# How long the program waits for a lock before it gives up: every look at the window while
# the lock is held must fall within it.
PROGRAM_WAIT = 5.0


def flat(pixels):
    first = pixels[0][0]
    return all(pixel == first for row in pixels for pixel in row)


def only(ids):
    return ids[0] if len(ids) == 1 else None


def scenario(s):
    s.install()
    record = os.path.join(s.work, "requests")
    os.makedirs(record)
    port = s.service(MESSAGE_ID, CREDITS, record=record)
    s.settings(host="127.0.0.1", port=port)
    s.outbox_message("Προσφορά", "Καλημέρα σε όλους")
    s.desktop()
    s.start()
    s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()
    s.menu_command("Αρχείο", "Εξερχόμενα")
    s.wait_find("the message in the out-box", "Προσφορά", s.pyatspi.ROLE_TABLE_CELL)
    send = s.wait_find("the out-box's send button", "Αποστολή", s.pyatspi.ROLE_PUSH_BUTTON)

    # Another program writing: it holds the write lock, which lets the batch read its
    # message and show its window, and keeps its first write waiting.
    holder = sqlite3.connect(os.path.join(s.folder, "SMS.mdb"), isolation_level=None)
    holder.execute("BEGIN IMMEDIATE")
    try:
        s.click(send)
        pressed = time.monotonic()
        # From here until the lock is let go the program is inside its wait: only the X
        # server is asked about it, never the accessibility bus, which it does not answer.
        sending = e2e.wait_for("the sending window", lambda: only(s.x_windows(TITLE)),
                               limit=PROGRAM_WAIT)
        box = s.geometry(sending)
        looks = [s.pixels(box)]

        def settled_picture():
            looks.append(s.pixels(box))
            before, now = looks[-2:]
            return now if now == before and not flat(now) else None

        picture = e2e.wait_for("the sending window's picture during the wait",
                               settled_picture, limit=PROGRAM_WAIT)
        s.shot("sending-while-waiting.png", box=box)

        # Another window over the sending window, then gone: what it covered is uncovered.
        cover = subprocess.Popen(["xmessage", "-geometry", "%dx%d+%d+%d" % (box[2], box[3],
                                                                             box[0], box[1]),
                                  "-bg", "magenta", "a window laid over the program"])
        s.children.append(cover)
        e2e.wait_for("the covering window", lambda: s.pixels(box) != picture,
                     limit=PROGRAM_WAIT)
        e2e.end(cover)
        e2e.wait_for("the sending window's own picture again, uncovered during the wait",
                     lambda: s.pixels(box) == picture, limit=PROGRAM_WAIT)
        looked = time.monotonic() - pressed
    finally:
        holder.execute("ROLLBACK")
        holder.close()
    print("looked at the waiting window for %.1f s after the press" % looked)

    # The lock let go inside the wait: the message goes, is recorded once, then the credits.
    s.wait_find("the credits in the status bar", "%d SMS" % CREDITS, limit=60)
    e2e.check_equal("the requests", sorted(os.listdir(record)),
                    ["request-1.bin", "request-2.bin"])
    e2e.check_equal("the sent box",
                    s.sql("SELECT msg_title, msg_text, msg_SID, msg_Status FROM sended_messages"),
                    [("Προσφορά", "Καλημέρα σε όλους", MESSAGE_ID, 1)])
    e2e.check_equal("rows in the out-box", s.sql("SELECT COUNT(*) FROM outbox_messages"),
                    [(0,)])
    if s.windows_saying("Σφάλμα"):
        raise e2e.Failed("a box was shown: the program's wait ran out before the lock went")
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
