# SPDX-License-Identifier: GPL-3.0-or-later
"""A private X display with the real program on it, driven by xdotool.

The program runs unmodified; the probe library (probe.cpp), preloaded into
it, writes what its widgets show to a JSON file that the tests read. Every
wait polls a condition against a deadline. Each scenario script runs as

  <script> --program build/bin/numbrook --probe build/tests/e2e/libnumbrook_probe.so \\
           --artifacts DIR [--types 1,8]

and exits 77 (skipped) when what it needs is missing, unless CI is set.
"""

import argparse
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

POLL_S = 0.02
DEFAULT_TIMEOUT_S = 30.0
# The export's question, and the captions of a box's buttons in any language.
PRINT_QUESTION = "导出完毕，请确认是否直接进行打印,请确定！"
OK_TEXTS = ("确定", "OK", "&OK")
CANCEL_TEXTS = ("取消", "Cancel", "&Cancel")
# The export's refusal while this user runs LibreOffice, and how long an office may take.
REFUSAL = "系统检测到已打开WORD文档，需要关闭WORD文档才能运行！"
OFFICE_TIMEOUT_S = 180


def missing_tools(*more):
    return [t for t in ("Xvfb", "xdotool", *more) if shutil.which(t) is None]


def wait_until(condition, what, timeout=DEFAULT_TIMEOUT_S, alive=None):
    """Polls condition() until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        if alive is not None:
            alive()
        try:
            value = condition()
            if value:
                return value
        except (OSError, ValueError, KeyError) as error:  # file not there yet, or half a state
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}{detail}")
        time.sleep(POLL_S)


def stop_process(process, grace_s=10.0):
    """Ends a process we started, by its PID: SIGTERM, then SIGKILL."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=grace_s)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Display:
    """An Xvfb server on the first free display number."""

    def __init__(self, log_path, size="1280x800x24"):
        read_end, write_end = os.pipe()
        with open(log_path, "wb") as log:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", size,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                stdout=log, stderr=subprocess.STDOUT)
        os.close(write_end)

        def started():  # Xvfb writes its display number and a newline at once
            if self.process.poll() is not None:
                raise AssertionError(f"Xvfb ended; see {log_path}")
            return select.select([pipe], [], [], 0)[0] and pipe.readline()

        try:
            with os.fdopen(read_end, "rb") as pipe:
                number = wait_until(started, f"Xvfb to start (see {log_path})")
        except BaseException:
            stop_process(self.process)
            raise
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env,
                                capture_output=True, text=True, timeout=DEFAULT_TIMEOUT_S)
        if result.returncode not in (0, 1):  # search answers 1 when nothing matches
            raise AssertionError(f"xdotool {' '.join(map(str, args))} failed: {result.stderr}")
        return result.stdout

    def titles(self, pid):
        """The titles of the program's mapped top-level windows as the window
        manager reads them (_NET_WM_NAME, UTF-8), by X window id."""
        env = dict(self.env, LC_ALL="C.UTF-8")
        found = {}
        for window in self.xdotool("search", "--onlyvisible", "--pid", pid).split():
            result = subprocess.run(["xprop", "-id", window, "-notype", "_NET_WM_NAME"], env=env,
                                    capture_output=True, text=True, timeout=DEFAULT_TIMEOUT_S)
            m = re.fullmatch(r'_NET_WM_NAME = "(.*)"\n?', result.stdout, re.S)
            if result.returncode == 0 and m:
                found[window] = m.group(1).replace('\\"', '"').replace("\\\\", "\\")
        return found

    def screenshot(self, path, geometry=None):
        """Saves the screen, or the part of it at geometry [x, y, w, h], as an
        image; without ImageMagick it says why there is none."""
        if shutil.which("import") is None:
            print(f"no screenshot {path}: ImageMagick's import is missing", file=sys.stderr)
            return
        crop = []
        if geometry:
            x, y, w, h = geometry
            crop = ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        subprocess.run(["import", "-window", "root", *crop, path], env=self.env, check=True,
                       timeout=DEFAULT_TIMEOUT_S)

    def close(self):
        stop_process(self.process)


