"""Drives the installed program from outside, as a person uses it.

A scenario lays out a program folder with the installation's own recipe, writes the
address book and settings it starts from, starts the real executable on the X display
under a window manager, finds its widgets through the accessibility bus and presses real
keys and clicks with xdotool. Each scenario is a file e2e_<name>.py whose function
scenario(session) does the work; run it through this module:

    xvfb-run -a dbus-run-session -- /usr/bin/python3 e2e_<name>.py --source S --build B \
        --helper H --service F --out DIR

Whatever the scenario does, the harness holds every window the program shows to two
rules, and fails the scenario when one is broken: a window lies on the screen, centred
over its owner, and a program that waits for the user uses no processor time (see the
guards below).
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


class GuardFailed(Exception):
    """A rule that every scenario keeps, broken: not a Failed, so that no scenario's own
    handling of a failed step passes over it."""


def wait_for(what, condition, limit=STEP_LIMIT):
    """The condition's first true value, looked at again until the limit passes.

    The guards look at the program's new windows while the harness waits; the time they
    take is not counted against the step.
    """
    deadline = time.monotonic() + limit
    while True:
        value = condition()
        if value:
            watch()
            return value
        if time.monotonic() > deadline:
            raise Failed("waited %.0f s in vain for %s" % (limit, what))
        deadline += watch()
        time.sleep(LOOK_AGAIN)


def holds_for(condition, seconds):
    """True when the condition stays true for the whole time (looked at repeatedly)."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not condition():
            return False
        deadline += watch()
        time.sleep(LOOK_AGAIN)
    return condition()


def run(args, **kwargs):
    args = [str(a) for a in args]
    done = subprocess.run(args, capture_output=True, timeout=120, **kwargs)
    if done.returncode != 0:
        raise Failed("%s failed (%d): %s" % (" ".join(args), done.returncode,
                                             done.stderr.decode(errors="replace")))
    return done.stdout


# xdotool commands that act on the program as a user would: before any of them the
# guards look at the program's windows, so that none that waits for the user goes unseen.
INPUT_COMMANDS = {"key", "keydown", "keyup", "type", "click", "mousedown", "mouseup",
                  "mousemove", "windowactivate", "windowfocus", "windowsize", "windowmove",
                  "windowclose"}


def xdotool(*args):
    if args and args[0] in INPUT_COMMANDS:
        watch(now=True)
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
        # The guards judge windows as the manager places and frames them.
        if not shutil.which("openbox"):
            raise Failed("no window manager: openbox is not installed")
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
        if GUARD is not None:
            GUARD.program(self.process)

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
        if GUARD is not None:
            GUARD.main_window_at_rest(self.process, window)
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


# -- guards ----------------------------------------------------------------------------
#
# Rules every scenario keeps without asking. The harness looks at the X side for the
# top-level windows of the programs it started (the window manager's list of the windows
# it manages: override-redirect menus, tooltips and pop-ups are never in it) and judges
# each once, when it first sees it, placed by the manager:
# - with its frame it lies whole on the screen; one with an owner (WM_TRANSIENT_FOR, a
#   window on the screen) is centred over its owner's frame, as near as the screen allows;
# - the program waits for the user there, so it uses no processor time: at most a tenth
#   of a core over a second, measured from /proc while the harness only sleeps. The main
#   window is measured when main_window() first finds it at rest; the splash and the main
#   window are not measured when they appear, while the program is still starting.

# The share of a core that a program at rest may use ...
IDLE_SHARE = 0.10
# ... over each span of this many seconds, ...
IDLE_SPAN = 1.0
# ... looked at up to this many spans in a row: a window that has just appeared may still
# be laying itself out and painting, but a program that never comes to rest fails.
IDLE_SPANS = 8
# Pixels of rounding allowed in a centred window's place.
CENTRE_SLACK = 3
# The windows are looked at no more often than this while the harness waits.
WATCH_EVERY = 0.3
# xprop prints window titles in UTF-8 only under a UTF-8 locale.
X_ENV = dict(os.environ, LC_ALL="C.UTF-8")

