// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Presets by textbook unit: a class set's types and counts, its form and
// the page the grade's sheets are set on, read from the presets file that
// ships with the program (presets.ini, beside the program in the build tree,
// in share/numbrook installed). Types are named by caption, so that rows of
// the table may move.
//
//   # a comment
//   [一年级上册 6～10的加减法]
//   edition = 人教版
//   page = portrait            (or landscape)
//   form = mixed               (result, blank or mixed)
//   10以内的加法 = 10            (a type's caption = its problems on a sheet)

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "generator/sheet_set.h"

namespace numbrook {

struct Preset {
    std::string name;         // "一年级上册 6～10的加减法"
    std::string edition;      // "人教版"; empty when the file does not say
    SheetSetOptions options;  // counts per type and the form; one copy
    PageOrientation page = PageOrientation::Landscape;
};

// What is wrong with a presets file, with its line: "第12行：……".
class PresetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The presets of a file's text, in its order. Throws PresetError at the
// first fault: a line outside a preset or without "=", an unknown setting
// or caption, a type named twice, a count of 0 or over 100 or a total over
// 100, a preset without types, a name given twice.
std::vector<Preset> loadPresets(std::string_view text);

// The preset of that name, or null.
const Preset* findPreset(const std::vector<Preset>& presets, std::string_view name);

}  // namespace numbrook
