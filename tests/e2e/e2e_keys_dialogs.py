#!/usr/bin/python3
"""Dialogs that open with the keyboard in a read-only text, in the real window.

The message details dialog and the message export's preview open with the keyboard in
their text. From there Enter presses the default button (details: OK; preview: Εξαγωγή,
which writes the file) and Escape closes the dialog as its cancel button does (the
preview writes nothing).
"""

import os
import sys

import vantrel_e2e as e2e

TITLE = "Προσφορά"


def details(s, window, key):
    s.click(s.wait_find("the toolbar's Ιδιότητες", "Ιδιότητες", s.pyatspi.ROLE_PUSH_BUTTON))
    text = s.wait_find("the details dialog", "txtHeader")
    e2e.wait_for("the keyboard in the details' text", lambda: s.focused(text))
    if key == "Return":
        s.shot("details.png", s.active_window())
    s.key(key)
    s.wait_gone("the details dialog closed by %s" % key, "txtHeader")
    s.activate(window)


def export(s, window, name, key):
    s.click(s.wait_find("the toolbar's Εξαγωγή", "Εξαγωγή", s.pyatspi.ROLE_PUSH_BUTTON))
    # The save dialog is not on the accessibility bus: X tells when it has the keyboard.
    e2e.wait_for("the save dialog with the keyboard",
                 lambda: s.active_window() not in (None, window))
    s.key("ctrl+a")
    e2e.xdotool("type", "--delay", "60", name + ".txt")
    s.key("Return")
    text = s.wait_find("the export preview", "txtMsg")
    e2e.wait_for("the keyboard in the preview's text", lambda: s.focused(text))
    if key == "Return":
        s.shot("export-preview.png", s.active_window())
    s.key(key)
    s.wait_gone("the preview closed by %s" % key, "txtMsg")
    s.activate(window)
    return os.path.join(s.folder, name + ".txt")


def scenario(s):
    s.install()
    s.settings()
    s.outbox_message(TITLE, text="Καλημέρα", phones=",6911111111")
    s.desktop()
    s.start()
    window = s.main_window()
    s.panel_button("Μηνύματα", "Εξερχόμενα")
    s.click(s.wait_find("the out-box message", TITLE, s.pyatspi.ROLE_TABLE_CELL))

    details(s, window, "Return")
    details(s, window, "Escape")

    written = export(s, window, "first", "Return")
    try:
        e2e.wait_for("the file written by Enter", lambda: os.path.exists(written))
    except e2e.Failed:
        raise e2e.Failed("no %s after Enter in the preview; the folder holds %s"
                         % (os.path.basename(written), sorted(os.listdir(s.folder))))
    content = e2e.read(written)
    if not (content.startswith("Αποστολέας: Vantrel\r\n".encode("cp1253"))
            and content.endswith(b"\r\n,6911111111\r\n")):
        raise e2e.Failed("the exported file holds %r" % content)
    not_written = export(s, window, "second", "Escape")
    if e2e.holds_for(lambda: not os.path.exists(not_written), 1) is False:
        raise e2e.Failed("Escape in the preview wrote %s" % not_written)

    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
