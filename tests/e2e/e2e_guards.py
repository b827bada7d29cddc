#!/usr/bin/python3
"""The harness's own guards, tried on windows that keep or break their rules on purpose.

The helper stands in for a program: a window near the screen's right edge, and one at a
time a dialog that it owns (or one without an owner). The guards pass a dialog centred
over its window, a wide one held at the screen's edge as near to centred as the screen
lets it be, and one whose program is busy only for a while after it appears; they fail,
each naming the window and leaving a picture, a dialog at the screen's corner, one
without an owner that is wider than the screen, and one whose program never comes to
rest.
"""

import os
import select
import subprocess
import sys

import vantrel_e2e as e2e

# The owner's inner size and the dialogs' sizes; the owner's frame ends this far from the
# screen's right edge, so that a wide dialog centred over it would leave the screen.
OWNER = (500, 400)
RIGHT_MARGIN = 40
SMALL, WIDE = (300, 150), (800, 150)
# How long the settling dialog keeps the program busy after it appears, in ms: longer
# than a span of the idle guard, well inside all its spans.
SETTLING = 2000


class Helper:
    def __init__(self, s):
        self.process = subprocess.Popen([s.options.helper, "windows"], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE)
        s.children.append(self.process)
        s.process = self.process
        e2e.GUARD.program(self.process)

    def ask(self, line):
        """Sends a command and returns the helper's answer once the window is shown."""
        self.process.stdin.write((line + "\n").encode())
        self.process.stdin.flush()
        ready, _, _ = select.select([self.process.stdout], [], [], e2e.STEP_LIMIT)
        if not ready:
            raise e2e.Failed("the helper did not answer %r" % line)
        answer = self.process.stdout.readline().decode().split()
        if not answer or answer[0] not in ("shown", "closed"):
            raise e2e.Failed("the helper answered %r to %r" % (answer, line))
        return answer[1] if len(answer) > 1 else None


def judged(helper, line):
    """Shows a window and has the guards judge it: None when it passes, else the
    failure's text."""
    judged_before = e2e.GUARD.judged
    window = helper.ask(line)
    try:
        # The manager lists the window a moment after it is on the screen.
        e2e.wait_for("the dialog managed", lambda: window in e2e.managed_windows())
        e2e.watch(now=True)
    except e2e.GuardFailed as failure:
        e2e.GUARD.failures.remove(failure)
        return str(failure)
    finally:
        e2e.check_equal("windows the guards judged after %r" % line,
                        e2e.GUARD.judged - judged_before, 1)
    return None


def scenario(s):
    s.desktop()
    helper = Helper(s)
    width, height = e2e.GUARD.screen_size()
    owner_id = helper.ask("owner %d %d %d %d" % ((width - OWNER[0] - RIGHT_MARGIN, 200) + OWNER))
    owner = e2e.wait_for("the owner placed", lambda: (
        lambda w: w if w is not None and w.placed() else None)(e2e.XWindow.read(owner_id)))
    ox, oy, ow, oh = owner.framed
    # The manager frames the dialogs as it frames their owner.
    left, right, top, bottom = owner.frame

    def centred(size):
        """The dialog's place (inside its frame) and size, its frame centred over the
        owner's as near as the screen allows."""
        w, h = size[0] + left + right, size[1] + top + bottom
        x = min(max(ox + (ow - w) // 2, 0), width - w)
        y = min(max(oy + (oh - h) // 2, 0), height - h)
        return (x + left, y + top) + size

    cases = [
        # (what, the helper's command, place and size, busy ms, the guard that fails)
        ("centred over its window", "dialog", centred(SMALL), 0, None),
        ("held at the screen's edge", "dialog", centred(WIDE), 0, None),
        ("busy while it first appears", "dialog", centred(SMALL), SETTLING, None),
        ("at the screen's corner", "dialog", (left, top) + SMALL, 0, "placement guard"),
        ("wider than the screen", "alone", (left, top, width + 100, SMALL[1]), 0,
         "placement guard"),
        ("never at rest", "dialog", centred(SMALL), -1, "idle guard"),
    ]
    if centred(WIDE)[0] + WIDE[0] / 2 >= ox + ow / 2 - 10:
        raise e2e.Failed("the wide dialog is not held back by the screen's edge: %r"
                         % (centred(WIDE),))
    for what, command, place, busy, guard in cases:
        failure = judged(helper, "%s %d %d %d %d %d" % ((command,) + place + (busy,)))
        helper.ask("close")
        if guard is None and failure is not None:
            raise e2e.Failed("a dialog %s failed the guards: %s" % (what, failure))
        if guard is not None:
            if failure is None or not failure.startswith(guard):
                raise e2e.Failed("a dialog %s passed the %s: %s" % (what, guard, failure))
            picture = failure.rsplit("(see ", 1)[-1].rstrip(")")
            if "'Dialog'" not in failure or not os.path.exists(os.path.join(s.out, picture)):
                raise e2e.Failed("the failure does not name the dialog or left no picture: "
                                 "%s" % failure)
            print("as it should: %s" % failure, file=sys.stderr)


if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
