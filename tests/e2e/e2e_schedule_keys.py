#!/usr/bin/python3
"""The schedule dialog's time set with the keyboard alone, in the real window.

In the message window's schedule dialog, Tab reaches the hour box and then the minute
box; Up and Down there step the box as its spinner does (the hour by one, going round
23 to 00; the minute by five, going round below 00 to 55). After OK the message window's
status bar shows the day and the time chosen.
"""

import datetime
import sys

import vantrel_e2e as e2e

TABS = 30
HOUR_KEYS = ("Up", "Up", "Down")
MINUTE_KEYS = ("Down", "Down", "Up")


def identity(acc):
    """What tells one widget from another across two looks at the bus."""
    if acc is None:
        return None
    try:
        box = acc.queryComponent().getExtents(0)
        return (acc.name, acc.getRole(), box.x, box.y, box.width, box.height)
    except Exception:
        return None


def tab_to(s, acc, what):
    """Real Tab presses, each waited out, until the widget has the keyboard."""
    for _ in range(TABS):
        if s.focused(acc):
            return
        before = identity(s.focused_widget())
        s.key("Tab")
        e2e.wait_for("the keyboard moved on from %r" % (before,),
                     lambda: identity(s.focused_widget()) not in (None, before))
    raise e2e.Failed("%d presses of Tab never reached %s" % (TABS, what))


def stepped_hour(hour, key):
    return (hour + (1 if key == "Up" else -1)) % 24


def stepped_minute(minute, key):
    # The spinner's step of five; past either end the clock goes round (above 55 to 00,
    # below 00 to 55).
    minute += 5 if key == "Up" else -5
    return 0 if minute > 55 else 55 if minute < 0 else minute


def press_and_see(s, box, keys, step, what):
    value = int(s.text_of(box))
    for key in keys:
        value = step(value, key)
        s.key(key)
        e2e.wait_for("%s showing %02d after %s" % (what, value, key),
                     lambda: s.text_of(box) == "%02d" % value)
    if not s.focused(box):
        raise e2e.Failed("%s lost the keyboard to its keys" % what)
    return value


def scenario(s):
    s.install()
    s.settings()
    s.desktop()
    s.start()
    window = s.main_window()

    s.click(s.wait_find("the toolbar's Νέο Μήνυμα", "Νέο Μήνυμα"), 0.3)
    s.wait_find("the message window", "MsgText")
    s.click(s.wait_find("the toolbar's Προγραμματισμός", "Προγραμματισμός",
                        s.pyatspi.ROLE_PUSH_BUTTON))
    hour = s.wait_find("the schedule dialog's hour", "txtHour")
    minute = s.wait_find("the schedule dialog's minutes", "txtMin")
    today = datetime.date.today()

    tab_to(s, hour, "the hour box")
    chosen_hour = press_and_see(s, hour, HOUR_KEYS, stepped_hour, "the hour box")
    s.key("Tab")
    e2e.wait_for("the keyboard in the minute box after the hour box", lambda: s.focused(minute))
    chosen_minute = press_and_see(s, minute, MINUTE_KEYS, stepped_minute, "the minute box")
    s.shot("schedule-dialog.png", s.active_window())
    chosen = "%02d:%02d" % (chosen_hour, chosen_minute)

    s.click(s.wait_find("the schedule's OK", "OK", s.pyatspi.ROLE_PUSH_BUTTON))
    s.wait_gone("the schedule dialog closed by OK", "txtHour")
    s.wait_find("the chosen day and time in the status bar",
                " %s - %s" % (today.strftime("%d/%m/%Y"), chosen), s.pyatspi.ROLE_LABEL)
    s.shot("message-window.png", window)

    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
