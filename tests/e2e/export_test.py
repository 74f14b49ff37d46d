#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""An exercise sheet of 15 problems through the real program and the real LibreOffice.

Ticks two problem types, types 15 beside 导出至文档, presses 确定, answers
Cancel to the print question, and then reads the four tables of the open,
untitled document back through UNO: both headers, problems 1 to 15 of the ticked
types on the problem sheet, the same problems with their right results on
the answer sheet, and one space in every later cell. The exercise document
on disk stays as it was. Then it closes LibreOffice and checks that no
process of the instance is left. It needs LibreOffice's Python bridge
(--uno-python) besides, and no LibreOffice running for this user.
"""

import datetime
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys

import desktop
from desktop import CANCEL_TEXTS, OFFICE_TIMEOUT_S, no_modal, text, visible
from problems import answer_error, problem_error

DOCUMENT = "式题导出.doc"
COUNT = 15
HEADER = re.compile(r"^NumbrookV1\.6导出（(式题|答案)）专用纸张--作者QQ（(\d+)）"
                    r"日期：(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)编号：(\d{2,})$")
TABLES_HELPER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "office_tables.py")


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def office_helper(pipe, *command):
    result = subprocess.run([desktop.ARGS.uno_python, TABLES_HELPER, pipe, *command],
                            capture_output=True, text=True, timeout=OFFICE_TIMEOUT_S)
    if result.returncode != 0:
        raise AssertionError(f"office_tables.py {' '.join(command)}: {result.stderr.strip()}")
    return json.loads(result.stdout)


def missing_requirements():
    bridge = subprocess.run([desktop.ARGS.uno_python, "-c", "import uno"], capture_output=True)
    return desktop.missing_for_office() + ([] if bridge.returncode == 0 else [
        f"LibreOffice's Python bridge for {desktop.ARGS.uno_python} (python3-uno)"])


class ExportTest(desktop.OfficeScenario):

    def test_fifteen_problems_written_and_left_open(self):
        # The exercise document: beside the program in the build tree, in
        # share/numbrook when installed.
        folder = os.path.dirname(os.path.realpath(desktop.ARGS.program))
        paths = [os.path.join(folder, sub, DOCUMENT) for sub in ("", "../share/numbrook")]
        exercise = next(filter(os.path.isfile, paths), paths[0])
        exercise_hash = sha256(exercise)
        app = self.start()
        types = desktop.ARGS.types
        started = datetime.datetime.now().replace(microsecond=0)

        app.wait_for_window("NumbrookV1.6", types)

        # 确定: the run, LibreOffice filling the document, and the print question.
        s, question = app.export(COUNT)
        self.assertEqual(question["title"], "提示语！")
        # The title as the window manager reads it, with nothing appended.
        if shutil.which("xprop"):
            desktop.wait_until(lambda: "提示语！" in self.display.titles(app.process.pid).values(),
                               "the question mapped with the title 提示语！", alive=app.alive)
        self.assertTrue(question["modal"])
        self.assertEqual(len(question["buttons"]), 2, question["buttons"])
        self.assertFalse(visible(s, "Frame7"), "the progress box is hidden before the question")
        self.assertEqual(text(s, "Label9"), "100%")

        app.answer(question, CANCEL_TEXTS)
        app.wait(lambda st: no_modal(st) and not visible(st, "Label1"),
                 "the question to close and the run to end")

        # LibreOffice stays, showing the filled document.
        office = self.office_of(app)
        pipes = {m.group(1) for info in office.values() for a in info["args"]
                 if (m := re.match(r"--accept=pipe,name=([^;]+);", a))}
        self.assertEqual(len(pipes), 1, f"one LibreOffice instance: {office}")
        pipe = pipes.pop()
        profiles = {desktop.profile_folder(info) for info in office.values()} - {None}
        desktop.wait_until(
            lambda: self.display.xdotool("search", "--onlyvisible", "--name", "LibreOffice").split(),
            "LibreOffice's window on the screen", timeout=OFFICE_TIMEOUT_S, alive=app.alive)
        # The sheet is an untitled copy of the exercise document: the user's
        # Save asks where to save it.
        documents = office_helper(pipe, "read")
        self.display.screenshot(os.path.join(self.artifacts, "export-left-open.png"))
        finished = datetime.datetime.now()
        self.assertEqual([d["url"] for d in documents], [""], "untitled: saved only with Save As")
        document = documents[0]
        self.assertTrue(document["visible"])
        self.assertTrue(document["modified"], "the filled document is left unsaved")
        self.assertEqual(sha256(exercise), exercise_hash, "the file is never written")

        tables = document["tables"]
        self.assertEqual(len(tables), 4)
        headers = [HEADER.match(tables[k][0][0]) for k in (0, 2)]
        for k, header in zip((0, 2), headers):
            self.assertIsNotNone(header, f"table {k + 1} header {tables[k][0][0]!r}")
        self.assertEqual([h.group(1) for h in headers], ["式题", "答案"])
        self.assertEqual(headers[0].group(2), headers[1].group(2), "one contact number")
        for h in headers:
            stamp = datetime.datetime.strptime(h.group(3), "%Y-%m-%d %H:%M:%S")
            self.assertTrue(started <= stamp <= finished, f"{stamp} within the export")
            self.assertEqual(h.group(4), "01", "the first export of the session")

        problems, answers = tables[1], tables[3]
        self.assertEqual([len(problems), len(answers)], [10, 10])
        for n in range(1, 101):
            row, column = divmod(n - 1, 10)
            problem, answer = problems[row][column], answers[row][column]
            with self.subTest(cell=n):
                if n <= COUNT:
                    prefix = f"({n})"
                    self.assertTrue(problem.startswith(prefix), problem)
                    self.assertTrue(answer.startswith(problem), f"{answer!r} after {problem!r}")
                    self.assertIsNone(problem_error(problem[len(prefix):], types))
                    self.assertIsNone(answer_error(answer[len(prefix):], types))
                else:
                    self.assertEqual([problem, answer], [" ", " "])

        # The shown instance is the user's: it outlives the program.
        def instance():
            return [pid for pid, info in desktop.live(desktop.processes()).items()
                    if any(pipe in a for a in info["args"])]
        app.close()
        self.assertNotEqual(instance(), [], "the shown LibreOffice outlives the program")

        # Closing LibreOffice ends every process of the instance, and its
        # profile folder goes with it, though the program has ended.
        office_helper(pipe, "close")
        desktop.wait_until(lambda: not instance(), "every LibreOffice process to end",
                           timeout=OFFICE_TIMEOUT_S)
        desktop.wait_until(lambda: not any(os.path.isdir(path) for path in profiles),
                           "the instance's profile folder to be removed", timeout=30)


if __name__ == "__main__":
    sys.exit(desktop.main(__doc__, "3,7", missing_requirements, uno_python="/usr/bin/python3"))
