#!/usr/bin/python3
"""The road of one message through the installed program, driven only from outside.

A program folder laid out by the installation's own recipe, the road's address book
and settings, the loopback SMS service as a program of its own; then the real
executable is started on the X display and used as a person uses it: the accessibility
bus finds the widgets and reads what they show, xdotool types and clicks. The road ends
with the exact requests the service received, the rows in the database, the credits in
the status bar and a screenshot of the main window.

Run it under a virtual X server and a private session bus:
    xvfb-run -a dbus-run-session -- /usr/bin/python3 road.py --source S --build B ...
"""

import argparse
import datetime
import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

# How long a step may take before the road counts as broken.
STEP_LIMIT = 30.0
# How often a condition is looked at again while waiting for it.
LOOK_AGAIN = 0.2


class RoadBroken(Exception):
    pass


def wait_for(what, condition, limit=STEP_LIMIT):
    """The condition's first true value, looked at again until the limit passes."""
    deadline = time.monotonic() + limit
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise RoadBroken("waited %.0f s in vain for %s" % (limit, what))
        time.sleep(LOOK_AGAIN)


def run(args, **kwargs):
    args = [str(a) for a in args]
    done = subprocess.run(args, capture_output=True, timeout=120, **kwargs)
    if done.returncode != 0:
        raise RoadBroken("%s failed (%d): %s" % (" ".join(args), done.returncode,
                                                 done.stderr.decode(errors="replace")))
    return done.stdout


def xdotool(*args):
    return run(["xdotool", *args]).decode()


class Program:
    """The running executable as the accessibility bus shows it."""

    def __init__(self, pyatspi, process):
        self.pyatspi = pyatspi
        self.process = process
        self.app = None

    def alive(self):
        if self.process.poll() is not None:
            raise RoadBroken("the program ended (exit code %d)" % self.process.returncode)

    def application(self):
        self.alive()
        desktop = self.pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            except Exception:
                continue
        return None

    def showing(self, acc):
        states = acc.getState()
        return states.contains(self.pyatspi.STATE_SHOWING)

    def find(self, name, role=None):
        """The showing widget with this accessible name (and role), or None."""
        self.alive()
        if self.app is None:
            self.app = self.application()
            if self.app is None:
                return None

        def match(acc):
            try:
                return (acc.name == name and (role is None or acc.getRole() == role)
                        and self.showing(acc))
            except Exception:
                return False

        for i in range(self.app.childCount):
            window = self.app.getChildAtIndex(i)
            if window is None or not self.showing(window):
                continue
            found = self.pyatspi.findDescendant(window, match)
            if found is not None:
                return found
        return None

    def wait_find(self, what, name, role=None, limit=STEP_LIMIT):
        return wait_for(what, lambda: self.find(name, role), limit)

    def extents(self, acc):
        return acc.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)

    def click(self, acc, x_share=0.5):
        """A left click inside the widget, at the given share of its width."""
        box = self.extents(acc)
        x = box.x + max(1, min(box.width - 2, int(box.width * x_share)))
        y = box.y + box.height // 2
        xdotool("mousemove", "--sync", x, y, "click", "1")

    def click_at(self, x, y):
        xdotool("mousemove", "--sync", x, y, "click", "1")

    def text_of(self, acc):
        return acc.queryText().getText(0, -1)

    def checked(self, acc):
        return acc.getState().contains(self.pyatspi.STATE_CHECKED)


