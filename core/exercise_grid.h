// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exercise document's grids: 10 × 10 cells, one problem each. An
// export run makes at most as many problems as a grid holds.

namespace numbrook {

inline constexpr int kGridSide = 10;
inline constexpr int kGridCells = kGridSide * kGridSide;

}  // namespace numbrook
