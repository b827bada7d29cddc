#!/usr/bin/python3
"""A click on the splash, and a key pressed while the splash has the keyboard, close it at
once; start-up goes on to the main window, which then takes the keyboard (Exit)."""

import sys

import vantrel_e2e as e2e


def splash_window(s):
    """The splash's X window: the program's visible window that is not titled Vantrel."""
    main = set(s.x_windows("Vantrel"))
    found = e2e.run(["xdotool", "search", "--onlyvisible", "--pid", s.process.pid]).decode()
    others = [w for w in found.split() if w not in main and s.geometry(w)[2] > 100]
    return others[0] if others else None


def start_and_close_the_splash(s, how):
    s.start()
    label = s.wait_find("the splash", "SMS Client Application", limit=60)
    if how == "click":
        s.click(label)
    else:
        window = e2e.wait_for("the splash's window", lambda: splash_window(s))
        e2e.xdotool("windowfocus", "--sync", window)
        s.key("Return")
    # Closed by the click or key, not by its timer three seconds later.
    e2e.wait_for("the splash closed by the %s" % how,
                 lambda: s.find("SMS Client Application") is None, limit=2.5)
    window = s.main_window()
    s.wait_find("the main window's toolbar", "Νέο Μήνυμα")
    s.shot("after-%s.png" % how, window)
    s.key("ctrl+q")
    e2e.check_equal("the exit code after a %s on the splash" % how,
                    s.wait_end("on Exit after a %s on the splash" % how, 20), 0)


def scenario(s):
    s.install()
    s.settings()
    s.desktop()
    start_and_close_the_splash(s, "click")
    start_and_close_the_splash(s, "key")


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
