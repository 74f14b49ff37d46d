#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""An exercise sheet of 100 problems shown in the program's own print preview.

Starts the program with --sheets=builtin, ticks a problem type, types 100
beside 导出至文档, presses 确定 and answers Cancel to the print question.
The preview window opens with the two sheets while the drill window stays
usable; "保存为PDF…" offers a dated, numbered name in the documents folder
and, given a file name typed into the dialog, writes a two-page PDF. Closing
the preview leaves the program running.

  preview_test.py --program build/bin/numbrook --probe build/tests/e2e/libnumbrook_probe.so \
                  --artifacts DIR [--types 7]

Exits 77 (skipped) when Xvfb, xdotool or pdfinfo is missing, unless CI is set.
"""

import datetime
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import desktop  # noqa: E402
from desktop import text, visible  # noqa: E402

COUNT = 100
PRINT_QUESTION = "导出完毕，请确认是否直接进行打印,请确定！"
CANCEL_TEXTS = ("取消", "Cancel", "&Cancel")
PREVIEW = "SheetPreviewWindow"

ARGS = None


def missing_requirements():
    missing = desktop.missing_tools()
    if shutil.which("pdfinfo") is None:
        missing.append("pdfinfo (poppler-utils)")
    return missing


def pdf_pages(path):
    result = subprocess.run(["pdfinfo", path], capture_output=True, text=True)
    if result.returncode != 0:
        return None
    for line in result.stdout.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    return None


def window(state, object_name):
    return next((w for w in state["windows"] if w["objectName"] == object_name and w["visible"]), None)


class PreviewTest(unittest.TestCase):

    def setUp(self):
        missing = missing_requirements()
        if missing:
            self.fail("missing " + ", ".join(missing))
        os.makedirs(ARGS.artifacts, exist_ok=True)
        self.home = tempfile.mkdtemp(prefix="numbrook-e2e-home-")
        self.addCleanup(shutil.rmtree, self.home, True)
        self.documents = os.path.join(self.home, "Documents")
        os.makedirs(self.documents)
        self.display = desktop.Display(os.path.join(ARGS.artifacts, "xvfb.log"))
        self.addCleanup(self.display.close)
        self.app = desktop.Program(self.display, ARGS.program, ARGS.probe, ARGS.artifacts,
                                   watch=("Label9",), args=["--sheets=builtin"],
                                   extra_env={"HOME": self.home,
                                              "XDG_DOCUMENTS_DIR": self.documents})
        self.addCleanup(self.app.close)

    def raise_window(self, title_pattern):
        for wid in self.display.xdotool("search", "--onlyvisible", "--name", title_pattern).split():
            self.display.xdotool("windowraise", wid)

    def test_preview_shows_two_pages_and_saves_a_pdf(self):
        app = self.app
        app.wait_for_window("NumbrookV1.6")
        app.tick_types(ARGS.types)
        app.enter("Text3", str(COUNT))

        app.click("Command7")
        s = app.wait(lambda st: any(w["visible"] and PRINT_QUESTION in w["texts"] for w in st["windows"]),
                     "the print question", timeout=60)
        self.assertEqual(text(s, "Label9"), "100%")
        question = next(w for w in s["windows"] if w["visible"] and PRINT_QUESTION in w["texts"])
        cancel = next(b for b in question["buttons"] if b["text"] in CANCEL_TEXTS)
        x, y, w, h = cancel["geometry"]
        self.display.xdotool("mousemove", "--sync", x + w // 2, y + h // 2, "click", "1")

        # The preview, with both sheets, not modal.
        s = app.wait(lambda st: window(st, PREVIEW) and text(st, "PageCountLabel") == "共2页",
                     "the preview with two pages", timeout=60)
        preview = window(s, PREVIEW)
        self.assertFalse(preview["modal"])
        self.assertIn("编号01", preview["title"])
        self.assertFalse(any(w["visible"] and w["modal"] for w in s["windows"]))
        self.display.screenshot(os.path.join(ARGS.artifacts, "preview.png"))

        # The drill window still takes clicks while the preview is open (no
        # window manager here: the test brings each window to the front).
        self.raise_window(r"^NumbrookV1\.6")
        box = "Check1(0)"
        was = s["widgets"][box]["checked"]
        app.click(box)
        app.wait(lambda st: st["widgets"][box]["checked"] != was, f"{box} to change")
        self.raise_window("练习纸预览")

        # 保存为PDF…: the documents folder and a dated, numbered name are offered.
        app.click("SavePdfButton")
        s = app.wait(lambda st: window(st, "SavePdfDialog") and visible(st, "fileNameEdit"),
                     "the save dialog")
        today = datetime.date.today().isoformat()
        self.assertEqual(text(s, "fileNameEdit"), f"口算练习-{today}-编号01.pdf")
        target = os.path.join(self.home, "sheets.pdf")
        app.click("fileNameEdit")
        app.wait(lambda st: st["focus"] == "fileNameEdit", "the focus in the file name")
        app.key("ctrl+a")
        app.type(target)
        app.wait(lambda st: text(st, "fileNameEdit") == target, "the typed file name")
        app.key("Return")
        desktop.wait_until(lambda: pdf_pages(target) == 2, "a two-page PDF", alive=app.alive)
        app.wait(lambda st: not window(st, "SavePdfDialog"), "the save dialog to close")

        # Closing the preview discards it; the program goes on.
        app.click("ClosePreviewButton")
        app.wait(lambda st: not window(st, PREVIEW), "the preview to close")
        app.alive()


def main():
    global ARGS
    parser = desktop.scenario_arguments(__doc__.splitlines()[0], "7")
    ARGS, rest = parser.parse_known_args()
    ARGS.artifacts = os.path.abspath(ARGS.artifacts)
    return desktop.run_scenario(rest, missing_requirements())


if __name__ == "__main__":
    sys.exit(main())
