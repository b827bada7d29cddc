#!/usr/bin/python3
"""A message the service accepts while another program holds the database, in the real window.

The service here is the scenario's own: when the send request arrives it takes the write
lock on SMS.mdb, as another program writing would, answers that it accepted the message
(number 1001) and keeps the lock for 10 s. The program's move of the message to the sent
box waits that out, past the usual 5 s wait for a lock. Meanwhile its windows must keep
their pictures: another window is laid over them and taken away, and what it uncovered
must be shown again while the lock is still held. Once the lock is let go the message is
in the sent box once, with the service's number, and no box was shown.
"""

import os
import socket
import sqlite3
import subprocess
import sys
import threading
import time

import vantrel_e2e as e2e

HELD = 10.0  # seconds the lock is kept from the moment the request arrives
MESSAGE_ID = 1001
CREDITS = 250
SENDING = "Αποστολή Μηνυμάτων"


class LockingService:
    """Answers send.php with MESSAGE_ID after taking the database's write lock, and
    credits.php with CREDITS; notes each request's script."""

    def __init__(self, database):
        self.database = database
        self.scripts = []
        self.locked = threading.Event()
        self.released = threading.Event()
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(5)
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self._serve, daemon=True).start()

    def _serve(self):
        while True:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            with connection:
                request = self._read(connection)
                script = request.split(b" ", 2)[1].decode(errors="replace")
                self.scripts.append(script)
                if script.endswith("send.php"):
                    self._hold_lock()
                    code = MESSAGE_ID
                else:
                    code = CREDITS
                connection.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
                                   b"<result>%d</result>" % code)

    @staticmethod
    def _read(connection):
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = connection.recv(4096)
            if not chunk:
                return data
            data += chunk
        head, _, body = data.partition(b"\r\n\r\n")
        length = 0
        for line in head.split(b"\r\n"):
            name, _, value = line.partition(b":")
            if name.strip().lower() == b"content-length":
                length = int(value.strip())
        while len(body) < length:
            chunk = connection.recv(4096)
            if not chunk:
                break
            body += chunk
        return head + b"\r\n\r\n" + body

    def _hold_lock(self):
        db = sqlite3.connect(self.database, timeout=30, isolation_level=None,
                             check_same_thread=False)
        db.execute("BEGIN IMMEDIATE")
        self.locked.set()

        def let_go():
            time.sleep(HELD)
            db.execute("ROLLBACK")
            db.close()
            self.released.set()

        threading.Thread(target=let_go, daemon=True).start()

    def close(self):
        self.listener.close()


def only(ids):
    return ids[0] if len(ids) == 1 else None


def flat(pixels):
    first = pixels[0][0]
    return all(pixel == first for row in pixels for pixel in row)


def settled(s, box, what, limit, plain=True):
    """The rectangle's pixels once two looks in a row agree (and, unless plain, once they
    are not all of one colour)."""
    looks = [s.pixels(box)]

    def agreed():
        looks.append(s.pixels(box))
        before, now = looks[-2:]
        return now if now == before and (plain or not flat(now)) else None

    return e2e.wait_for(what, agreed, limit=limit)


def scenario(s):
    s.install()
    service = LockingService(os.path.join(s.folder, "SMS.mdb"))
    try:
        run(s, service)
    finally:
        service.close()


def run(s, service):
    s.settings(host="127.0.0.1", port=service.port)
    s.outbox_message("Προσφορά", "Καλημέρα σε όλους")
    s.desktop()
    s.start()
    s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()
    s.menu_command("Αρχείο", "Εξερχόμενα")
    s.wait_find("the message in the out-box", "Προσφορά", s.pyatspi.ROLE_TABLE_CELL)
    send = s.wait_find("the out-box's send button", "Αποστολή", s.pyatspi.ROLE_PUSH_BUTTON)
    box = s.geometry(window)

    s.click(send)
    if not service.locked.wait(e2e.STEP_LIMIT):
        raise e2e.Failed("the service received no send request")
    locked_at = time.monotonic()

    def left():
        """What is left of the hold, less a margin for the last look."""
        return max(HELD - (time.monotonic() - locked_at) - 1.0, 0.0)

    # From here until the lock is let go the program is inside its wait: only the X server
    # is asked about it, never the accessibility bus, which it does not answer meanwhile.
    sending = e2e.wait_for("the sending window", lambda: only(s.x_windows(SENDING)),
                           limit=left())
    settled(s, s.geometry(sending), "the sending window's picture", left(), plain=False)
    before = settled(s, box, "the program's windows at rest in the wait", left())
    s.shot("waiting.png", box=box)

    # Another window over the program's, then gone: the part it covered is uncovered.
    cover = subprocess.Popen(["xmessage", "-geometry", "%dx%d+%d+%d" % (box[2], box[3], box[0],
                                                                         box[1]),
                              "-bg", "magenta", "a window laid over the program"])
    s.children.append(cover)
    e2e.wait_for("the covering window", lambda: s.pixels(box) != before, limit=left())
    e2e.end(cover)
    try:
        e2e.wait_for("the uncovered part shown again", lambda: s.pixels(box) == before,
                     limit=left())
    except e2e.Failed:
        s.shot("uncovered-while-waiting.png", box=box)
        raise e2e.Failed("the uncovered part of the window was not shown again during the "
                         "wait (see waiting.png and uncovered-while-waiting.png)")
    if service.released.is_set():
        raise e2e.Failed("the lock was let go before the uncovered window was looked at")

    # The lock let go past the usual wait: the message is recorded once, then the credits.
    if not service.released.wait(HELD + e2e.STEP_LIMIT):
        raise e2e.Failed("the lock was never let go")
    s.wait_find("the credits in the status bar", "%d SMS" % CREDITS, limit=60)
    e2e.check_equal("the requests", service.scripts, ["/prog/send.php", "/prog/credits.php"])
    e2e.check_equal("the sent box",
                    s.sql("SELECT msg_title, msg_text, msg_SID, msg_Status FROM sended_messages"),
                    [("Προσφορά", "Καλημέρα σε όλους", MESSAGE_ID, 1)])
    e2e.check_equal("rows in the out-box", s.sql("SELECT COUNT(*) FROM outbox_messages"),
                    [(0,)])
    if s.windows_saying("Σφάλμα") or s.windows_saying("Το μήνυμα"):
        raise e2e.Failed("a box was shown")
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
