#!/usr/bin/python3
"""Message boxes with long texts show the whole text, on the screen, over their window.

The program is made to show the boxes whose lines are the longest a user meets: the main
window's load error when the control library cannot be loaded (its path in a folder a
few levels deep), the out-box's delete question for a title of 50 wide letters, the
organiser's delete questions for a group with a long name, the box of a database that
cannot be opened from a deep folder, and the same box for a folder whose name alone is
wider than the screen. For each box, measured on the screen: the label lies inside the
box and the box, with its frame, on the screen; every line that the screen's width
holds is shown on one line, and a wider one wraps with all of it shown (the label is
tall enough for it); the box is centred over the main window, or the screen when no
window owns it. The other boxes of the program are then shown on this display by the
unit test that measures them from inside. A picture of every box is left in the output
folder.
"""

import math
import os
import subprocess
import sys

import vantrel_e2e as e2e

# A title of 50 letters as wide as letters get, written straight into the database.
TITLE = "ΩШ" * 25
GROUP = "ΩΜΕΓΑ ΨΗΦΙΑΚΩΝ ΜΕΣΩΝ ΜΑΖΙΚΗΣ ΕΝΗΜΕΡΩΣΗΣ ΘΕΣΣΑΛΟΝΙΚΗΣ"
MEMBER = ("Παπαδοπούλου", "Αικατερίνη")
# A program folder a few levels deep, and one whose own name is wider than any screen
# (as long as a folder name may be: no blank or other break in it).
DEEP = ("Έγγραφα", "Προγράμματα επικοινωνίας", "Γραφείο Θεσσαλονίκης")
WIDE = "WM" * 120 + "Vantrel"


def address_book(s):
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (1, ?, 0)", (GROUP,))
    s.sql("INSERT INTO members (LastName, FirstName, mobile_no, member_of) "
          "VALUES (?, ?, '6911111111', '\\1\\')", MEMBER)
    s.outbox_message(TITLE)


def box_saying(s, text):
    """The box whose label begins with the text, and its label, once it has come to rest."""
    box = e2e.wait_for("the box saying %r" % text,
                       lambda: (s.windows_saying(text) or [None])[0])

    def says(acc):
        try:
            return acc.getRole() == s.pyatspi.ROLE_LABEL and acc.name.startswith(text)
        except Exception:
            return False

    label = s.pyatspi.findDescendant(box, says)

    def still():
        place = s.place(box)
        return e2e.holds_for(lambda: s.place(box) == place, 0.6) and place

    e2e.wait_for("the box at rest", still)
    return box, label


def check_box(s, text, picture, owner=None):
    """The box saying the text: its whole text shown, on the screen, over its owner."""
    box, label = box_saying(s, text)
    inside = s.place(box)
    where = s.place(label)
    window = e2e.wait_for("the box's X window", lambda: s.x_window_at(inside))
    outer = s.framed(window)
    s.shot(picture, box=outer)
    screen = (0, 0) + s.screen_size()
    seen = "box %r, label %r, frame %r, screen %r (see %s)" % (inside, where, outer, screen,
                                                                picture)

    def within(small, big):
        return (small[0] >= big[0] and small[1] >= big[1]
                and small[0] + small[2] <= big[0] + big[2]
                and small[1] + small[3] <= big[1] + big[3])

    if not within(where, inside):
        raise e2e.Failed("the label runs outside its box: " + seen)
    if not within(outer, screen):
        raise e2e.Failed("the box is not wholly on the screen: " + seen)

    # Every line as the font lays it out: on one line when the screen's width holds it,
    # else wrapped with all of it in the label.
    line_height, widths = s.measure(label.name)
    around = inside[2] - where[2]
    room = screen[2] - (outer[2] - inside[2]) - around
    if all(width <= room - 2 for width in widths):
        if where[2] < max(widths) - 1 or where[3] >= (len(widths) + 0.5) * line_height:
            raise e2e.Failed("lines the screen holds are wrapped or cut (widest %.0f px, %d "
                             "lines): %s" % (max(widths), len(widths), seen))
    elif any(width > room + 2 for width in widths):
        if outer[2] < screen[2] - 2:
            raise e2e.Failed("a line wider than the screen wraps in a box narrower than the "
                             "screen: " + seen)
        lines = sum(max(1, math.ceil(width / where[2])) for width in widths)
        if where[3] < lines * line_height - 1:
            raise e2e.Failed("the label is too low for all of its %d lines: %s" % (lines, seen))

    # Centred over its owner (or the screen), as far as the screen lets it be.
    over = s.framed(owner) if owner else screen
    for axis in (0, 1):
        centre = over[axis] + over[axis + 2] / 2
        half = outer[axis + 2] / 2
        wanted = min(max(centre, screen[axis] + half), screen[axis] + screen[axis + 2] - half)
        if abs(outer[axis] + half - wanted) > 2:
            raise e2e.Failed("the box is not centred over %s: %s"
                             % ("its window" if owner else "the screen", seen))
    return label


