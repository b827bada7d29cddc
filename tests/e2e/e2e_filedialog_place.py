#!/usr/bin/python3
"""Every file dialog opens over the window that asked for it, in the real window.

The main window is moved away from the screen's centre. The message export's save dialog
and the extra numbers' open and save dialogs of the docked message window each open
centred over the main window, frame over frame, whole on the screen; the member export's
save dialog over the export dialog that asked for it. With the main window at the screen's lower right, the dialog is moved no further
than needed to lie whole on the screen. Pictures of each are left for a person to look at.
"""

import os
import sys

import vantrel_e2e as e2e

EXPORT_TITLE = "Εξαγωγή Στοιχείων"
MESSAGE = "Προσφορά"
PHONE = "6944111111"
# Frames are estimated before the window manager draws them: a few pixels of give.
GIVE = 4


def place_main(s, window, x, y, width, height):
    s.activate(window)
    e2e.xdotool("windowsize", "--sync", window, width, height)
    e2e.xdotool("windowmove", "--sync", window, x, y)
    try:
        e2e.wait_for("the main window at %d,%d" % (x, y),
                     lambda: s.geometry(window) == (x, y, width, height))
    except e2e.Failed:
        raise e2e.Failed("the main window lies at %r (framed %r), not at %r"
                         % (s.geometry(window), s.framed(window), (x, y, width, height)))


def new_active_window(s, known, what):
    """The window that took the keyboard, other than the known ones (a file dialog is not on
    the accessibility bus as a window of its own: X tells)."""
    return e2e.wait_for(what, lambda: (lambda active: active if active not in
                                       (None, *known) else None)(s.active_window()))


def wanted_place(s, dialog, owner):
    """Where the dialog's frame belongs: centred over the owner's frame, then moved no
    further than needed to lie whole on the screen."""
    screen_width, screen_height = s.screen_size()
    x, y, width, height = s.framed(dialog)
    ox, oy, owidth, oheight = s.framed(owner)
    wx = ox + (owidth - width) // 2
    wy = oy + (oheight - height) // 2
    wx = max(0, min(wx, screen_width - width))
    wy = max(0, min(wy, screen_height - height))
    return (x, y, width, height), (wx, wy)


def check_placed(s, dialog, owner, what, picture):
    screen_width, screen_height = s.screen_size()

    def placed():
        (x, y, width, height), (wx, wy) = wanted_place(s, dialog, owner)
        whole = x >= 0 and y >= 0 and x + width <= screen_width and y + height <= screen_height
        return whole and abs(x - wx) <= GIVE and abs(y - wy) <= GIVE

    try:
        e2e.wait_for("%s centred over the window that asked" % what, placed, limit=10)
    except e2e.Failed:
        framed, corner = wanted_place(s, dialog, owner)
        raise e2e.Failed("%s lies at %r (framed), the window that asked at %r: its corner belongs "
                         "at %r, whole on the %dx%d screen"
                         % (what, framed, s.framed(owner), corner, screen_width,
                            screen_height))
    s.shot(picture, box=(0, 0, screen_width, screen_height))


def member_export(s, window):
    s.menu_command("Αρχείο", "Εξαγωγή")
    export = s.wait_find("the export dialog's button", "Εξαγωγή", s.pyatspi.ROLE_PUSH_BUTTON)
    export_window = e2e.wait_for("the export dialog's window", lambda: (
        lambda ids: ids[0] if len(ids) == 1 else None)(s.x_windows(EXPORT_TITLE)))
    s.click(export)
    files = new_active_window(s, (window, export_window), "the member export's save dialog")
    # The window that asked is the export dialog.
    check_placed(s, files, export_window, "the member export's save dialog",
                 "member-export.png")
    s.key("Escape")
    e2e.wait_for("the save dialog closed", lambda: s.x_windows(EXPORT_TITLE) == [export_window])
    s.activate(export_window)
    s.key("Escape")
    e2e.wait_for("the export dialog closed", lambda: not s.x_windows(EXPORT_TITLE))


def message_export(s, window, picture):
    s.activate(window)
    s.click(s.wait_find("the message in the out-box", MESSAGE, s.pyatspi.ROLE_TABLE_CELL))
    s.click(s.wait_find("the out-box's Εξαγωγή", "Εξαγωγή", s.pyatspi.ROLE_PUSH_BUTTON))
    files = new_active_window(s, (window,), "the message export's save dialog")
    check_placed(s, files, window, "the message export's save dialog", picture)
    s.key("Escape")
    e2e.wait_for("the save dialog closed", lambda: s.active_window() == window)


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


def extra_numbers(s, window):
    s.activate(window)
    s.click(s.wait_find("the toolbar's Νέο Μήνυμα", "Νέο Μήνυμα"), 0.3)
    s.wait_find("the message window", "MsgText")
    load = e2e.wait_for("the extra numbers' import button",
                        lambda: find_described(s, "Εισαγωγή Τηλεφώνων από Αρχείο"))
    s.click(load)
    files = new_active_window(s, (window,), "the extra numbers' open dialog")
    check_placed(s, files, window, "the extra numbers' open dialog", "extra-numbers-open.png")
    # A file of numbers, chosen by its name: the list then has a number to save.
    e2e.xdotool("type", "--delay", "60", "numbers.phn")
    s.key("Return")
    s.wait_find("the imported number", PHONE)
    e2e.wait_for("the open dialog closed", lambda: s.active_window() == window)

    save = e2e.wait_for("the extra numbers' save button",
                        lambda: find_described(s, "Αποθήκευση Τηλεφώνων σε Αρχείο"))
    s.click(save)
    files = new_active_window(s, (window,), "the extra numbers' save dialog")
    check_placed(s, files, window, "the extra numbers' save dialog", "extra-numbers-save.png")
    s.key("Escape")
    e2e.wait_for("the save dialog closed", lambda: s.active_window() == window)


def scenario(s):
    s.install()
    s.settings()
    s.sql("INSERT INTO members (LastName, FirstName, mobile_no) VALUES (?, ?, ?)",
          ("Αλεξίου", "Νίκη", "6944222222"))
    s.outbox_message(MESSAGE)
    with open(os.path.join(s.folder, "numbers.phn"), "wb") as f:
        f.write((PHONE + "\r\n").encode())
    s.desktop()
    s.start()
    window = s.main_window()

    # Off the centre, with room around it for a dialog centred over it.
    place_main(s, window, 90, 70, 760, 620)
    member_export(s, window)
    s.menu_command("Αρχείο", "Εξερχόμενα")
    message_export(s, window, "message-export.png")

    # At the screen's lower right: the dialog stays whole on the screen.
    place_main(s, window, 560, 560, 700, 420)
    message_export(s, window, "message-export-lower-right.png")

    # Off the centre the other way.
    place_main(s, window, 380, 250, 820, 700)
    extra_numbers(s, window)

    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
