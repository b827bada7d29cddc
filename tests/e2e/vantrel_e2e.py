"""Drives the installed program from outside, as a person uses it.

A scenario lays out a program folder with the installation's own recipe, writes the
address book and settings it starts from, starts the real executable on the X display
under a window manager, finds its widgets through the accessibility bus and presses real
keys and clicks with xdotool. Each scenario is a file e2e_<name>.py whose function
scenario(session) does the work; run it through this module:

    xvfb-run -a dbus-run-session -- /usr/bin/python3 e2e_<name>.py --source S --build B \
        --helper H --service F --out DIR
"""

import argparse
import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

# How long a step may take before the scenario counts as failed. Generous: the program
# may share the machine with a whole parallel test run.
STEP_LIMIT = 30.0
# How often a condition is looked at again while waiting for it.
LOOK_AGAIN = 0.1


class Failed(Exception):
    pass


def wait_for(what, condition, limit=STEP_LIMIT):
    """The condition's first true value, looked at again until the limit passes."""
    deadline = time.monotonic() + limit
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failed("waited %.0f s in vain for %s" % (limit, what))
        time.sleep(LOOK_AGAIN)


def holds_for(condition, seconds):
    """True when the condition stays true for the whole time (looked at repeatedly)."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not condition():
            return False
        time.sleep(LOOK_AGAIN)
    return condition()


def run(args, **kwargs):
    args = [str(a) for a in args]
    done = subprocess.run(args, capture_output=True, timeout=120, **kwargs)
    if done.returncode != 0:
        raise Failed("%s failed (%d): %s" % (" ".join(args), done.returncode,
                                             done.stderr.decode(errors="replace")))
    return done.stdout


def xdotool(*args):
    return run(["xdotool", *args]).decode()


def check_equal(what, got, wanted):
    if got != wanted:
        raise Failed("%s: got %r, wanted %r" % (what, got, wanted))


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Session:
    """One program folder, the accessibility bus, the window manager and the program."""

    def __init__(self, options, work):
        self.options = options
        self.work = work
        self.folder = os.path.join(work, "Vantrel")
        self.out = options.out
        self.children = []
        self.process = None
        self.app = None
        self.pyatspi = None
        self.spare_keys = None
        self.bound = {}
        os.makedirs(self.out, exist_ok=True)

    # -- the program folder --------------------------------------------------------

    def install(self):
        """The installation's own recipe on the build at hand."""
        env = dict(os.environ, BUILD_DIR=self.options.build)
        run(["bash", "-c", 'source "$1" && lay_out_program_folder "$2"', "install",
             os.path.join(self.options.source, "scripts", "lib.sh"), self.folder], env=env)

    def helper(self, *args):
        return run([self.options.helper, *args]).decode("utf-8")

    def settings(self, **values):
        """The settings and INI files (see e2e_helper settings for the keys)."""
        self.helper("settings", self.folder,
                    *["%s=%s" % (key, value) for key, value in values.items()])

    def database(self):
        return sqlite3.connect(os.path.join(self.folder, "SMS.mdb"))

    def sql(self, statement, values=()):
        db = self.database()
        try:
            rows = db.execute(statement, values).fetchall()
            db.commit()
            return rows
        finally:
            db.close()

    def outbox_message(self, title, text="Καλημέρα", phones=",6911111111"):
        """One message waiting in the out-box, written straight into the database."""
        self.sql("INSERT INTO outbox_messages (msg_title, msg_text, msg_originator, msg_flash, "
                 "msg_phonelist, msg_date, msg_time) VALUES (?, ?, 'Vantrel', 0, ?, "
                 "'2024-03-05', '09:07')", (title, text, phones))

    def service(self, *answers, record=None):
        """The loopback SMS service; returns its port."""
        args = [self.options.service, "--seconds", "600"]
        if record:
            args += ["--record", record]
        service = subprocess.Popen(args + [str(a) for a in answers], stdout=subprocess.PIPE)
        self.children.append(service)
        first = service.stdout.readline().decode().split()
        if len(first) != 2 or first[0] != "port":
            raise Failed("the service did not start")
        return first[1]

    # -- the desktop -----------------------------------------------------------------

    def desktop(self):
        """The accessibility bus of this session and a window manager on the display."""
        # The launcher starts a bus and a registry of its own in its process group.
        launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher",
                                     "--launch-immediately"], start_new_session=True)
        self.children.append(launcher)
        if shutil.which("openbox"):
            self._window_manager()
        import pyatspi  # connects to the bus the launcher announces
        self.pyatspi = pyatspi

    def _window_manager(self, attempts=3):
        """Openbox on the display, started again when it ends or never announces itself."""
        for attempt in range(1, attempts + 1):
            log_path = os.path.join(self.work, "openbox.%d.log" % attempt)
            with open(log_path, "wb") as log:
                wm = subprocess.Popen(["openbox", "--sm-disable"], start_new_session=True,
                                      stdout=log, stderr=subprocess.STDOUT)
            self.children.append(wm)
            deadline = time.monotonic() + STEP_LIMIT
            while time.monotonic() < deadline and wm.poll() is None:
                if self._has_window_manager():
                    if attempt > 1:
                        print("the window manager came up at attempt %d" % attempt,
                              file=sys.stderr)
                    return
                time.sleep(LOOK_AGAIN)
            state = ("ended with %d" % wm.returncode if wm.poll() is not None
                     else "running without announcing itself")
            print("window manager, attempt %d: %s; display %s; xprop: %s; output: %s"
                  % (attempt, state, os.environ.get("DISPLAY"), self._root_report(),
                     read(log_path).decode("utf-8", "replace").strip() or "none"),
                  file=sys.stderr)
            end(wm)
        raise Failed("no window manager came up in %d attempts" % attempts)

    @staticmethod
    def _root_check():
        try:
            done = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                  capture_output=True, timeout=10)
        except subprocess.TimeoutExpired:
            return None
        return done

    @classmethod
    def _root_report(cls):
        done = cls._root_check()
        if done is None:
            return "no answer in 10 s"
        return "exit %d, %s" % (done.returncode,
                                (done.stdout + done.stderr).decode("utf-8", "replace").strip())

    @classmethod
    def _has_window_manager(cls):
        done = cls._root_check()
        return done is not None and done.returncode == 0 and b"window id" in done.stdout

    def start(self, env=None):
        """Starts the installed executable from its folder."""
        program_env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_QPA_PLATFORM="xcb")
        program_env.update(env or {})
        self.process = subprocess.Popen([os.path.join(self.folder, "Vantrel")],
                                        cwd=self.folder, env=program_env)
        self.children.append(self.process)
        self.app = None

    def ended(self):
        return self.process is not None and self.process.poll() is not None

    def wait_end(self, what, limit=STEP_LIMIT):
        try:
            return self.process.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            raise Failed("the program did not end: %s" % what)

    def alive(self):
        if self.ended():
            raise Failed("the program ended (exit code %d)" % self.process.returncode)

    # -- widgets on the accessibility bus ----------------------------------------------

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
        try:
            return acc.getState().contains(self.pyatspi.STATE_SHOWING)
        except Exception:
            return False

    def windows(self):
        """The program's showing top-level windows."""
        self.alive()
        if self.app is None:
            self.app = self.application()
            if self.app is None:
                return []
        found = []
        try:
            for i in range(self.app.childCount):
                window = self.app.getChildAtIndex(i)
                if window is not None and self.showing(window):
                    found.append(window)
        except Exception:
            self.app = None
        return found

    def find_all(self, name=None, role=None, within=None):
        """Every showing widget with this accessible name (and role)."""

        def match(acc):
            try:
                return ((name is None or acc.name == name)
                        and (role is None or acc.getRole() == role) and self.showing(acc))
            except Exception:
                return False

        found = []
        for window in ([within] if within is not None else self.windows()):
            try:
                found.extend(self.pyatspi.findAllDescendants(window, match))
            except Exception:
                continue
        return found

    def find(self, name, role=None, within=None):
        """The first showing widget with this accessible name (and role), or None."""

        def match(acc):
            try:
                return (acc.name == name and (role is None or acc.getRole() == role)
                        and self.showing(acc))
            except Exception:
                return False

        for window in ([within] if within is not None else self.windows()):
            try:
                found = self.pyatspi.findDescendant(window, match)
            except Exception:
                continue
            if found is not None:
                return found
        return None

    def wait_find(self, what, name, role=None, within=None, limit=STEP_LIMIT):
        return wait_for(what, lambda: self.find(name, role, within), limit)

    def wait_gone(self, what, name, role=None, limit=STEP_LIMIT):
        wait_for(what, lambda: self.find(name, role) is None, limit)

    def windows_saying(self, text):
        """The showing windows (message boxes) with a label whose text begins with the text.

        A box's label does not report itself as showing, its window does, so the label is
        looked for in every showing window.
        """

        def says(acc):
            try:
                return acc.getRole() == self.pyatspi.ROLE_LABEL and acc.name.startswith(text)
            except Exception:
                return False

        found = []
        for window in self.windows():
            try:
                if self.pyatspi.findDescendant(window, says) is not None:
                    found.append(window)
            except Exception:
                continue
        return found

    def place(self, acc):
        """The widget's rectangle on the screen (x, y, width, height), as shot() takes it."""
        box = self.extents(acc)
        return (box.x, box.y, box.width, box.height)

    def window_with(self, name, role=None):
        """The showing top-level window that holds a widget of this name, or None."""
        for window in self.windows():
            if window.name == name or self.find(name, role, within=window) is not None:
                return window
        return None

    def extents(self, acc):
        return acc.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)

    def text_of(self, acc):
        return acc.queryText().getText(0, -1)

    def checked(self, acc):
        return acc.getState().contains(self.pyatspi.STATE_CHECKED)

    def focused(self, acc):
        try:
            return acc.getState().contains(self.pyatspi.STATE_FOCUSED)
        except Exception:
            return False

    def focused_widget(self):
        """The widget that has the keyboard focus, or None."""
        found = self.find_all_with_state(self.pyatspi.STATE_FOCUSED)
        return found[0] if found else None

    def find_all_with_state(self, state):
        def match(acc):
            try:
                return acc.getState().contains(state)
            except Exception:
                return False

        found = []
        for window in self.windows():
            try:
                found.extend(self.pyatspi.findAllDescendants(window, match))
            except Exception:
                continue
        return found

    # -- the mouse and the keyboard ------------------------------------------------------

    def click(self, acc, x_share=0.5, y_share=0.5, button=1):
        """A click inside the widget, at the given shares of its width and height."""
        box = self.extents(acc)
        x = box.x + max(1, min(box.width - 2, int(box.width * x_share)))
        y = box.y + max(1, min(box.height - 2, int(box.height * y_share)))
        self.click_at(x, y, button)

    def click_at(self, x, y, button=1):
        xdotool("mousemove", "--sync", x, y, "click", str(button))

    def key(self, *keys):
        """Real key presses, one after the other (xdotool key names)."""
        for k in keys:
            xdotool("key", "--delay", "60", k)

    def menu_command(self, menu, command):
        """Clicks a menu of the menu bar, then one of its commands."""
        self.click(self.wait_find("the menu %s" % menu, menu, self.pyatspi.ROLE_MENU_ITEM))
        self.click(self.wait_find("the command %s" % command, command,
                                  self.pyatspi.ROLE_MENU_ITEM))

    def enabled_menu_command(self, menu, command):
        """A command of the menu bar, chosen once it is enabled; returns when the menu has
        closed."""
        self.click(self.wait_find("the menu %s" % menu, menu, self.pyatspi.ROLE_MENU_ITEM))
        entry = self.wait_find("the menu item %s" % command, command,
                               self.pyatspi.ROLE_MENU_ITEM)
        wait_for("%s enabled" % command,
                 lambda: entry.getState().contains(self.pyatspi.STATE_ENABLED))
        self.click(entry)
        self.wait_gone("the menu closed", command, self.pyatspi.ROLE_MENU_ITEM)

    def panel_button(self, panel, button):
        """A button of the panel menu, its panel opened first and its slide waited out."""
        self.click(self.wait_find("the panel %s" % panel, panel, self.pyatspi.ROLE_LABEL))
        label = self.wait_find("the panel button %s" % button, button, self.pyatspi.ROLE_LABEL)

        def settled():
            at = self.place(label)
            return holds_for(lambda: self.place(label) == at, 0.4)

        wait_for("the panel %s at rest" % panel, settled)
        self.click(label)

    def exit_program(self, window):
        """Exit (Ctrl+Q) from the main window: the program ends at once, with code 0."""
        self.activate(window)
        self.key("ctrl+q")
        check_equal("the program's exit code", self.wait_end("on Exit", 20), 0)

    def focus_into(self, acc, what):
        """Clicks the widget and waits until it has the keyboard focus."""
        self.click(acc)
        wait_for("the keyboard in %s" % what, lambda: self.focused(acc))

    def map_keys(self, text):
        """Puts every character of the text that the keyboard map lacks on a spare key.

        Left to itself, xdotool binds such a letter to a spare key for the moment of the
        press only, and a program that reads the key after it was taken back reads
        another letter. Bound here, the keys stay until another text needs them.
        """
        if self.spare_keys is None:
            self.spare_keys = []
            self.bound = {}
            for line in run(["xmodmap", "-pke"]).decode().splitlines():
                fields = line.split()
                if len(fields) == 3 and fields[0] == "keycode":
                    self.spare_keys.append(int(fields[1]))
        wanted = [ch for ch in dict.fromkeys(text) if ord(ch) > 126]
        missing = [ch for ch in wanted if ch not in self.bound]
        if not missing:
            return
        free = [k for k in self.spare_keys if k not in self.bound.values()]
        for ch, keycode in list(self.bound.items()):
            if ch not in wanted and len(free) < len(missing):
                free.append(keycode)
                del self.bound[ch]
        if len(free) < len(missing):
            raise Failed("too few spare keys for the letters of %r" % text)
        expressions = []
        for ch, keycode in zip(missing, free):
            self.bound[ch] = keycode
            expressions += ["-e", "keycode %d = U%04X" % (keycode, ord(ch))]
        run(["xmodmap", *expressions])

    def type_text(self, acc, text, expected=None, what="the field"):
        """Types the text into the focused widget key by key and checks what it holds.

        Each key waits for the program to show it before the next one goes (a key that
        the field drops shows nothing and is given a moment), so a loaded machine only
        makes the typing slower. When the field holds something else in the end, the
        text is typed once more from where it started, and a second difference fails
        with both texts.
        """
        expected = text if expected is None else expected
        self.map_keys(text)
        for attempt in (1, 2):
            start = self.text_of(acc)
            for ch in text:
                before = self.text_of(acc)
                xdotool("type", "--delay", "0", ch)
                try:
                    wait_for("the key %r" % ch, lambda: self.text_of(acc) != before,
                             limit=1.5 if attempt == 1 else 3.0)
                except Failed:
                    pass  # a dropped character
            got = self.text_of(acc)
            if got == start + expected:
                return
            if attempt == 2:
                raise Failed("%s reads %r after typing %r, not %r"
                             % (what, got, text, start + expected))
            print("%s read %r after typing %r, not %r: typing it again"
                  % (what, got, text, start + expected), file=sys.stderr)
            # Back to the text it had before typing.
            for _ in range(len(got) - len(start)):
                xdotool("key", "BackSpace")
            wait_for("%s back to %r" % (what, start), lambda: self.text_of(acc) == start)

    # -- X windows -------------------------------------------------------------------------

    def x_windows(self, name):
        """The visible X windows with exactly this title."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                "^%s$" % name], capture_output=True, timeout=60)
        return found.stdout.decode().split()

    def main_window(self):
        """The X window of the main window, active, once the splash has gone."""
        wait_for("the splash gone",
                 lambda: [w.name for w in self.windows()] == ["Vantrel"], limit=60)
        window = wait_for("the main window alone on the screen",
                          lambda: (lambda ids: ids[0] if len(ids) == 1 else None)(
                              self.x_windows("Vantrel")), limit=60)
        self.activate(window)
        return window

    def activate(self, window):
        """Makes the window the active one, as a click on its title bar would."""
        xdotool("windowactivate", "--sync", window)
        wait_for("the window active", lambda: self.active_window() == window, limit=10)

    def active_window(self):
        done = subprocess.run(["xdotool", "getactivewindow"], capture_output=True)
        return done.stdout.decode().strip() if done.returncode == 0 else None

    def geometry(self, window):
        """The window's place and size on the screen, without the manager's frame."""
        values = {}
        for line in run(["xwininfo", "-id", window]).decode().splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def screen_size(self):
        """The display's width and height."""
        width, height = xdotool("getdisplaygeometry").split()
        return int(width), int(height)

    def frame_extents(self, window):
        """The window manager's frame around the window: (left, right, top, bottom)."""
        out = run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"]).decode()
        _, _, values = out.partition("=")
        values = [int(v) for v in values.split(",") if v.strip()]
        return tuple(values) if len(values) == 4 else (0, 0, 0, 0)

    def framed(self, window):
        """The window's place and size on the screen with the manager's frame around it."""
        x, y, width, height = self.geometry(window)
        left, right, top, bottom = self.frame_extents(window)
        return (x - left, y - top, width + left + right, height + top + bottom)

    def x_window_at(self, box):
        """The program's visible X window that lies exactly on the rectangle, or None."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                str(self.process.pid)], capture_output=True, timeout=60)
        for window in found.stdout.decode().split():
            try:
                if self.geometry(window) == tuple(box):
                    return window
            except Failed:
                continue  # gone meanwhile
        return None

    def measure(self, text):
        """The text in the display's default font: (height of a line, width of each line)."""
        values = [float(v) for v in self.helper("measure", text).split()]
        return values[0], values[1:]

    def shot(self, name, window=None, box=None):
        """A PNG of a window (or a rectangle of the screen) in the output folder."""
        if box is None:
            box = self.geometry(window)
        path = os.path.join(self.out, name)
        self.helper("screenshot", *box, path)
        return path

    def pixels(self, box):
        """The screen's pixels in a rectangle, as rows of (r, g, b)."""
        x, y, width, height = box
        raw = run([self.options.helper, "pixels", x, y, width, height])
        rows = []
        for j in range(height):
            row = raw[j * width * 3:(j + 1) * width * 3]
            rows.append([tuple(row[i:i + 3]) for i in range(0, len(row), 3)])
        return rows

    # -- the end ---------------------------------------------------------------------------

    def close(self):
        for child in reversed(self.children):
            end(child)


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


def main(scenario):
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--helper", required=True)
    parser.add_argument("--service", required=True)
    parser.add_argument("--out", required=True)
    options = parser.parse_args()

    work = tempfile.mkdtemp(prefix="vantrel-e2e.")
    session = Session(options, work)
    try:
        scenario(session)
    except Failed as failed:
        print("failed: %s" % failed, file=sys.stderr)
        return 1
    finally:
        session.close()
        shutil.rmtree(work, ignore_errors=True)
    print("passed; pictures in %s" % options.out)
    return 0
