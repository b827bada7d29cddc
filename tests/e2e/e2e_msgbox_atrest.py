#!/usr/bin/python3
"""A message box waits without work and shows its text as it stands.

The organiser's delete question is asked for two groups: one whose name holds markup
("<b>", "<i>", "<br>", "&"), and one whose name makes the question wider than the screen,
so that the box breaks it over lines. Each box is measured on the screen as e2e_msgbox
measures its boxes (the whole text shown, the box on the screen, over the main window);
the markup box shows its tags and its own line feed as they stand; and while each box
waits for its answer, the program uses at most a tenth of a core. A picture of each box
is left in the output folder.
"""

import os
import sys
import time

import vantrel_e2e as e2e
from e2e_msgbox import answer, check_box

MARKUP = "<b>Έντονη</b> & <i>πλάγια</i> <br>ομάδα"
WIDE = " ".join(["ΟΜΑΔΑ ΨΗΦΙΑΚΩΝ ΜΕΣΩΝ ΜΑΖΙΚΗΣ ΕΝΗΜΕΡΩΣΗΣ ΘΕΣΣΑΛΟΝΙΚΗΣ"] * 4)
QUESTION = "Πρόκειτε να διαγράψετε την ομάδα"
# The busiest a box at rest may keep the program, as a share of one core.
AT_REST = 0.10


def question_for(name):
    return ("Πρόκειτε να διαγράψετε την ομάδα \"%s\"και όλες τις υποομάδες που περιέχει.\n"
            "Θέλετε να συνεχίσετε;" % name)


def processor_share(s, stretch=2.0):
    """The program's processor time over a stretch of wall time, as a share of one core.

    A measurement over time, not a wait for something: the box is already at rest.
    """
    ticks = os.sysconf("SC_CLK_TCK")

    def used():
        with open("/proc/%d/stat" % s.process.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / ticks  # user and system time

    began, before = time.monotonic(), used()
    time.sleep(stretch)
    return (used() - before) / (time.monotonic() - began)


def delete_question(s, window, name, picture):
    """The organiser's delete question for the group: measured, idle, then answered No."""
    s.click(s.wait_find("the group %r in the organiser" % name, name), x_share=0.02)
    s.menu_command("Ομάδες", "Διαγραφή Ομάδας")
    label = check_box(s, QUESTION, picture, window)
    e2e.check_equal("what the box tells a screen reader", label.name, question_for(name))
    share = processor_share(s)
    if share > AT_REST:
        raise e2e.Failed("the program uses %.0f %% of a core while the box %s waits"
                         % (100 * share, picture))
    answer(s, "Escape", QUESTION)
    return label


def scenario(s):
    s.desktop()
    s.install()
    s.settings()
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (1, ?, 0)", (MARKUP,))
    s.sql("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (2, ?, 0)", (WIDE,))
    s.start()
    window = s.main_window()
    s.menu_command("Ομάδες", "Οργάνωση Ομάδων")

    # The tags as they stand, on the first line, and the question's line feed kept: the
    # label is as wide as that line in plain text and two lines high (check_box); one
    # that read the tags would be narrower and break the name at "<br>". A label offers
    # no text of its own on the bus: a screen reader hears its name.
    delete_question(s, window, MARKUP, "markup-group-delete.png")
    # Broken over lines at the screen's width, and still idle.
    delete_question(s, window, WIDE, "wide-group-delete.png")

    e2e.check_equal("groups after two questions answered No",
                    s.sql("SELECT COUNT(*) FROM groups")[0][0], 2)
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
