#!/usr/bin/python3
"""The main window's status bar with the message window docked, driven only from outside.

The message window adds three panels (characters left, recipients, send time) before the
two fixed ones (credits, connection). Each added panel is as wide as what it shows and at
least 17 px; the fixed panels keep their one width; the panels stand from the left, side
by side, and the room left over stays blank at the right. A picture of the bar is left
for a person to look at.
"""

import sys

import vantrel_e2e as e2e

ADDED = [" 160", " 0", " Άμεση Αποστολή"]
# The blank that a panel sized to its contents leaves right of them, at most (its
# margin, and a letter's own side bearing).
MARGIN = 8


def scenario(s):
    s.install()
    s.settings()
    s.desktop()
    s.start()
    new_message = s.wait_find("the main window", "Νέο Μήνυμα", limit=60)
    window = s.main_window()
    s.click(new_message, 0.3)
    s.wait_find("the message window", "MsgText")

    texts = [s.wait_find("the status panel %r" % text, text, s.pyatspi.ROLE_LABEL)
             for text in ADDED]
    panels = [text.parent for text in texts]
    bar = panels[0].parent
    # The bar's panels from left to right (the accessibility tree keeps no order).
    shown = sorted((bar.getChildAtIndex(i) for i in range(bar.childCount)),
                   key=lambda p: s.extents(p).x)
    e2e.check_equal("panels on the bar", len(shown), 5)
    boxes = [s.extents(p) for p in shown]
    e2e.check_equal("the added panels first, in their order",
                    [s.extents(p).x for p in panels], [b.x for b in boxes[:3]])

    for text, panel in zip(texts, panels):
        box = s.extents(panel)
        if box.width < 17:
            raise e2e.Failed("the panel %r is %d px wide" % (text.name, box.width))
        # As drawn: what the panel shows reaches to within its margin of its right frame.
        inside = [row[1:-1] for row in s.pixels((box.x, box.y, box.width, box.height))[2:-2]]
        ground = max(set(inside[0]), key=inside[0].count)
        drawn = [x for row in inside for x, pixel in enumerate(row) if pixel != ground]
        room = len(inside[0]) - 1 - max(drawn)
        if room > MARGIN:
            raise e2e.Failed("the panel %r leaves %d px blank right of its text"
                             % (text.name, room))
    fixed = boxes[3:]
    e2e.check_equal("the width of the fixed panels", fixed[1].width, fixed[0].width)
    if fixed[0].width <= boxes[1].width:
        raise e2e.Failed("the fixed panels (%d px) are no wider than the recipients' "
                         "panel (%d px)" % (fixed[0].width, boxes[1].width))
    for left, right in zip(boxes, boxes[1:]):
        if not 0 <= right.x - (left.x + left.width) <= 4:
            raise e2e.Failed("the panels do not stand side by side: %r" %
                             [(b.x, b.width) for b in boxes])

    whole = s.extents(bar)
    s.shot("status-bar.png", box=(whole.x, whole.y, whole.width, whole.height))
    end = boxes[-1].x + boxes[-1].width + 2
    blank = s.pixels((end, whole.y + whole.height // 2, whole.x + whole.width - end - 4, 1))[0]
    if len(set(blank)) != 1 or (whole.x + whole.width - end) < 100:
        raise e2e.Failed("the bar's room right of the panels is not blank")

    s.exit_program(window)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
