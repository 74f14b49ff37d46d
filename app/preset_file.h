// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The presets that ship with the program, read from their file when asked.

#include <vector>

#include "generator/presets.h"

namespace numbrook {

// The presets of the file beside the program or installed with it. Throws
// PresetError, naming the file, when it can't be read or has a fault.
std::vector<Preset> shippedPresets();

}  // namespace numbrook
