#!/usr/bin/python3
"""The start-up password prompt shows above the splash, which may still be up, and takes
the keys typed: the right password, then Enter, and the program runs on.

The splash closes itself three seconds after it shows; when it has already gone by the
time the prompt comes (a slow start), the start is tried again.
"""

import sys
import time

import vantrel_e2e as e2e

PROMPT = "Ασφάλεια Προγράμματος"
PASSWORD = "s3cret"


def splash_window(s, prompt):
    """The splash's X window: the program's visible window that is neither the main window
    nor the prompt."""
    known = set(s.x_windows("Vantrel")) | {prompt}
    found = subprocess_search(s)
    others = [w for w in found if w not in known and s.geometry(w)[2] > 100]
    return others[0] if others else None


def subprocess_search(s):
    done = e2e.run(["xdotool", "search", "--onlyvisible", "--pid", s.process.pid])
    return done.decode().split()


def stacking():
    """The managed windows from the lowest to the highest, as the window manager stacks
    them."""
    line = e2e.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"]).decode()
    return [int(w, 16) for w in line.split("#", 1)[1].replace(",", " ").split()]


def prompt_above_splash(s, prompt, splash):
    order = stacking()
    if int(prompt) not in order or int(splash) not in order:
        return None
    return order.index(int(prompt)) > order.index(int(splash))


def scenario(s):
    s.install()
    s.settings(startup=1, password=PASSWORD)
    s.desktop()
    for attempt in range(1, 4):
        s.start()
        prompt = e2e.wait_for("the password prompt", lambda: (
            lambda ids: ids[0] if len(ids) == 1 else None)(s.x_windows(PROMPT)), limit=60)
        splash = splash_window(s, prompt)
        if splash is not None:
            # The window manager has the prompt's place as soon as it maps it; a moment
            # for its stacking list to say so.
            deadline = time.monotonic() + 1.0
            above = prompt_above_splash(s, prompt, splash)
            while above is False and time.monotonic() < deadline:
                time.sleep(e2e.LOOK_AGAIN)
                above = prompt_above_splash(s, prompt, splash)
            if above is not None:
                s.shot("prompt-and-splash.png", box=(0, 0, 1280, 1024))
                if not above:
                    raise e2e.Failed("the splash lies over the password prompt "
                                     "(stacking, lowest first: %r)" % stacking())
                break
        print("attempt %d: the splash had gone before the prompt came; again" % attempt,
              file=sys.stderr)
        s.key("Escape")
        s.wait_end("after Escape in the prompt")
    else:
        raise e2e.Failed("the splash never was on the screen with the prompt")

    # The prompt has the keyboard: the password typed goes into it.
    field = s.wait_find("the password prompt's field", "txtMask")
    e2e.wait_for("the keyboard in the password field", lambda: s.focused(field))
    e2e.xdotool("type", "--delay", "60", PASSWORD)
    e2e.wait_for("the password typed", lambda: len(s.text_of(field)) == len(PASSWORD))
    s.key("Return")
    s.wait_gone("the prompt closed", "txtMask")
    window = s.main_window()
    s.alive()
    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
