#!/usr/bin/python3
"""A context menu with a separator, driven only from outside.

The out-box list's context menu (a right click on a message) holds a separator between
Διαγραφή and Ιδιότητες. It must be drawn as the line alone, exactly as the menu bar's own
separators are drawn, with no "-" beside it. The context menu of a window's control is not
on the accessibility bus, so its picture is compared with the separator of the menu bar's
Αρχείο menu, which is. Pictures of both menus are left for a person to look at.
"""

import subprocess
import sys

import vantrel_e2e as e2e

# Rows above and below a separator's own rows that belong to its picture (the menu's
# ground around the line), and the width looked at from its left end.
AROUND = 3
WIDTH = 80


def visible_windows():
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "Vantrel"],
                          capture_output=True, timeout=60)
    return done.stdout.decode().split()


def contains(picture, block):
    """True when the block of rows of pixels stands somewhere in the picture."""
    height, width = len(block), len(block[0])
    for y in range(len(picture) - height + 1):
        for x in range(len(picture[0]) - width + 1):
            if all(picture[y + j][x:x + width] == block[j] for j in range(height)):
                return True
    return False


def scenario(s):
    s.install()
    s.settings()
    s.outbox_message("Προσφορά")
    s.desktop()
    s.start()
    s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()

    # The menu bar's separator, as the menu system draws one.
    s.click(s.wait_find("the Αρχείο menu", "Αρχείο", s.pyatspi.ROLE_MENU_ITEM))
    separator = e2e.wait_for("a separator of the Αρχείο menu", lambda: next(
        (a for a in s.find_all(role=s.pyatspi.ROLE_SEPARATOR) if s.extents(a).width > 0), None))
    e2e.check_equal("the separator's text", separator.name, "")
    line = s.extents(separator)
    reference = s.pixels((line.x, line.y - AROUND, WIDTH, line.height + 2 * AROUND))
    s.shot("menu-bar-menu.png",
           box=(line.x - 2, s.geometry(window)[1], line.width + 4, 200))
    s.key("Escape")
    e2e.wait_for("the Αρχείο menu closed", lambda: s.extents(separator).width == 0
                 or not s.showing(separator))

    # The out-box, through the same menu.
    s.menu_command("Αρχείο", "Εξερχόμενα")
    message = s.wait_find("the message in the out-box", "Προσφορά",
                          s.pyatspi.ROLE_TABLE_CELL)

    before = set(visible_windows())
    s.click(message, button=3)
    popup = e2e.wait_for("the context menu", lambda: next(
        iter(set(visible_windows()) - before), None))
    box = s.geometry(popup)
    # A menu of five entries, one of them a separator.
    if not (100 < box[2] < 400 and 60 < box[3] < 200):
        raise e2e.Failed("the context menu has an odd size: %r" % (box,))
    s.shot("context-menu.png", box=box)
    if not contains(s.pixels(box), reference):
        raise e2e.Failed("the context menu holds no separator drawn as the menu bar's: its "
                         "separator is not the line alone (see context-menu.png)")

    s.key("Escape")
    e2e.wait_for("the context menu closed", lambda: popup not in visible_windows())
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
