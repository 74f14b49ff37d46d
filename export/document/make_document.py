#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the exercise document's source 式题导出.fodt and converts it to
式题导出.doc (Word 97) with LibreOffice.

    python3 export/document/make_document.py            # both files
    python3 export/document/make_document.py --fodt-only

Layout: A4 landscape. Page 1 is the problem sheet: a title line, table 1
(one cell: the header line), the teacher's line (a paragraph with blanks for
name, class, time and score), table 2 (10 x 10 grid). Page 2 is the answer
sheet with tables 3 and 4 alike. A paragraph stands between consecutive
tables (Word would merge them otherwise) and page 2 starts with a paragraph
that has a page break before it. The program's built-in sheet
(export/sheet_layout.h) repeats these figures.
"""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
NAME = "式题导出"
FONT = "Noto Sans CJK SC"

PAGE_WIDTH_CM = 29.7
PAGE_HEIGHT_CM = 21.0
MARGIN_SIDE_CM = 0.8
MARGIN_TOP_CM = 1.0
TABLE_WIDTH_CM = PAGE_WIDTH_CM - 2 * MARGIN_SIDE_CM
GRID_SIDE = 10
GRID_ROW_CM = 1.6
TEACHER_LINE = "姓名：______ 班级：______ 用时：______ 得分：______"

HEAD = f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:font-face-decls>
  <style:font-face style:name="{FONT}" svg:font-family="&apos;{FONT}&apos;" style:font-family-generic="swiss" style:font-pitch="variable"/>
 </office:font-face-decls>
 <office:styles>
  <style:default-style style:family="paragraph">
   <style:paragraph-properties fo:margin-top="0cm" fo:margin-bottom="0cm"/>
   <style:text-properties style:font-name="{FONT}" style:font-name-asian="{FONT}" style:font-name-complex="{FONT}"
    fo:font-size="10.5pt" style:font-size-asian="10.5pt" style:font-size-complex="10.5pt"
    fo:language="zh" fo:country="CN" style:language-asian="zh" style:country-asian="CN"/>
  </style:default-style>
  <style:style style:name="Standard" style:family="paragraph" style:class="text"/>
  <style:style style:name="SheetTitle" style:family="paragraph" style:parent-style-name="Standard">
   <style:paragraph-properties fo:text-align="center" fo:margin-bottom="0.15cm"/>
   <style:text-properties fo:font-size="16pt" style:font-size-asian="16pt" style:font-size-complex="16pt"
    fo:font-weight="bold" style:font-weight-asian="bold" style:font-weight-complex="bold"/>
  </style:style>
  <style:style style:name="HeaderCell" style:family="paragraph" style:parent-style-name="Standard">
   <style:text-properties fo:font-size="10.5pt" style:font-size-asian="10.5pt" style:font-size-complex="10.5pt"/>
  </style:style>
  <style:style style:name="GridCell" style:family="paragraph" style:parent-style-name="Standard">
   <style:text-properties fo:font-size="10.5pt" style:font-size-asian="10.5pt" style:font-size-complex="10.5pt"/>
  </style:style>
  <style:style style:name="TeacherLine" style:family="paragraph" style:parent-style-name="Standard">
   <style:paragraph-properties fo:margin-top="0.1cm" fo:margin-bottom="0.1cm"/>
   <style:text-properties fo:font-size="10.5pt" style:font-size-asian="10.5pt" style:font-size-complex="10.5pt"/>
  </style:style>
  <style:style style:name="Gap" style:family="paragraph" style:parent-style-name="Standard">
   <style:text-properties fo:font-size="6pt" style:font-size-asian="6pt" style:font-size-complex="6pt"/>
  </style:style>
 </office:styles>
 <office:automatic-styles>
  <style:page-layout style:name="Landscape">
   <style:page-layout-properties fo:page-width="{PAGE_WIDTH_CM}cm" fo:page-height="{PAGE_HEIGHT_CM}cm"
    style:print-orientation="landscape" fo:margin-left="{MARGIN_SIDE_CM}cm" fo:margin-right="{MARGIN_SIDE_CM}cm"
    fo:margin-top="{MARGIN_TOP_CM}cm" fo:margin-bottom="{MARGIN_TOP_CM}cm"/>
  </style:page-layout>
  <style:style style:name="FirstTitle" style:family="paragraph" style:parent-style-name="SheetTitle" style:master-page-name="Standard"/>
  <style:style style:name="BreakTitle" style:family="paragraph" style:parent-style-name="SheetTitle">
   <style:paragraph-properties fo:break-before="page"/>
  </style:style>
  <style:style style:name="HeaderTable" style:family="table">
   <style:table-properties style:width="{TABLE_WIDTH_CM:.2f}cm" table:align="left"/>
  </style:style>
  <style:style style:name="HeaderTable.A" style:family="table-column">
   <style:table-column-properties style:column-width="{TABLE_WIDTH_CM:.2f}cm"/>
  </style:style>
  <style:style style:name="HeaderTable.A1" style:family="table-cell">
   <style:table-cell-properties style:vertical-align="middle" fo:padding="0.08cm" fo:border="0.5pt solid #000000"/>
  </style:style>
  <style:style style:name="GridTable" style:family="table">
   <style:table-properties style:width="{TABLE_WIDTH_CM:.2f}cm" table:align="left"/>
  </style:style>
  <style:style style:name="GridTable.A" style:family="table-column">
   <style:table-column-properties style:column-width="{TABLE_WIDTH_CM / GRID_SIDE:.3f}cm"/>
  </style:style>
  <style:style style:name="GridTable.1" style:family="table-row">
   <style:table-row-properties style:row-height="{GRID_ROW_CM}cm" fo:keep-together="always"/>
  </style:style>
  <style:style style:name="GridTable.A1" style:family="table-cell">
   <style:table-cell-properties style:vertical-align="top" fo:padding-left="0.05cm" fo:padding-right="0cm"
    fo:padding-top="0.05cm" fo:padding-bottom="0.05cm" fo:border="0.5pt solid #000000"/>
  </style:style>
 </office:automatic-styles>
 <office:master-styles>
  <style:master-page style:name="Standard" style:page-layout-name="Landscape"/>
 </office:master-styles>
 <office:body>
  <office:text>
"""

