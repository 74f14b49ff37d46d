#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A screen drill on the real program, with real mouse and keyboard events.

Ticks two problem types, types 20 into 题数, presses 出题 and waits for the
run to end, presses 显示, lets the stopwatch run, stops it with the space
bar, presses 答案, and checks what the window then shows: twenty problems
of the ticked types with their right results, and the stopwatch frozen at
the time it showed when the space bar went down.
"""

import os
import re
import sys
import unittest

import desktop
from desktop import events_after, last_event_number, text, visible
from problems import answer_error, problem_error

SLOTS = [f"Label6({n})" for n in range(1, 21)]
LINES = [f"Line1({i})" for i in range(3)]
# How long the stopwatch runs before the space bar stops it, in its tenths.
RUN_TENTHS = 12
# Heartbeats of the probe (50 ms of the program's event loop) to watch a
# stopped stopwatch for: long enough for five of its 100 ms ticks.
STILL_HEARTBEATS = 12


def tenths(watch_text):
    """"m:s:t" as tenths of a second."""
    m = re.fullmatch(r"(\d+):(\d+):(\d)", watch_text)
    assert m, f"stopwatch text {watch_text!r}"
    return (int(m.group(1)) * 60 + int(m.group(2))) * 10 + int(m.group(3))


class ProblemRulesTest(unittest.TestCase):
    """The judge of the window's texts knows good problems from bad ones."""

    def test_good_texts_pass(self):
        for types, problem, answer in [({0}, "3\uff0b5=", "3\uff0b5=8"),
                                       ({1}, "19+11=", "19+11=30"),
                                       ({2}, "9\uff0d7=", "9\uff0d7=2"),
                                       ({3}, "10\uff0d1=", "10\uff0d1=9"),
                                       ({4}, "99\uff0d89=", "99\uff0d89=10"),
                                       ({5}, "52\uff0d27=", "52\uff0d27=25"),
                                       ({6}, "1\u00d71=", "1\u00d71=1"),
                                       ({7}, "99\u00d79=", "99\u00d79=891"),
                                       ({8}, "56\u00f78=", "56\u00f78=7")]:
            with self.subTest(problem=problem):
                self.assertIsNone(problem_error(problem, types))
                self.assertIsNone(answer_error(answer, types))

    def test_bad_texts_fail(self):
        for types, answer in [({0}, "3+5=8"),            # plain plus is type 1's
                              ({1}, "47+32=79"),         # no carry
                              ({1}, "50+50=100"),        # sum of 100
                              ({2}, "9\uff0d8=1"),       # difference below 2
                              ({2}, "9-4=5"),            # hyphen-minus
                              ({3}, "19\uff0d9=10"),     # minuend above 18
                              ({4}, "52\uff0d27=25"),    # borrows
                              ({5}, "58\uff0d23=35"),    # does not borrow
                              ({7}, "46\u00d71=46"),     # times 1
                              ({8}, "8\u00f71=8"),       # divided by 1
                              ({6}, "7\u00d78=54"),      # wrong result
                              ({1, 8}, "7\u00d78=56"),   # a type not ticked
                              ({0}, "3\uff0b5= 8")]:     # a blank
            with self.subTest(answer=answer):
                self.assertIsNotNone(answer_error(answer, types))
        self.assertIsNotNone(problem_error("3\uff0b5=8", {0}))  # an answer, not a problem


class ScreenDrillTest(desktop.Scenario):

    def test_twenty_problems_shown_timed_and_answered(self):
        app = self.start()
        types = desktop.ARGS.types

        s = app.wait_for_window("NumbrookV1.6", types)
        form = next(w for w in s["windows"] if w["title"].startswith("NumbrookV1.6"))
        self.assertEqual(form["geometry"][2:], [1016, 702])
        self.assertTrue(visible(s, "Label1"))
        self.assertFalse(any(visible(s, slot) for slot in SLOTS))

        app.enter("Text1", "20")  # 题数

        # 出题, and the run to end: its big label is hidden once every problem is made.
        before = last_event_number(app.state())
        app.click("Command1")
        s = app.wait(lambda st: events_after(st, before, "clicked", "Command1")
                     and not visible(st, "Label1"),
                     "the run to end")
        self.assertEqual(text(s, "Label1"), "")
        self.assertEqual(s["focus"], "Command4", "the run start gives 停止 the focus")
        self.assertFalse(any(visible(s, slot) for slot in SLOTS), "the panel stays empty")

        # 显示: the problems in the panel, and the stopwatch running from zero.
        app.click("Command3")
        s = app.wait(lambda st: all(visible(st, slot) for slot in SLOTS)
                     and tenths(text(st, "Label8")) >= RUN_TENTHS,
                     "the problems on the panel and the stopwatch running")
        problems = [text(s, slot) for slot in SLOTS]
        for slot, problem in zip(SLOTS, problems):
            with self.subTest(slot=slot):
                self.assertIsNone(problem_error(problem, types))
        self.assertTrue(all(visible(s, line) for line in LINES))
        self.assertEqual(s["focus"], "Command4", "显示 gives 停止 the focus")

        # The space bar presses the focused 停止.
        before = last_event_number(s)
        app.key("space")
        s = app.wait(lambda st: events_after(st, before, "clicked", "Command4"),
                     "停止 to be pressed by the space bar")
        stop = events_after(s, before, "clicked", "Command4")[0]
        presses = [e for e in events_after(s, before, "key-press")
                   if e["key"] == "Space" and e["n"] < stop["n"]]
        self.assertTrue(presses, "the click came from the space bar")
        press = presses[0]
        self.assertEqual(press["focus"], "Command4")
        shown_at_press = press["watch"]["Label8"]
        self.assertGreaterEqual(tenths(shown_at_press), RUN_TENTHS)

        # Frozen: the time stays while the stopwatch would have ticked five times.
        s = app.wait(lambda st: st["seq"] >= stop["seq"] + STILL_HEARTBEATS,
                     "the program to run on after the stop")
        self.assertEqual(events_after(s, stop["n"], "tick", "Timer2"), [],
                         "the stopwatch ticked after 停止")
        ticks_in_press = events_after(s, press["n"], "tick", "Timer2")
        if ticks_in_press:  # a tick fell between the key going down and coming up
            self.assertEqual(text(s, "Label8"), stop["watch"]["Label8"])
        else:
            self.assertEqual(text(s, "Label8"), shown_at_press)
        frozen = text(s, "Label8")

        # 答案: the same problems with their results; the time stays.
        app.click("Command2")
        s = app.wait(lambda st: all(text(st, slot) != problem
                                    for slot, problem in zip(SLOTS, problems)),
                     "the answers on the panel")
        for slot, problem in zip(SLOTS, problems):
            with self.subTest(slot=slot):
                answer = text(s, slot)
                self.assertTrue(visible(s, slot))
                self.assertTrue(answer.startswith(problem), f"{answer!r} after {problem!r}")
                self.assertIsNone(answer_error(answer, types))
        self.assertEqual(text(s, "Label8"), frozen)

        self.display.screenshot(os.path.join(self.artifacts, "screen-drill.png"), form["geometry"])


if __name__ == "__main__":
    sys.exit(desktop.main(__doc__, "1,8"))