def main_window_id():
    """The X window of the main window: the visible top-level window titled Vantrel."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vantrel$"],
                           capture_output=True, timeout=60)
    ids = found.stdout.decode().split()
    return ids[0] if len(ids) == 1 else None


def window_geometry(window):
    values = {}
    for line in xdotool("getwindowgeometry", "--shell", window).splitlines():
        key, _, value = line.partition("=")
        values[key] = value
    return (int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def check_equal(what, got, wanted):
    if got != wanted:
        raise RoadBroken("%s: got %r, wanted %r" % (what, got, wanted))


def road(options, work, children):
    folder = os.path.join(work, "Vantrel")
    record = os.path.join(work, "requests")
    os.mkdir(record)

    # The installation's own recipe on the build at hand.
    env = dict(os.environ, BUILD_DIR=options.build)
    run(["bash", "-c", 'source "$1" && lay_out_program_folder "$2"', "install",
         os.path.join(options.source, "scripts", "lib.sh"), folder], env=env)

    helper = options.helper
    typed, edited, extra, phone_list, message_id, credits = (
        run([helper, "text"]).decode("utf-8").splitlines())

    # The service: the message's number at the service, then the credits left.
    service = subprocess.Popen([options.service, "--seconds", "600", "--record", record,
                                message_id, credits], stdout=subprocess.PIPE)
    children.append(service)
    first = service.stdout.readline().decode().split()
    if len(first) != 2 or first[0] != "port":
        raise RoadBroken("the service did not start")
    port = first[1]
    run([helper, "prepare", folder, "127.0.0.1", port])
    run([helper, "expected", record, "127.0.0.1"])

    # The accessibility bus of this session; the program joins it when it starts.
    # It starts a bus and a registry of its own: they run in its process group and end
    # with it.
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                start_new_session=True)
    children.append(launcher)
    import pyatspi  # connects to the bus the launcher announces

    day_before = datetime.date.today()
    program_env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                       QT_QPA_PLATFORM="xcb")
    process = subprocess.Popen([os.path.join(folder, "Vantrel")], cwd=folder, env=program_env)
    children.append(process)
    program = Program(pyatspi, process)

    # The main window, once the splash has gone: its toolbar's New Message button.
    new_message = program.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = wait_for("the main window alone on the screen", main_window_id)
    xdotool("windowfocus", "--sync", window)

    # A new message; its text typed into the editor.
    program.click(new_message, 0.3)
    text = program.wait_find("the message window's text", "MsgText")
    program.click(text)
    wait_for("the keyboard in the text",
             lambda: text.getState().contains(pyatspi.STATE_FOCUSED))
    # xdotool binds a letter the keyboard map lacks to a spare key for the moment of the
    # press; a program that reads its events only after the key is taken back reads
    # another letter. Typed at this pace, on a machine not loaded by other tests (the
    # test runs alone), the program keeps up.
    xdotool("type", "--delay", "100", typed)
    try:
        wait_for("the edited text", lambda: program.text_of(text) == edited)
    except RoadBroken:
        raise RoadBroken("the text reads %r, not %r" % (program.text_of(text), edited))

    # The group "Πελάτες", ticked with a click on its box in front of the name.
    group = program.wait_find("the group Πελάτες", "Πελάτες")
    box = program.extents(group)
    for offset in (10, 8, 12, 6, 14, 16, 18, 20):
        program.click_at(box.x + offset, box.y + box.height // 2)
        try:
            wait_for("the group ticked", lambda: program.checked(group), limit=2)
            break
        except RoadBroken:
            if program.checked(group):
                break
    else:
        raise RoadBroken("no click ticked the group Πελάτες")

    # One extra number, typed and entered.
    phone = program.wait_find("the extra-number field", "txtPhone")
    program.click(phone)
    wait_for("the keyboard in the extra-number field",
             lambda: phone.getState().contains(pyatspi.STATE_FOCUSED))
    xdotool("type", "--delay", "60", extra)
    xdotool("key", "Return")
    program.wait_find("the extra number in its list", extra)
    # Three members of "Πελάτες" and the extra number.
    program.wait_find("the recipient count", " 4")

    # Send, from the message window's button in the main toolbar.
    send = program.wait_find("the send button", "Αποστολή", pyatspi.ROLE_PUSH_BUTTON)
    program.click(send)
    program.wait_find("the credits in the status bar", "%s SMS" % credits, limit=60)
    day_after = datetime.date.today()

    # What the service received, byte for byte.
    for k in (1, 2):
        got = os.path.join(record, "request-%d.bin" % k)
        wait_for("request %d at the service" % k, lambda: os.path.exists(got))
        check_equal("request %d" % k, read(got),
                    read(os.path.join(record, "expected-%d.bin" % k)))
    if os.path.exists(os.path.join(record, "request-3.bin")):
        raise RoadBroken("the service received a third request")

    # The sent box holds the message; the out-box is empty.
    db = sqlite3.connect("file:%s?mode=ro" % os.path.join(folder, "SMS.mdb"), uri=True)
    try:
        rows = db.execute("SELECT msg_title, msg_text, msg_originator, msg_phonelist, "
                          "msg_flash, msg_schdate, msg_schtime, msg_date, msg_SID, "
                          "msg_Status FROM sended_messages").fetchall()
        check_equal("rows in sended_messages", len(rows), 1)
        row = rows[0]
        check_equal("the sent row", row[:7] + row[8:],
                    ("Νέο Μήνυμα", edited, "Vantrel", phone_list, 0, None, None,
                     int(message_id), 1))
        if row[7] not in (day_before.isoformat(), day_after.isoformat()):
            raise RoadBroken("the sent row's date %r is not today" % (row[7],))
        check_equal("rows in outbox_messages",
                    db.execute("SELECT COUNT(*) FROM outbox_messages").fetchone()[0], 0)
    finally:
        db.close()

    # The main window after the send, for a person to look at.
    x, y, width, height = window_geometry(window)
    run([helper, "screenshot", x, y, width, height, options.shot])

    # Exit ends the program at once.
    xdotool("windowfocus", "--sync", window, "key", "ctrl+q")
    try:
        process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        raise RoadBroken("the program did not end on Exit")
    check_equal("the program's exit code", process.returncode, 0)


def end(child):
    """Ends a helper process, and its process group when it leads one."""
    try:
        if os.getpgid(child.pid) == child.pid:
            os.killpg(child.pid, signal.SIGKILL)
        else:
            child.kill()
    except ProcessLookupError:
        pass
    child.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--helper", required=True)
    parser.add_argument("--service", required=True)
    parser.add_argument("--shot", required=True)
    options = parser.parse_args()

    work = tempfile.mkdtemp(prefix="vantrel-road.")
    children = []
    try:
        road(options, work, children)
    except RoadBroken as broken:
        print("road broken: %s" % broken, file=sys.stderr)
        return 1
    finally:
        for child in reversed(children):
            end(child)
        shutil.rmtree(work, ignore_errors=True)
    print("road passed; screenshot: %s" % options.shot)
    return 0


if __name__ == "__main__":
    sys.exit(main())