def answer(s, key, text):
    """A key on the box; it closes (and the program may end with it)."""
    s.key(key)

    def closed():
        try:
            return s.ended() or not s.windows_saying(text)
        except e2e.Failed:
            return s.ended()

    e2e.wait_for("the box %r closed" % text, closed)


def lay_out(s, *folders):
    s.folder = os.path.join(s.work, *folders)
    s.install()
    s.settings()


def library_and_questions(s):
    """The load error without the control library, then the delete questions."""
    lay_out(s, *DEEP, "Vantrel")
    address_book(s)
    os.remove(os.path.join(s.folder, "libtirnaval.so"))
    s.start()
    error = "Σφάλμα: 339"
    check_box(s, error, "load-error.png")
    answer(s, "Return", error)
    window = s.main_window()

    s.menu_command("Αρχείο", "Εξερχόμενα")
    s.click(s.wait_find("the message in the out-box", TITLE, s.pyatspi.ROLE_TABLE_CELL))
    s.menu_command("Αρχείο", "Διαγραφή Μηνύματος")
    question = "Πρόκειτε να διαγράψετε το μήνυμα"
    check_box(s, question, "message-delete.png", window)
    answer(s, "Escape", question)

    s.menu_command("Ομάδες", "Οργάνωση Ομάδων")
    s.click(s.wait_find("the group in the organiser", GROUP))
    member = s.wait_find("the member of the group", MEMBER[0], s.pyatspi.ROLE_TABLE_CELL)
    s.menu_command("Ομάδες", "Διαγραφή Ομάδας")
    question = "Πρόκειτε να διαγράψετε την ομάδα"
    check_box(s, question, "group-delete.png", window)
    answer(s, "Escape", question)
    s.click(member)
    s.menu_command("Ομάδες", "Διαγραφή Μέλους")
    question = "Πρόκειτε να διαγράψετε το μέλος"
    check_box(s, question, "member-delete.png", window)
    answer(s, "Escape", question)
    s.exit_program(window)


def database_box(s, picture, *folders):
    """The box of a database that cannot be opened; the program ends after it."""
    lay_out(s, *folders)
    os.remove(os.path.join(s.folder, "SMS.mdb"))
    s.start()
    text = "Σφάλμα: "
    label = check_box(s, text, picture)
    if os.path.join(s.folder, "SMS.mdb") not in label.name:
        raise e2e.Failed("the box does not name the database's path: %r" % label.name)
    answer(s, "Return", text)
    s.wait_end("after the database box")


def boxes_from_inside(s):
    """The other boxes of the program, shown on this display by the code that shows them."""
    test = os.path.join(s.options.build, "tests", "platform_tst_msgbox")
    if not os.path.exists(test):
        raise e2e.Failed("%s is not built" % test)
    done = subprocess.run([test], env=dict(os.environ, QT_QPA_PLATFORM="xcb"),
                          capture_output=True, timeout=240)
    if done.returncode != 0:
        raise e2e.Failed("the boxes measured from inside: %s"
                         % done.stdout.decode(errors="replace")[-4000:])


def scenario(s):
    s.desktop()
    library_and_questions(s)
    database_box(s, "database-deep.png", *DEEP, "Vantrel2")
    database_box(s, "database-wider-than-the-screen.png", WIDE)
    boxes_from_inside(s)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
