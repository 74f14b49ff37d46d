#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""An export whose LibreOffice stops answering, and a program killed mid-export.

A stopped office: 确定 with 100 problems, and once the filling has begun the
office is stopped (SIGSTOP). The window keeps painting meanwhile; the call's
deadline ends the office, the teacher reads "导出失败：LibreOffice没有响应！",
no process or profile of the instance is left, and the next export reaches
the print question.

A killed program: once the filling has begun the program is killed
(SIGKILL). Its hidden office ends with it, its profile folder goes, and the
next start of the program exports without refusing. It needs no
LibreOffice running for this user.
"""

import os
import signal
import sys
import time

import desktop
from desktop import OFFICE_TIMEOUT_S, OK_TEXTS, box_with, no_modal, text, visible

NOT_ANSWERING = "导出失败：LibreOffice没有响应！"
SECOND_QUESTION = "请确认是否需要一并打印答案！"
# The office's per-call deadline, and room for a loaded machine.
DEADLINE_S = 20


class ExportFaultsTest(desktop.OfficeScenario):

    def start(self):
        app = super().start()
        app.wait_for_window("NumbrookV1.6", desktop.ARGS.types)
        return app

    def export_until_filling(self, app, count):
        """soffice.bin under the program once the filling has begun, and its profile folder."""
        app.enter("Text3", str(count))
        app.click("Command7")
        app.wait(lambda st: visible(st, "Frame7") and text(st, "Label9") not in ("0%", "25%"),
                 "the filling to begin", timeout=OFFICE_TIMEOUT_S)
        office = [(pid, desktop.profile_folder(info)) for pid, info in self.office_of(app).items()
                  if info["name"] == "soffice.bin"]
        self.assertTrue(office, "no office under the program")
        return office[0]

    def assert_next_export_reaches_the_question(self, app):
        app.wait(no_modal, "no message box open")
        _, question = app.export(5)
        office = self.office_of(app)
        self.assertTrue(office, "no office under the program")
        # Print both sheets; without a printer that fails: either way the office ends.
        app.answer(question, OK_TEXTS)
        s = app.wait(lambda st: box_with(st, SECOND_QUESTION), "the second question")
        app.answer(box_with(s, SECOND_QUESTION), OK_TEXTS)
        desktop.wait_until(lambda: not office.keys() & desktop.live(desktop.processes()).keys(),
                           "the office to end", timeout=OFFICE_TIMEOUT_S, alive=app.alive)

    def test_stopped_office_misses_the_deadline_and_the_window_lives(self):
        app = self.start()
        pid, profile = self.export_until_filling(app, 100)
        os.kill(pid, signal.SIGSTOP)
        stopped_at = time.monotonic()
        beat = app.state()["seq"]
        # The window's thread keeps handling events while the call waits.
        s = app.wait(lambda st: st["seq"] >= beat + 20 or box_with(st, NOT_ANSWERING), "heartbeats")
        self.assertIsNone(box_with(s, NOT_ANSWERING), "the deadline came too early to tell")
        self.display.screenshot(os.path.join(self.artifacts, "office-stopped.png"))
        s = app.wait(lambda st: box_with(st, NOT_ANSWERING), "the failure message",
                     timeout=DEADLINE_S * 3)
        took = time.monotonic() - stopped_at
        box = box_with(s, NOT_ANSWERING)
        self.assertEqual(box["title"], "提示！")
        self.assertEqual(len(box["buttons"]), 1)
        self.assertFalse(visible(s, "Frame7"))
        self.display.screenshot(os.path.join(self.artifacts, "office-not-answering.png"))
        self.assertLess(took, DEADLINE_S * 3)
        desktop.wait_until(lambda: pid not in desktop.live(desktop.processes()) and not os.path.isdir(profile),
                           "the stopped office and its profile to go", timeout=30)
        app.answer(box, OK_TEXTS)
        self.assert_next_export_reaches_the_question(app)

    def test_killed_program_leaves_no_office(self):
        app = self.start()
        pid, profile = self.export_until_filling(app, 100)
        app.process.send_signal(signal.SIGKILL)
        app.process.wait()
        desktop.wait_until(lambda: pid not in desktop.live(desktop.processes()),
                           "the office to end with the program", timeout=30)
        desktop.wait_until(lambda: not os.path.isdir(profile), "its profile folder to go", timeout=30)
        self.assertEqual(desktop.office_instances_of_user(), {}, "no office of this user runs")
        self.assert_next_export_reaches_the_question(self.start())


if __name__ == "__main__":
    sys.exit(desktop.main(__doc__, "3,7", desktop.missing_for_office))