GUARD = None


def watch(now=False):
    """The guards' look at the programs' windows; the seconds it took to judge new ones."""
    return GUARD.look(now) if GUARD is not None else 0.0


class XWindow:
    """What the X server and the window manager say of a top-level window."""

    def __init__(self, window, info, props):
        self.id = window
        self.viewable = info.get("Map State") == "IsViewable"
        self.override = info.get("Override Redirect State") == "yes"
        self.inner = (int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                      int(info["Width"]), int(info["Height"]))
        self.title = props.get("_NET_WM_NAME") or props.get("WM_NAME") or ""
        self.kind = (props.get("_NET_WM_WINDOW_TYPE") or "").split(",")[0].strip()
        self.kind = self.kind.replace("_NET_WM_WINDOW_TYPE_", "").lower() or "normal"
        self.owner = props.get("WM_TRANSIENT_FOR")
        extents = props.get("_NET_FRAME_EXTENTS")
        self.frame = (tuple(int(v) for v in extents.split(",")) if extents else None)
        left, right, top, bottom = self.frame or (0, 0, 0, 0)
        x, y, width, height = self.inner
        self.framed = (x - left, y - top, width + left + right, height + top + bottom)

    def placed(self):
        return self.viewable and self.frame is not None and len(self.frame) == 4

    def same_place(self, other):
        return (other is not None and self.inner == other.inner and self.frame == other.frame
                and self.viewable == other.viewable)

    def name(self):
        return "%r (%s, %s)" % (self.title, hex(int(self.id)), self.kind)

    @staticmethod
    def read(window):
        """The window as it stands, or None when it is gone."""
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, timeout=60)
        if info.returncode != 0:
            return None
        values = {}
        for line in info.stdout.decode(errors="replace").splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        props = x_properties(window, "_NET_FRAME_EXTENTS", "WM_TRANSIENT_FOR", "_NET_WM_NAME",
                             "WM_NAME", "_NET_WM_WINDOW_TYPE")
        if props is None or "Width" not in values:
            return None
        return XWindow(window, values, props)


def x_properties(window, *names):
    """The window's properties by name (a window id as a decimal string), None for one it
    lacks; None when the window is gone."""
    done = subprocess.run(["xprop", "-id", window, "-notype", *names], capture_output=True,
                          timeout=60, env=X_ENV)
    if done.returncode != 0:
        return None
    values = dict.fromkeys(names)
    for line in done.stdout.decode("utf-8", "replace").splitlines():
        name, sep, value = line.partition(" = ")
        if not sep:
            name, sep, value = line.partition(": window id # ")
            value = str(int(value.split(",")[0], 16)) if sep else None
        if name in values and value is not None:
            values[name] = value[1:-1] if value.startswith('"') else value
    return values


def managed_windows():
    """The top-level windows that the window manager manages, as decimal ids."""
    done = subprocess.run(["xprop", "-root", "-notype", "_NET_CLIENT_LIST"],
                          capture_output=True, timeout=60)
    _, sep, ids = done.stdout.decode().partition("window id #")
    return [str(int(w, 16)) for w in ids.replace(",", " ").split()] if sep else []