class Program:
    """The program on a display, with the probe preloaded into it."""

    def __init__(self, display, program, probe, artifacts, args=(), extra_env=None):
        self.display = display
        self.workdir = tempfile.mkdtemp(prefix="numbrook-e2e-")
        os.chmod(self.workdir, 0o700)
        self.state_path = os.path.join(self.workdir, "state.json")
        self.log_path = os.path.join(artifacts, "numbrook.log")
        env = dict(display.env)
        # The program runs in a folder of its own: every path given must be absolute.
        env.update({
            "LD_PRELOAD": " ".join([os.path.abspath(probe), *env.get("LD_PRELOAD", "").split()]),
            "NUMBROOK_PROBE": self.state_path,
            "NUMBROOK_PROBE_WATCH": "Label8",  # the stopwatch, read at every event
            "QT_QPA_PLATFORM": "xcb",
            "XDG_RUNTIME_DIR": self.workdir,
        })
        env.update(extra_env or {})
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen([os.path.abspath(program), *args], env=env, cwd=self.workdir,
                                            stdin=subprocess.DEVNULL, stdout=log,
                                            stderr=subprocess.STDOUT)

    # -- reading the window ------------------------------------------------

    def alive(self):
        if self.process.poll() is not None:
            with open(self.log_path, encoding="utf-8", errors="replace") as log:
                tail = log.read()[-3000:]
            raise AssertionError(
                f"the program ended with status {self.process.returncode}; its output:\n{tail}")

    def state(self):
        with open(self.state_path, encoding="utf-8") as f:
            return json.load(f)

    def wait(self, condition, what, timeout=DEFAULT_TIMEOUT_S):
        """Polls the probe's state until condition(state) is true; returns that state."""
        return wait_until(lambda: s if condition(s := self.state()) else None, what, timeout,
                          alive=self.alive)

    def wait_for_window(self, title_prefix, types=()):
        """Waits until the window is shown by the program and mapped by the X
        server, then ticks the type boxes of types; the state it showed in."""
        state = self.wait(lambda s: any(w["visible"] and w["title"].startswith(title_prefix)
                                        for w in s["windows"]),
                          f"a window titled {title_prefix}…")
        pattern = "^" + title_prefix.replace(".", "\\.")
        wait_until(lambda: self.display.xdotool("search", "--onlyvisible", "--name", pattern).split(),
                   "the X server to map the window", alive=self.alive)
        for t in types:
            box = f"Check1({t})"
            self.click(box)
            self.wait(lambda st, box=box: st["widgets"][box]["checked"], f"{box} ticked")
        return state

    # -- input -------------------------------------------------------------

    def click(self, name, state=None):
        """Clicks a widget with the mouse: a check box on its box, anything else in its middle."""
        widget = (state or self.state())["widgets"][name]
        assert widget["visible"] and widget["enabled"], f"{name} cannot be clicked: {widget}"
        x, y, w, h = widget["geometry"]
        # A check box takes clicks on its box and caption only, not on the
        # empty rest of its width.
        dx = min(8, w // 2) if widget["class"] in ("QCheckBox", "QRadioButton") else w // 2
        self.display.xdotool("mousemove", "--sync", x + dx, y + h // 2, "click", "1")

    def answer(self, box, captions):
        """Clicks the button of a message box whose caption is one of captions."""
        x, y, w, h = next(b for b in box["buttons"] if b["text"] in captions)["geometry"]
        self.display.xdotool("mousemove", "--sync", x + w // 2, y + h // 2, "click", "1")

    def key(self, *keys):
        self.display.xdotool("key", *keys)

    def enter(self, name, value):
        """Replaces the text of a text box by typing, as a user would."""
        self.click(name)
        self.wait(lambda st: st["focus"] == name, f"the focus in {name}")
        self.key("ctrl+a")
        self.display.xdotool("type", "--delay", "20", value)
        self.wait(lambda st: text(st, name) == value, f"{name} to read {value}")

    def export(self, count, timeout=OFFICE_TIMEOUT_S):
        """确定 beside the export count typed in; the state once the print
        question shows, and the question. The refusal fails the test."""
        self.enter("Text3", str(count))
        self.click("Command7")
        s = self.wait(lambda st: box_with(st, PRINT_QUESTION) or box_with(st, REFUSAL),
                      "the print question", timeout)
        assert not box_with(s, REFUSAL), "the export refused: a LibreOffice of this user runs"
        return s, box_with(s, PRINT_QUESTION)

    def close(self):
        stop_process(self.process)
        shutil.rmtree(self.workdir, ignore_errors=True)


# -- reading the probe's state ----------------------------------------------

def text(state, name):
    return state["widgets"][name]["text"]


def visible(state, name):
    return state["widgets"][name]["visible"]


def box_with(state, message):
    """The shown window (a message box) that says message, or None."""
    return next((w for w in state["windows"] if w["visible"] and message in w["texts"]), None)


def no_modal(state):
    return not any(w["visible"] and w["modal"] for w in state["windows"])


def events_after(state, n, event=None, obj=None):
    """The probe's events numbered above n, optionally of one kind and object."""
    return [e for e in state["events"] if e["n"] > n
            and (event is None or e["event"] == event)
            and (obj is None or e["object"] == obj)]


def last_event_number(state):
    return state["events"][-1]["n"] if state["events"] else -1


# -- processes ----------------------------------------------------------------

def processes():
    """Every process: {pid: {"name", "ppid", "uid", "state", "args"}}."""
    table = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", encoding="utf-8", errors="replace") as f:
                stat = f.read()
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                args = [a.decode(errors="replace") for a in f.read().split(b"\0") if a]
            uid = os.stat(f"/proc/{entry}").st_uid
        except OSError:  # ended meanwhile
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat[stat.rindex(")") + 2:].split()
        table[int(entry)] = {"name": name, "state": fields[0], "ppid": int(fields[1]),
                             "uid": uid, "args": args}
    return table


def descendants(pid):
    """The processes below pid, zombies included."""
    table = processes()
    found, frontier = {}, [pid]
    while frontier:
        parent = frontier.pop()
        for child, info in table.items():
            if info["ppid"] == parent and child not in found:
                found[child] = info
                frontier.append(child)
    return found


def live(table):
    return {pid: info for pid, info in table.items() if info["state"] != "Z"}


OFFICE_PROCESSES = ("soffice.bin", "oosplash", "soffice")


def office_instances_of_user():
    return {pid: info for pid, info in live(processes()).items()
            if info["uid"] == os.getuid() and info["name"] in OFFICE_PROCESSES}


def missing_for_office():
    """What an export through LibreOffice lacks. It refuses while this user runs
    LibreOffice: an instance that something else on the machine runs gets time to end."""
    try:
        wait_until(lambda: not office_instances_of_user(), "LibreOffice of this user to end",
                   timeout=300)
    except AssertionError:
        return missing_tools() + ["no LibreOffice of this user running (the export would refuse)"]
    return missing_tools()


def profile_folder(info):
    """The profile folder an office process was started with, or None."""
    url = next((a.split("=", 1)[1] for a in info["args"]
                if a.startswith("-env:UserInstallation=")), None)
    return url and urllib.parse.unquote(urllib.parse.urlparse(url).path)


ARGS = None  # the scenario's options, once main() has read them
MISSING = missing_tools  # what the machine lacks of what the scenario needs; main() sets it


class Scenario(unittest.TestCase):
    """A scenario on a display of its own, its artifacts in a folder for each
    test; a missing need fails a test (main() skips the script without them)."""

    def setUp(self):
        if missing := MISSING():
            self.fail("missing " + ", ".join(missing))
        self.artifacts = os.path.join(ARGS.artifacts, self._testMethodName)
        os.makedirs(self.artifacts, exist_ok=True)
        self.display = Display(os.path.join(self.artifacts, "xvfb.log"))
        self.addCleanup(self.display.close)

    def start(self, *args, extra_env=None):
        """The program on the display, ended when the test ends."""
        app = Program(self.display, ARGS.program, ARGS.probe, self.artifacts, args, extra_env)
        self.addCleanup(app.close)
        return app


class OfficeScenario(Scenario):
    """A scenario whose exports run LibreOffice: no office process it saw
    outlives it, nor their profile folders."""

    def setUp(self):
        super().setUp()
        self.offices = {}  # every office process seen under a program
        self.addCleanup(self.end_offices)

    def start(self, *args):
        app = super().start(*args)
        self.addCleanup(self.office_of, app)  # before the program ends: what it leaves
        return app

    def office_of(self, app):
        """The live office processes under the program, noted for the end."""
        found = {pid: info for pid, info in live(descendants(app.process.pid)).items()
                 if info["name"] in OFFICE_PROCESSES}
        self.offices.update(found)
        return found

    def end_offices(self):
        running = live(processes())
        for pid, info in self.offices.items():
            if running.get(pid, {}).get("args") == info["args"]:
                print(f"ending office process {pid} ({info['name']}) left by the test",
                      file=sys.stderr)
                try:
                    os.kill(pid, signal.SIGCONT)
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        for profile in {profile_folder(info) for info in self.offices.values()} - {None}:
            if os.path.isdir(profile):
                print(f"removing the profile folder {profile} left behind", file=sys.stderr)
                shutil.rmtree(profile, ignore_errors=True)


def main(doc, default_types, missing=missing_tools, **options):
    """Reads the scenario's options (doc's first line describes it; options
    are more of them, with their defaults), then runs its tests; without what
    it needs it is skipped (exit 77), except in CI."""
    global ARGS, MISSING
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    for name in ("--program", "--probe", "--artifacts"):
        parser.add_argument(name, required=True)
    parser.add_argument("--types", default=default_types,
                        type=lambda v: {int(t) for t in v.split(",")})
    for name, default in options.items():
        parser.add_argument("--" + name.replace("_", "-"), default=default)
    ARGS, rest = parser.parse_known_args()
    ARGS.artifacts = os.path.abspath(ARGS.artifacts)
    MISSING = missing
    if (lacking := missing()) and not os.environ.get("CI"):
        print(f"skipped: missing {', '.join(lacking)}", file=sys.stderr)
        return 77
    result = unittest.main(argv=[sys.argv[0], *rest], exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1
