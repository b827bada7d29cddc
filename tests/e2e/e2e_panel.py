#!/usr/bin/python3
"""The panel menu scrolled in a small main window, driven only from outside.

The main window is made so low that the Εργαλεία panel's four items do not fit; the
panel is opened and its items scrolled up with the ▼ arrow until they lie under the
caption. The caption must still be drawn as before and take its own clicks: a click on
it opens no window (it is the open panel's caption, so nothing moves), and after another
panel has been opened a click on it slides the Εργαλεία panel open again. A picture of
the scrolled panel is left for a person to look at.
"""

import sys

import vantrel_e2e as e2e

CAPTION = "Εργαλεία"
FIRST_ITEM = "Παράμετροι"
LAST_ITEM = "Σημειωματάριο"


def settled(s, acc):
    """The widget's place once it has stopped moving (a slide or a scroll ended)."""
    def still():
        box = s.extents(acc)
        return e2e.holds_for(lambda: s.extents(acc).y == box.y, 0.4) and s.extents(acc)
    return e2e.wait_for("the panel at rest", still)


def scenario(s):
    s.install()
    s.settings()
    s.desktop()
    s.start()
    s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()
    # The Οργάνωση panel, open at the start, names the member list as the system does.
    s.wait_find("the member list's button", "Κατάλογος Μέλων", s.pyatspi.ROLE_LABEL)
    e2e.xdotool("windowsize", "--sync", window, 700, 380)
    e2e.wait_for("the main window made low", lambda: s.geometry(window)[3] <= 400)

    caption = s.wait_find("the Εργαλεία caption", CAPTION, s.pyatspi.ROLE_LABEL)
    s.click(caption)
    first = s.wait_find("the Εργαλεία items", FIRST_ITEM, s.pyatspi.ROLE_LABEL)
    last = s.find(LAST_ITEM, s.pyatspi.ROLE_LABEL)
    settled(s, caption)
    # The whole caption button, of which the caption's text is a part.
    caption_box = s.extents(caption.parent)
    e2e.wait_for("the Εργαλεία panel open",
                 lambda: settled(s, first).y > caption_box.y + caption_box.height)
    box = (caption_box.x, caption_box.y, caption_box.width, caption_box.height)
    caption_pixels = s.pixels(box)

    # The ▼ arrow of the open panel: the lowest one shown (a panel that lies behind may
    # show its own arrow higher up).
    def lowest_down_arrow():
        arrows = s.find_all("cmdDown")
        return max(arrows, key=lambda a: s.extents(a).y) if arrows else None

    down = e2e.wait_for("the ▼ arrow of the Εργαλεία panel", lowest_down_arrow)
    for _ in range(3):
        before = settled(s, last).y
        s.click(down)
        e2e.wait_for("the items scrolled", lambda: settled(s, last).y < before)
        if not s.showing(down):
            break  # the last item's bottom is on the panel's bottom edge
    top = settled(s, first)
    if top.y >= caption_box.y + caption_box.height:
        raise e2e.Failed("the first item did not reach the caption (its top %d, the caption's "
                         "bottom %d)" % (top.y, caption_box.y + caption_box.height))

    s.shot("scrolled-panel.png",
           box=(caption_box.x - 6, caption_box.y - 6, caption_box.width + 12,
                s.geometry(window)[1] + s.geometry(window)[3] - caption_box.y + 6))
    if s.pixels(box) != caption_pixels:
        raise e2e.Failed("the items scrolled over the caption: it is not drawn as before")

    # A click on the open panel's caption: nothing moves, no window opens.
    last_before = settled(s, last).y
    s.click(caption)
    if not e2e.holds_for(lambda: len(s.windows()) == 1, 2.0):
        raise e2e.Failed("a click on the caption opened a window: %r"
                         % [w.name for w in s.windows()])
    e2e.check_equal("the items after a click on the open caption", settled(s, last).y,
                    last_before)

    # Another panel opened, then the caption clicked: the Εργαλεία panel slides open.
    open_y = s.extents(caption).y
    other = s.wait_find("the Μηνύματα caption", "Μηνύματα", s.pyatspi.ROLE_LABEL)
    s.click(other)
    e2e.wait_for("the Εργαλεία panel closed",
                 lambda: settled(s, caption).y > caption_box.y + caption_box.height)
    closed_box = s.extents(caption)
    s.click(caption)
    e2e.wait_for("the Εργαλεία panel open again", lambda: settled(s, caption).y == open_y)
    if closed_box.y <= open_y:
        raise e2e.Failed("the caption did not move down when the other panel opened")
    if len(s.windows()) != 1:
        raise e2e.Failed("a window opened: %r" % [w.name for w in s.windows()])

    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
