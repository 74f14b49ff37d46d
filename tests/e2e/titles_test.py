#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The titles of the window and of a message box as the window manager reads them.

Starts the real program on a private X display and reads _NET_WM_NAME of
its mapped windows with xprop: the main window's title is exactly its
caption, with nothing appended; a count the run refuses brings up a box
titled exactly "提示！"; after OK only the main window is left. It needs
xprop besides.
"""

import sys

import desktop
from desktop import box_with

MAIN_TITLE = "NumbrookV1.6  作者：口算园地"
# Counts the run refuses: the text box, the count, the button, and the box's message.
REFUSALS = [("Text1", "21", "Command1", "输出屏幕的题量为1-20题！"),
            ("Text3", "0", "Command7", "导出至文件的题量为1-100题！")]


class TitlesTest(desktop.Scenario):

    def setUp(self):
        super().setUp()
        self.app = self.start()

    def titles(self):
        return sorted(self.display.titles(self.app.process.pid).values())

    def wait_titles(self, expected, what):
        try:
            desktop.wait_until(lambda: self.titles() == sorted(expected), what,
                               alive=self.app.alive)
        except AssertionError as error:
            raise AssertionError(f"{error}; titles on the display: {self.titles()}") from None

    def test_titles_are_exact_on_the_display(self):
        app = self.app
        app.wait_for_window("NumbrookV1.6")
        self.wait_titles([MAIN_TITLE], "the main window's title")
        for box_name, count, button, message in REFUSALS:
            app.enter(box_name, count)
            app.click(button)
            s = app.wait(lambda st: box_with(st, message), f"the message {message}")
            self.assertEqual(box_with(s, message)["title"], "提示！")
            self.wait_titles([MAIN_TITLE, "提示！"], "the box mapped with its own title only")
            # OK is the default button.
            app.key("Return")
            self.wait_titles([MAIN_TITLE], "the box to close")


if __name__ == "__main__":
    sys.exit(desktop.main(__doc__, "0", lambda: desktop.missing_tools("xprop")))
