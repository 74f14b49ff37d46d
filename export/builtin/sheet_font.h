// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The family the sheets are painted in.

#include <QString>

namespace numbrook::builtin {

// The file names of the program's own copy of the layout's CJK face, regular
// and bold, made by make_sheet_font.py: the same glyphs, without the radicals
// and other look-alike code points in its character map, so that the text of
// a sheet's PDF reads back as written. They lie beside the program in the
// build tree and in share/numbrook when installed.
inline constexpr const char* kSheetFaceFiles[] = {"numbrook-sheet-cjk-regular.otf",
                                                  "numbrook-sheet-cjk-bold.otf"};
inline constexpr const char* kSheetFaceFamily = "Numbrook Sheet CJK";

// kSheetFaceFamily, its files added to Qt's font database on the first call
// (the first sheet painted, not the program's start); the layout's system
// family (SheetLayout::fontFamily) where either file is missing or unusable.
QString sheetFontFamily();

}  // namespace numbrook::builtin
