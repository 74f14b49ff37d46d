#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The practice window ("练习"): ten problems typed, three wrong, and their 错题重练.

numbrook --practice --pupil 小明 opens the window with the name filled in;
Enter in the name starts ten one-digit additions (the default choice). The
pupil types each answer and Enter, three of them wrong, each wrong one's
correction passed with a key; the end shows 7/10, and 错题重练 brings back
exactly the three missed, in order. After the program's end,
--records-csv holds the ten answers of that practice, three of them wrong.
"""

import csv
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile

import desktop
from desktop import text

PROBLEM = re.compile(r"^(\d+)([\uff0b+\uff0d\u00d7\u00f7])(\d+)=$")
WRONG_AT = (1, 4, 7)


def right_answer(problem):
    m = PROBLEM.match(problem)
    assert m, f"{problem!r} is no problem of the practice"
    a, op, b = int(m.group(1)), m.group(2), int(m.group(3))
    return {"\uff0b": a + b, "+": a + b, "\uff0d": a - b, "\u00d7": a * b, "\u00f7": a // b}[op]


class PracticeTest(desktop.Scenario):

    def setUp(self):
        super().setUp()
        self.home = tempfile.mkdtemp(prefix="numbrook-e2e-home-")
        self.addCleanup(shutil.rmtree, self.home, True)
        self.env = {"HOME": self.home,
                    "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
                    "XDG_DATA_HOME": os.path.join(self.home, ".local", "share")}

    def answer(self, app, value):
        self.display.xdotool("type", "--delay", "20", str(value))
        app.wait(lambda st: text(st, "AnswerBox") == str(value), f"the answer box to read {value}")
        app.key("Return")

    def test_ten_problems_three_wrong_and_their_retry(self):
        app = self.start("--practice", "--pupil", "小明", extra_env=self.env)
        app.wait_for_window("口算练习")
        app.click("PupilName")
        app.wait(lambda st: st["focus"] in ("PupilName", "PupilBox"), "the focus in the name")
        app.key("Return")
        app.wait_for_window("练习 - 小明")

        missed = []
        for i in range(10):
            s = app.wait(lambda st, i=i: text(st, "ProgressLabel") == f"第 {i + 1} 题 / 共 10 题"
                         and st["focus"] == "AnswerBox", f"problem {i + 1}")
            problem = text(s, "ProblemLabel")
            if i in WRONG_AT:
                missed.append(problem)
                self.answer(app, right_answer(problem) + 10)
                app.wait(lambda st: text(st, "CorrectionLabel").endswith(str(right_answer(problem))),
                         "the right answer in red")
                if i == 4:
                    self.display.screenshot(os.path.join(self.artifacts, "wrong.png"))
                app.key("space")
            else:
                self.answer(app, right_answer(problem))

        s = app.wait(lambda st: desktop.visible(st, "SummaryLabel"), "the end")
        self.assertIn("70%（7/10）", text(s, "SummaryLabel"))
        self.display.screenshot(os.path.join(self.artifacts, "end.png"))

        app.click("RetryButton")
        again = []
        for i in range(3):
            s = app.wait(lambda st, i=i: text(st, "ProgressLabel") == f"第 {i + 1} 题 / 共 3 题"
                         and desktop.visible(st, "ProblemLabel"), f"retry problem {i + 1}")
            again.append(text(s, "ProblemLabel"))
            self.answer(app, right_answer(again[-1]))
        self.assertEqual(again, missed)
        s = app.wait(lambda st: desktop.visible(st, "SummaryLabel"), "the retry's end")
        self.assertIn("（3/3）", text(s, "SummaryLabel"))
        app.close()

        target = os.path.join(self.home, "records.csv")
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update(self.env)
        done = subprocess.run([desktop.ARGS.program, "--records-csv", target, "--pupil", "小明"],
                              env=env, capture_output=True, text=True, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(target, encoding="utf-8-sig", newline="") as f:
            rows = list(csv.DictReader(f))
        first = [r for r in rows if r["练习编号"] == rows[0]["练习编号"]]
        self.assertEqual(len(first), 10)
        self.assertEqual(sorted(r["题目"] for r in first if r["对错"] == "错"), sorted(missed))
        self.assertEqual(len(rows), 13)


if __name__ == "__main__":
    sys.exit(desktop.main(__doc__, "0"))
