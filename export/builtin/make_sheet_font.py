#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes the sheet's own copy of a CJK face, whose text reads back as written.

  make_sheet_font.py <collection or font file> <family in it> <output .otf>

Qt's PDF writer names each glyph by the lowest code point that the font
maps to it (its ToUnicode map). The CJK face maps the Kangxi radicals and
the CJK radicals to the glyphs of the ideographs they look like, so 口, 用
and 日 are read back from a PDF as U+2F1D, U+2F64 and U+2F47. The copy is
the face with those aliases taken out of its character map:

  - a code point of the CJK Radicals Supplement, the Kangxi Radicals or the
    CJK Compatibility Ideographs (and their supplement) whose glyph another
    code point also maps to;
  - a code point whose glyph is also that of a higher one among the CJK
    symbols and punctuation or the full-width forms (EM SPACE, the glyph of
    the ideographic space of the blanks "（　　）", and the like).

Nothing else changes: every glyph, its outline, metrics and layout tables
stay as they are (copied byte for byte), so that the sheet is laid out as
with the system's face. The family is renamed (the SIL Open Font License
keeps the original names for the original), and the copyright and licence
stay in the name table. The output is the same for the same input.
"""

import sys
from collections import defaultdict

from fontTools.ttLib import TTCollection, TTFont

FAMILY = "Numbrook Sheet CJK"
POSTSCRIPT = "NumbrookSheetCJK"

ALIAS_BLOCKS = (
    (0x2E80, 0x2EFF),  # CJK Radicals Supplement
    (0x2F00, 0x2FDF),  # Kangxi Radicals
    (0xF900, 0xFAFF),  # CJK Compatibility Ideographs
    (0x2F800, 0x2FA1F),  # CJK Compatibility Ideographs Supplement
)
PREFERRED_BLOCKS = (
    (0x3000, 0x303F),  # CJK Symbols and Punctuation
    (0xFF00, 0xFF60),  # full-width forms of ASCII
)


def within(code, blocks):
    return any(first <= code <= last for first, last in blocks)


def open_face(path, family, **options):
    """The face of the family in a collection or a single font file."""
    if path.endswith((".ttc", ".otc")):
        fonts = TTCollection(path, lazy=True, **options).fonts
    else:
        fonts = [TTFont(path, lazy=True, **options)]
    for font in fonts:
        if font["name"].getDebugName(1) == family:
            return font
    sys.exit(f"make_sheet_font: no face of the family {family!r} in {path}")


def aliases(cmap):
    """The code points to take out of a best character map {code: glyph}."""
    by_glyph = defaultdict(list)
    for code, glyph in cmap.items():
        by_glyph[glyph].append(code)
    dropped = set()
    for codes in by_glyph.values():
        if len(codes) < 2:
            continue
        if any(not within(code, ALIAS_BLOCKS) for code in codes):
            dropped.update(code for code in codes if within(code, ALIAS_BLOCKS))
        preferred = [code for code in codes if within(code, PREFERRED_BLOCKS)]
        if preferred:
            dropped.update(code for code in codes if code < min(preferred) and code not in preferred)
    return dropped


def rename(font):
    """The family and its names under the new name; the rest as it was."""
    name = font["name"]
    style = name.getDebugName(2) or "Regular"
    kept = [r for r in name.names if r.nameID not in (1, 2, 3, 4, 6, 16, 17, 18, 21, 22)]
    name.names = kept
    version = font["head"].fontRevision
    for name_id, text in (
        (1, FAMILY),
        (2, style),
        (3, f"{version:.3f};NUMBROOK;{POSTSCRIPT}-{style}"),
        (4, FAMILY if style == "Regular" else f"{FAMILY} {style}"),
        (6, f"{POSTSCRIPT}-{style}"),
        (10, "Noto Sans CJK SC with the Kangxi and CJK radicals, the CJK compatibility "
             "ideographs and other look-alike code points taken out of its character "
             "map, for Numbrook's exercise sheets."),
    ):
        name.setName(text, name_id, 3, 1, 0x409)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    source, family, output = sys.argv[1:]
    # The glyph order read from one copy, so that the other never loads its
    # CFF table and writes it out as it was.
    order = open_face(source, family).getGlyphOrder()
    font = open_face(source, family, recalcTimestamp=False, recalcBBoxes=False)
    font.setGlyphOrder(order)
    dropped = aliases(font.getBestCmap())
    for table in font["cmap"].tables:
        if table.format == 14:
            for selector, entries in table.uvsDict.items():
                table.uvsDict[selector] = [e for e in entries if e[0] not in dropped]
        elif table.isUnicode():
            for code in dropped & table.cmap.keys():
                del table.cmap[code]
    rename(font)
    font.save(output)
    print(f"make_sheet_font: {output}: {family} as {FAMILY!r}, "
          f"{len(dropped)} look-alike code points out of its character map")


if __name__ == "__main__":
    main()
