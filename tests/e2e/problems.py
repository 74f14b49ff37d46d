# SPDX-License-Identifier: GPL-3.0-or-later
"""The nine problem types as the pupil sees them, to judge what a window shows.

Each type is told by its operator and the ranges of its numbers and result;
a problem text is "<first><operator><second>=", an answer text is the
problem text followed by the result.
"""

import re

PLUS_FULL, PLUS, MINUS_FULL, TIMES, DIVIDE = "\uff0b", "+", "\uff0d", "\u00d7", "\u00f7"

_TEXT = re.compile(r"^([1-9][0-9]*)([\uff0b+\uff0d\u00d7\u00f7])([1-9][0-9]*)=([1-9][0-9]*)?$")


def _fits(problem_type, first, op, second):
    """Whether a problem of the type can read first op second; gives the result."""
    if problem_type == 0:  # 一位数加一位数
        return op == PLUS_FULL and 1 <= first <= 9 and 1 <= second <= 9, first + second
    if problem_type == 1:  # 两位数加两位数: the units carry, the sum stays below 100
        ok = (op == PLUS and 10 <= first <= 99 and 10 <= second <= 99
              and first % 10 + second % 10 >= 10 and first + second <= 99)
        return ok, first + second
    if problem_type == 2:  # 10以内的减法: a − b with a, b in 1..9 and a − b ≥ 2
        ok = op == MINUS_FULL and 1 <= first <= 9 and 1 <= second <= 9 and first - second >= 2
        return ok, first - second
    if problem_type == 3:  # 20以内退位减法: (a + b) − b with a, b in 1..9, a + b ≥ 10
        a = first - second
        ok = op == MINUS_FULL and 10 <= first <= 18 and 1 <= second <= 9 and 1 <= a <= 9
        return ok, a
    if problem_type in (4, 5):  # 两位减两位: (a + b) − a with a, b in 10..89, a + b ≤ 99
        b = first - second
        ok = (op == MINUS_FULL and 10 <= second <= 89 and 10 <= b <= 89 and first <= 99)
        carries = second % 10 + b % 10 >= 10
        return ok and carries == (problem_type == 5), b
    if problem_type == 6:  # 表内乘法
        return op == TIMES and 1 <= first <= 9 and 1 <= second <= 9, first * second
    if problem_type == 7:  # 两位数乘一位数
        return op == TIMES and 10 <= first <= 99 and 2 <= second <= 9, first * second
    if problem_type == 8:  # 表内除法: (a × b) ÷ b with a, b in 2..9
        ok = (op == DIVIDE and 2 <= second <= 9 and first % second == 0
              and 2 <= first // second <= 9)
        return ok, first // second if second else None
    raise ValueError(f"no problem type {problem_type}")


def _error(text, types, answer):
    """None when text is a problem of one of the types ending in "=", and with
    answer its right result after it; else why not."""
    m = _TEXT.match(text)
    if not m or (m.group(4) is not None) != answer:
        return f"{text!r} is not {'an answer' if answer else 'a problem'} text"
    first, op, second = int(m.group(1)), m.group(2), int(m.group(3))
    results = [r for ok, r in (_fits(t, first, op, second) for t in types) if ok]
    if not results:
        return f"{text!r} is of none of the types {sorted(types)}"
    if answer and int(m.group(4)) not in results:
        return f"{text!r} has a wrong result"
    return None


def problem_error(text, types):
    return _error(text, types, answer=False)


def answer_error(text, types):
    return _error(text, types, answer=True)
