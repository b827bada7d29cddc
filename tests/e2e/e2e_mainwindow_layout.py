#!/usr/bin/python3
"""Where the main window puts what it opens, at real sizes.

The message window docked in a narrow main window cuts its toolbar short; widened with the
window manager, the main window shows the whole toolbar again: "Αποστολή" lies inside it
and "Προγραμματισμός" opens the schedule dialog. The address import viewer opens over the
main window, wherever that stands, not in the corner of the screen.
"""

import socket
import sys
import threading

import vantrel_e2e as e2e

GROUPS = ("<groups>2</groups>"
          "<group><id>7</id><name>Πελάτες</name><numbers>6900000001</numbers>"
          "<parent>0</parent></group>"
          "<group><id>8</id><name>Προμηθευτές</name><numbers>6900000002</numbers>"
          "<parent>0</parent></group>")


def address_service():
    """A loopback service that answers every request with the customer's groups."""
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.bind(("127.0.0.1", 0))
    server.listen(4)
    reply = ("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<result>%s</result>"
             % GROUPS).encode("cp1253")

    def serve():
        while True:
            try:
                connection, _ = server.accept()
            except OSError:
                return
            with connection:
                connection.settimeout(10)
                request = b""
                try:
                    while b"PWD=" not in request:
                        chunk = connection.recv(4096)
                        if not chunk:
                            break
                        request += chunk
                    connection.sendall(reply)
                except OSError:
                    pass

    threading.Thread(target=serve, daemon=True).start()
    return server


def inside(inner, outer, what):
    ix, iy, iw, ih = inner
    ox, oy, ow, oh = outer
    if ix < ox or iy < oy or ix + iw > ox + ow or iy + ih > oy + oh:
        raise e2e.Failed("%s %r does not lie inside %r" % (what, inner, outer))


def toolbar_fits_again(s, window):
    e2e.xdotool("windowsize", "--sync", window, 560, 700)
    s.menu_command("Αρχείο", "Δημιουργία Μηνύματος")
    s.wait_find("the message window's toolbar", "Άμεση Ομαδοποίηση",
                s.pyatspi.ROLE_PUSH_BUTTON)
    s.shot("docked-narrow.png", window)

    e2e.xdotool("windowsize", "--sync", window, 1200, 700)
    e2e.wait_for("the main window widened", lambda: s.geometry(window)[2] == 1200)
    send = s.wait_find("the toolbar's Αποστολή", "Αποστολή", s.pyatspi.ROLE_PUSH_BUTTON)
    e2e.wait_for("Αποστολή inside its toolbar", lambda: (
        lambda box, bar: box[0] + box[2] <= bar[0] + bar[2])(s.place(send),
                                                            s.place(send.parent)))
    inside(s.place(send), s.place(send.parent), "Αποστολή, in its toolbar,")
    inside(s.place(send), s.geometry(window), "Αποστολή, in the main window,")
    s.shot("docked-widened.png", window)

    # Reached with the mouse where it shows: the schedule dialog opens.
    s.click(s.wait_find("the toolbar's Προγραμματισμός", "Προγραμματισμός",
                        s.pyatspi.ROLE_PUSH_BUTTON))
    dialog = s.wait_find("the schedule dialog", "Προγραμματισμός Αποστολής Μηνύματος")
    s.click(s.wait_find("the schedule dialog's Άκυρο", "Άκυρο", s.pyatspi.ROLE_PUSH_BUTTON,
                        within=dialog))
    s.wait_gone("the schedule dialog closed", "Προγραμματισμός Αποστολής Μηνύματος")


def import_viewer_over_the_main_window(s, window):
    s.activate(window)
    e2e.xdotool("windowsize", "--sync", window, 700, 520)
    e2e.xdotool("windowmove", "--sync", window, 420, 260)
    e2e.wait_for("the main window moved", lambda: s.geometry(window)[2:] == (700, 520)
                 and s.geometry(window)[0] > 300)
    main = s.geometry(window)
    s.menu_command("Εργαλεία", "Εισαγωγή Στοιχείων από Web")
    viewer = e2e.wait_for("the import viewer", lambda: (
        lambda ids: ids[0] if len(ids) == 1 else None)(
            s.x_windows("Εισαγωγή Στοιχείων από Web")))
    s.wait_find("the imported groups", "Η εισαγωγή έγινε επιτυχώς.\nΒρέθηκαν 2 ομάδες.")
    placed = s.geometry(viewer)
    s.shot("import-viewer.png", box=(0, 0, 1280, 1024))
    inside(placed, main, "the import viewer")
    main_centre = (main[0] + main[2] // 2, main[1] + main[3] // 2)
    viewer_centre = (placed[0] + placed[2] // 2, placed[1] + placed[3] // 2)
    # The frames of the two windows differ by a title bar at most.
    if abs(main_centre[0] - viewer_centre[0]) > 20 or abs(main_centre[1] - viewer_centre[1]) > 40:
        raise e2e.Failed("the import viewer at %r is not centred over the main window at %r"
                         % (placed, main))


def scenario(s):
    service = address_service()
    try:
        s.install()
        s.settings(port=service.getsockname()[1])
        s.desktop()
        s.start()
        window = s.main_window()
        toolbar_fits_again(s, window)
        import_viewer_over_the_main_window(s, window)
        s.exit_program(window)
    finally:
        service.close()


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