TAIL = """  </office:text>
 </office:body>
</office:document>
"""


def header_table(name):
    return (f'   <table:table table:name="{name}" table:style-name="HeaderTable">\n'
            '    <table:table-column table:style-name="HeaderTable.A"/>\n'
            '    <table:table-row><table:table-cell table:style-name="HeaderTable.A1" office:value-type="string">'
            '<text:p text:style-name="HeaderCell"/></table:table-cell></table:table-row>\n'
            '   </table:table>\n')


def grid_table(name):
    cell = ('<table:table-cell table:style-name="GridTable.A1" office:value-type="string">'
            '<text:p text:style-name="GridCell"/></table:table-cell>')
    row = f'    <table:table-row table:style-name="GridTable.1">{cell * GRID_SIDE}</table:table-row>\n'
    return (f'   <table:table table:name="{name}" table:style-name="GridTable">\n'
            f'    <table:table-column table:style-name="GridTable.A" table:number-columns-repeated="{GRID_SIDE}"/>\n'
            + row * GRID_SIDE +
            '   </table:table>\n')


def gap():
    return '   <text:p text:style-name="Gap"/>\n'


def teacher_line():
    return f'   <text:p text:style-name="TeacherLine">{TEACHER_LINE}</text:p>\n'


def document():
    return (HEAD
            + '   <text:p text:style-name="FirstTitle">口算练习</text:p>\n'
            + header_table("ProblemHeader") + teacher_line() + grid_table("ProblemGrid")
            + '   <text:p text:style-name="BreakTitle">答案</text:p>\n'
            + header_table("AnswerHeader") + teacher_line() + grid_table("AnswerGrid")
            + gap()
            + TAIL)


def convert(fodt):
    soffice = shutil.which("soffice") or "/usr/lib/libreoffice/program/soffice"
    with tempfile.TemporaryDirectory() as profile:
        subprocess.run([soffice, f"-env:UserInstallation=file://{profile}", "--headless", "--norestore",
                        "--convert-to", "doc:MS Word 97", "--outdir", HERE, fodt],
                       check=True, stdout=subprocess.DEVNULL)


def main():
    fodt = os.path.join(HERE, NAME + ".fodt")
    with open(fodt, "w", encoding="utf-8") as out:
        out.write(document())
    if "--fodt-only" not in sys.argv:
        convert(fodt)
    return 0


if __name__ == "__main__":
    sys.exit(main())
