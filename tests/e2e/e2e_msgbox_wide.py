#!/usr/bin/python3
"""The message boxes of e2e_msgbox on a wide screen, where Qt's own box stops growing at
1000 px: a line up to the screen's width (about 1900 px) is shown on one line, a wider
one wraps with all of it shown, and every box lies on the screen, over its window."""

SCREEN = "1920x1080"

import sys

import vantrel_e2e as e2e
from e2e_msgbox import scenario

if __name__ == "__main__":
    sys.exit(e2e.main(scenario))
