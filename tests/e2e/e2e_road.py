#!/usr/bin/python3
"""The road of one message through the installed program, driven only from outside.

The road's address book and settings, the loopback SMS service as a program of its own;
a new message typed into the editor, a group ticked, an extra number entered and the
message sent. The road ends with the exact requests the service received, the rows in the
database, the credits in the status bar and a screenshot of the main window.
"""

import datetime
import os
import sys

import vantrel_e2e as e2e


def scenario(s):
    s.install()
    record = os.path.join(s.work, "requests")
    os.mkdir(record)
    typed, edited, extra, phone_list, message_id, credits = s.helper("text").splitlines()
    # The service: the message's number at the service, then the credits left.
    port = s.service(message_id, credits, record=record)
    s.helper("road", s.folder, "127.0.0.1", port)
    s.helper("expected", record, "127.0.0.1")
    s.desktop()

    day_before = datetime.date.today()
    s.start()
    # The main window, once the splash has gone: its toolbar's New Message button.
    new_message = s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()

    # A new message; its text typed into the editor.
    s.click(new_message, 0.3)
    text = s.wait_find("the message window's text", "MsgText")
    s.focus_into(text, "the message text")
    s.type_text(text, typed, edited, "the message text")

    # The group "Πελάτες", ticked with a click on its box in front of the name.
    group = s.wait_find("the group Πελάτες", "Πελάτες")
    box = s.extents(group)
    for offset in (10, 8, 12, 6, 14, 16, 18, 20):
        s.click_at(box.x + offset, box.y + box.height // 2)
        try:
            e2e.wait_for("the group ticked", lambda: s.checked(group), limit=2)
            break
        except e2e.Failed:
            if s.checked(group):
                break
    else:
        raise e2e.Failed("no click ticked the group Πελάτες")

    # One extra number, typed and entered.
    phone = s.wait_find("the extra-number field", "txtPhone")
    s.focus_into(phone, "the extra-number field")
    s.type_text(phone, extra, what="the extra-number field")
    s.key("Return")
    s.wait_find("the extra number in its list", extra)
    # Three members of "Πελάτες" and the extra number.
    s.wait_find("the recipient count", " 4")

    # Send, from the message window's button in the main toolbar.
    send = s.wait_find("the send button", "Αποστολή", s.pyatspi.ROLE_PUSH_BUTTON)
    s.click(send)
    s.wait_find("the credits in the status bar", "%s SMS" % credits, limit=60)
    day_after = datetime.date.today()

    # What the service received, byte for byte.
    for k in (1, 2):
        got = os.path.join(record, "request-%d.bin" % k)
        e2e.wait_for("request %d at the service" % k, lambda: os.path.exists(got))
        e2e.check_equal("request %d" % k, e2e.read(got),
                        e2e.read(os.path.join(record, "expected-%d.bin" % k)))
    if os.path.exists(os.path.join(record, "request-3.bin")):
        raise e2e.Failed("the service received a third request")

    # The sent box holds the message; the out-box is empty.
    rows = s.sql("SELECT msg_title, msg_text, msg_originator, msg_phonelist, msg_flash, "
                 "msg_schdate, msg_schtime, msg_date, msg_SID, msg_Status "
                 "FROM sended_messages")
    e2e.check_equal("rows in sended_messages", len(rows), 1)
    row = rows[0]
    e2e.check_equal("the sent row", row[:7] + row[8:],
                    ("Νέο Μήνυμα", edited, "Vantrel", phone_list, 0, None, None,
                     int(message_id), 1))
    if row[7] not in (day_before.isoformat(), day_after.isoformat()):
        raise e2e.Failed("the sent row's date %r is not today" % (row[7],))
    e2e.check_equal("rows in outbox_messages",
                    s.sql("SELECT COUNT(*) FROM outbox_messages")[0][0], 0)

    # The main window after the send, for a person to look at.
    s.shot("after-send.png", window)

    # Exit ends the program at once.
    s.activate(window)
    s.key("ctrl+q")
    e2e.check_equal("the program's exit code", s.wait_end("on Exit", 20), 0)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
