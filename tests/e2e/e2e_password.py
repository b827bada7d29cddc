#!/usr/bin/python3
"""The start-up password answered wrong with Enter: the box "Ο κωδικός που δώσατε δεν είναι
σωστός." comes once, one Enter closes it, and the program ends."""

import sys

import vantrel_e2e as e2e

WRONG = "Ο κωδικός που δώσατε δεν είναι σωστός."


def scenario(s):
    s.install()
    s.settings(startup=1, password="s3cret")
    s.desktop()
    s.start()

    # The prompt, over the main window; its masked field takes the typing.
    field = s.wait_find("the password prompt's field", "txtMask", limit=60)
    s.wait_find("the password prompt's label", "Κωδικός Χρήστη")
    s.focus_into(field, "the password field")
    # The field shows its mask, not the typed letters.
    s.type_text(field, "wrong", "No no", "the password field")
    prompt = s.window_with("Κωδικός Χρήστη")
    s.shot("prompt.png", box=s.place(prompt))
    s.key("Return")

    e2e.wait_for("the wrong-password box", lambda: s.windows_saying(WRONG))
    box = s.windows_saying(WRONG)[0]
    s.wait_find("the box's button", "OK", within=box)
    s.shot("wrong-password.png", box=s.place(box))
    e2e.check_equal("boxes after one Enter on the prompt", len(s.windows_saying(WRONG)), 1)
    if s.find("txtMask") is not None:
        raise e2e.Failed("the prompt still shows behind its box")

    # One Enter on the box: it closes, no box comes after it, and the program ends.
    s.key("Return")

    def no_box():
        try:
            return s.ended() or not s.windows_saying(WRONG)
        except e2e.Failed:
            return s.ended()

    e2e.wait_for("the box closed by one Enter", no_box)
    if not e2e.holds_for(no_box, 2):
        raise e2e.Failed("another wrong-password box came after the first one")
    e2e.check_equal("the program's exit code", s.wait_end("after the wrong password"), 0)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
