"""A loopback SMS service for the scenarios in which another program holds the database.

When the first send request arrives it takes the write lock on the program's database, as
another program writing would, and holds it until release(); it answers that request once
answer() has been called (at once unless asked to wait), with the next of its numbers.
Every request's script is noted in order.
"""

import socket
import sqlite3
import threading

CREDITS = 250


class AcceptingService:
    def __init__(self, database, numbers, hold_answer=False):
        self.database = database
        self.numbers = list(numbers)
        self.scripts = []
        self.locked = threading.Event()
        self.released = threading.Event()
        self._answer = threading.Event()
        if not hold_answer:
            self._answer.set()
        self._db = None
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(5)
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self._serve, daemon=True).start()

    def answer(self):
        """Lets the held answer to the first send request go."""
        self._answer.set()

    def release(self):
        """Lets go of the database's lock."""
        if self._db is not None:
            self._db.execute("ROLLBACK")
            self._db.close()
            self._db = None
        self.released.set()

    def close(self):
        self.listener.close()
        if self._db is not None:
            self.release()

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
                    if not self.locked.is_set():
                        self._hold_lock()
                        self._answer.wait()
                    code = self.numbers.pop(0)
                else:
                    code = CREDITS
                connection.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
                                   b"<result>%d</result>" % code)

    def _hold_lock(self):
        self._db = sqlite3.connect(self.database, timeout=30, isolation_level=None,
                                   check_same_thread=False)
        self._db.execute("BEGIN IMMEDIATE")
        self.locked.set()

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
