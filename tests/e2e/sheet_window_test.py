#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The sheet window ("练习纸"): opened by Ctrl+P and by an export kept open.

Ctrl+P on the drill window opens it with the drill's ticked types; one more
copy (an option changed) shows two sheets and their keys, and "保存为PDF…"
writes them under a dated, numbered name; the options survive a restart with
--sheet-window. An exercise sheet of 100 problems through the built-in host,
kept open (Cancel to the print question), shows in the same window, which
saves its two pages and closes while the program goes on. It needs
poppler-utils besides.
"""

import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile

import desktop
from desktop import CANCEL_TEXTS, no_modal, text, visible

COUNT = 100
SHEETS = "SheetWindow"


def pdf_pages(path):
    info = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    pages = re.search(r"^Pages:\s+(\d+)$", info, re.M)
    return int(pages.group(1)) if pages else None


def window(state, object_name):
    return next((w for w in state["windows"] if w["objectName"] == object_name and w["visible"]), None)


class SheetWindowTest(desktop.Scenario):

    def setUp(self):
        super().setUp()
        self.home = tempfile.mkdtemp(prefix="numbrook-e2e-home-")
        self.addCleanup(shutil.rmtree, self.home, True)
        self.documents = os.path.join(self.home, "Documents")
        os.makedirs(self.documents)

    def start(self, *args):
        return super().start(*args, extra_env={
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DOCUMENTS_DIR": self.documents})

    def raise_window(self, title_pattern):
        for wid in self.display.xdotool("search", "--onlyvisible", "--name", title_pattern).split():
            self.display.xdotool("windowraise", wid)

    def save_pdf(self, app, suggested, target, pages):
        """保存为PDF…: the documents folder and the suggested name, then the typed file."""
        app.click("SavePdfButton")
        s = app.wait(lambda st: window(st, "SavePdfDialog") and visible(st, "fileNameEdit"),
                     "the save dialog")
        self.assertEqual(text(s, "fileNameEdit"), suggested)
        app.enter("fileNameEdit", target)
        app.key("Return")
        desktop.wait_until(lambda: pdf_pages(target) == pages, f"a {pages}-page PDF", alive=app.alive)
        app.wait(lambda st: not window(st, "SavePdfDialog"), "the save dialog to close")

    def test_ctrl_p_opens_the_drill_types_and_saves_a_class_set(self):
        app = self.start("--sheets=builtin")
        app.wait_for_window("NumbrookV1.6", [2])
        app.key("ctrl+p")
        s = app.wait(lambda st: window(st, SHEETS) and st["widgets"]["Type(2)"]["checked"],
                     "the sheet window with the drill's type")
        self.assertEqual([t for t in range(9) if s["widgets"][f"Type({t})"]["checked"]], [2])

        # One more copy: two sheets, then their two keys.
        app.click("Copies", s)
        app.wait(lambda st: st["focus"] in ("Copies", "qt_spinbox_lineedit"), "the focus in 份数")
        app.key("Up")
        s = app.wait(lambda st: text(st, "PageCountLabel") == "2份练习纸和答案，共4页",
                     "two sheets and their keys")
        self.display.screenshot(os.path.join(self.artifacts, "sheet-window.png"))
        today = datetime.date.today().isoformat()
        target = os.path.join(self.home, "set.pdf")
        self.save_pdf(app, f"口算练习-{today}-编号01-02.pdf", target, 4)
        saved = subprocess.run(["pdftotext", "-raw", target, "-"], capture_output=True,
                               text=True).stdout
        self.assertEqual(saved.count("编号：01"), 2)
        self.assertEqual(saved.count("编号：02"), 2)

        # The options survive the program's end.
        app.close()
        again = self.start("--sheet-window")
        s = again.wait(lambda st: window(st, SHEETS), "the sheet window on its own")
        self.assertTrue(s["widgets"]["Type(2)"]["checked"])
        self.assertEqual(text(s, "Copies"), "2 份")

    def test_an_export_kept_open_shows_in_the_sheet_window(self):
        app = self.start("--sheets=builtin")
        app.wait_for_window("NumbrookV1.6", desktop.ARGS.types)
        s, question = app.export(COUNT, timeout=60)
        self.assertEqual(text(s, "Label9"), "100%")
        app.answer(question, CANCEL_TEXTS)

        # The export's own sheet, not modal, centred over the drill window.
        s = app.wait(lambda st: window(st, SHEETS) and text(st, "PageCountLabel") == "1份练习纸和答案，共2页",
                     "the sheet window with the export's sheet", timeout=60)
        sheets = window(s, SHEETS)
        self.assertFalse(sheets["modal"])
        self.assertIn("编号01", sheets["title"])
        self.assertTrue(no_modal(s))
        drill = window(s, "Form1")
        for axis in (0, 1):
            self.assertAlmostEqual(sheets["geometry"][axis] + sheets["geometry"][axis + 2] / 2,
                                   drill["geometry"][axis] + drill["geometry"][axis + 2] / 2,
                                   delta=40)
        self.display.screenshot(os.path.join(self.artifacts, "export-kept-open.png"))

        # The drill window still takes clicks while it is open (no window
        # manager here: the test brings each window to the front).
        self.raise_window(r"^NumbrookV1\.6")
        box = "Check1(0)"
        was = s["widgets"][box]["checked"]
        app.click(box)
        app.wait(lambda st: st["widgets"][box]["checked"] != was, f"{box} to change")
        self.raise_window("^练习纸")

        today = datetime.date.today().isoformat()
        self.save_pdf(app, f"口算练习-{today}-编号01.pdf", os.path.join(self.home, "sheets.pdf"), 2)

        # Closing it discards the sheets; the program goes on.
        app.click("CloseButton")
        app.wait(lambda st: not window(st, SHEETS), "the sheet window to close")
        app.alive()


if __name__ == "__main__":
    sys.exit(desktop.main(__doc__, "7", lambda: desktop.missing_tools("pdfinfo", "pdftotext")))