def processor_ticks(pid):
    """The process's processor time so far (user and system), in clock ticks."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            stat = f.read()
    except OSError:
        return None
    # The fields after the command's name, which may hold blanks, in brackets.
    fields = stat[stat.rindex(")") + 2:].split()
    return int(fields[11]) + int(fields[12])


def processor_share(pid, span):
    """The share of a core that the process used over the span (None once it has ended).
    Nothing but /proc is read meanwhile: the harness makes the program do no work."""
    ticks, started = processor_ticks(pid), time.monotonic()
    time.sleep(span)
    later, ended = processor_ticks(pid), time.monotonic()
    if ticks is None or later is None:
        return None
    return (later - ticks) / os.sysconf("SC_CLK_TCK") / (ended - started)


class Guard:
    """The rules every scenario keeps (see above), for the programs the scenario starts."""

    def __init__(self, helper, out):
        self.helper = helper
        self.out = out
        self.programs = {}  # pid: the program's process
        self.known = set()  # (pid, window) of the windows judged already
        self.owners = {}  # window: its program's pid (0 for none), while it is managed
        self.rested = set()  # pids whose main window was found at rest
        self.failures = []
        self.last_look = 0.0
        self.judging = False
        self.screen = None
        self.judged = 0
        self.spent = 0.0  # seconds spent judging windows
        self.looks = 0
        self.looking = 0.0  # seconds spent looking for new windows

    def program(self, process):
        self.programs[process.pid] = process

    def look(self, now=False):
        """Judges every window of the running programs that appeared since the last look;
        returns the seconds that took."""
        live = {pid: p for pid, p in self.programs.items() if p.poll() is None}
        started = time.monotonic()
        if self.judging or not live or (not now and started - self.last_look < WATCH_EVERY):
            return 0.0
        self.last_look = started
        self.looks += 1
        managed = managed_windows()
        for window in set(self.owners) - set(managed):
            del self.owners[window]
        for window in managed:
            # The X server hands the ids of a program that has ended to the next one: a
            # window not of a running program here may be another's by now.
            if self.owners.get(window) not in live:
                pid = (x_properties(window, "_NET_WM_PID") or {}).get("_NET_WM_PID")
                self.owners[window] = int(pid) if pid else 0
        new = [w for w in managed if self.owners[w] in live
               and (self.owners[w], w) not in self.known]
        self.looking += time.monotonic() - started
        if not new:
            return 0.0
        self.judging = True
        try:
            for window in new:
                self.known.add((self.owners[window], window))
                self.judge(window, live[self.owners[window]])
        finally:
            self.judging = False
            took = time.monotonic() - started
            self.spent += took
        return took

    def judge(self, window, process):
        shown = self.placed(window)
        if shown is None or shown.override:
            return  # gone before it was placed (it waited for nobody), or no top-level
        self.judged += 1
        owner = XWindow.read(shown.owner) if shown.owner else None
        if owner is not None and not owner.viewable:
            owner = None  # a dialog without an owner stands for the program's leader window
        report = self.check_place(shown, owner)
        starting = shown.kind == "splash" or (owner is None and shown.kind == "normal"
                                              and shown.title == "Vantrel")
        if not starting:
            report += "; " + self.check_idle(process, shown)
        print("guard: %s: %s" % (shown.name(), report), file=sys.stderr)

    def placed(self, window):
        """The window once the manager has mapped it, framed it and left it in one place
        for two looks; None when it goes first."""
        deadline = time.monotonic() + STEP_LIMIT
        before = None
        while True:
            shown = XWindow.read(window)
            if shown is None or (not shown.viewable and window not in managed_windows()):
                return None
            if shown.placed() and shown.same_place(before):
                return shown
            if time.monotonic() > deadline:
                raise self.fail(shown, "placement", "the window manager did not place it in "
                                "%.0f s (mapped: %s, frame: %r, at %r)"
                                % (STEP_LIMIT, shown.viewable, shown.frame, shown.inner))
            before = shown if shown.placed() else None
            time.sleep(LOOK_AGAIN)

    def screen_size(self):
        if self.screen is None:
            self.screen = tuple(int(v) for v in xdotool("getdisplaygeometry").split())
        return self.screen

    def check_place(self, shown, owner):
        width, height = self.screen_size()
        x, y, w, h = shown.framed
        where = "its frame at %r (inside %r)" % (shown.framed, shown.inner)
        if x < 0 or y < 0 or x + w > width or y + h > height:
            raise self.fail(shown, "placement", "%s does not lie whole on the %dx%d screen"
                            % (where, width, height))
        if owner is None:
            return "%s, on the screen, no owner" % where
        ox, oy, ow, oh = owner.framed
        wanted = (min(max(ox + (ow - w) / 2, 0), width - w),
                  min(max(oy + (oh - h) / 2, 0), height - h))
        if abs(x - wanted[0]) > CENTRE_SLACK or abs(y - wanted[1]) > CENTRE_SLACK:
            raise self.fail(shown, "placement", "%s is not centred over its owner %s, whose "
                            "frame is at %r: centred, as near as the screen allows, its "
                            "frame's corner would be at (%.0f, %.0f)"
                            % (where, owner.name(), owner.framed, wanted[0], wanted[1]))
        return "%s, centred over %s" % (where, owner.name())

    def check_idle(self, process, shown, what="the window"):
        """The program waits for the user: a span with at most IDLE_SHARE of a core, within
        IDLE_SPANS spans."""
        shares = []
        for _ in range(IDLE_SPANS):
            share = processor_share(process.pid, IDLE_SPAN)
            if share is None:
                return "the program ended"
            shares.append("%.0f %%" % (100 * share))
            if share <= IDLE_SHARE:
                return "at rest: %s of a core" % ", ".join(shares)
            again = XWindow.read(shown.id)
            if again is None or not again.viewable:
                return "gone by itself after %s of a core" % ", ".join(shares)
        raise self.fail(shown, "idle", "the program (pid %d) never came to rest while %s "
                        "waits for the user: it used %s of a core in %d spans of %.0f s in a "
                        "row, more than %.0f %% in each"
                        % (process.pid, what, ", ".join(shares), IDLE_SPANS, IDLE_SPAN,
                           100 * IDLE_SHARE))

    def main_window_at_rest(self, process, window):
        """The main window, found at rest the first time: the program uses no processor."""
        self.look(now=True)
        if process.pid in self.rested:
            return
        self.rested.add(process.pid)
        shown = XWindow.read(window)
        if shown is None:
            return
        self.judging = True
        started = time.monotonic()
        try:
            report = self.check_idle(process, shown, "the main window")
        finally:
            self.judging = False
            self.spent += time.monotonic() - started
        print("guard: %s, the main window: %s" % (shown.name(), report), file=sys.stderr)

    def fail(self, shown, rule, text):
        picture = "guard-%s-%s.png" % (rule, hex(int(shown.id)))
        width, height = self.screen_size()
        done = subprocess.run([self.helper, "screenshot", "0", "0", str(width), str(height),
                               os.path.join(self.out, picture)], capture_output=True,
                              timeout=120)
        failure = GuardFailed("%s guard, window %s: %s (see %s)"
                              % (rule, shown.name(), text,
                                 picture if done.returncode == 0 else "no screenshot"))
        self.failures.append(failure)
        return failure


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
    global GUARD
    GUARD = Guard(options.helper, options.out)
    # A guard's picture of an earlier run would tell of a failure that did not happen.
    for name in os.listdir(options.out):
        if name.startswith("guard-") and name.endswith(".png"):
            os.remove(os.path.join(options.out, name))
    try:
        scenario(session)
        if GUARD.failures:
            raise GUARD.failures[0]
    except (Failed, GuardFailed) as failed:
        print("failed: %s" % failed, file=sys.stderr)
        for other in GUARD.failures:
            if other is not failed:
                print("failed too: %s" % other, file=sys.stderr)
        return 1
    finally:
        session.close()
        shutil.rmtree(work, ignore_errors=True)
        print("guards: %d windows judged in %.1f s; %d looks for new windows in %.1f s"
              % (GUARD.judged, GUARD.spent, GUARD.looks, GUARD.looking), file=sys.stderr)
    print("passed; pictures in %s" % options.out)
    return 0
