// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the export has typed into the built-in host's sheets, addressed as
// the exercise document's four tables are.

#include <array>
#include <string>

#include "export/document_host.h"
#include "export/export_steps.h"

namespace numbrook::builtin {

class FilledSheets {
public:
    static constexpr int kTables = 4;

    // Rows and columns of table k (1..4): the headers have one cell, the grids 10 × 10.
    static int sideOf(int table) { return table % 2 == 1 ? 1 : kGridSide; }

    // Throws HostError when the document has no such cell.
    static void checkCell(int table, int row, int column)
    {
        if (table < 1 || table > kTables || row < 1 || row > sideOf(table) || column < 1 ||
            column > sideOf(table)) {
            throw HostError("练习纸上没有表格" + std::to_string(table) + "的单元格(" +
                                std::to_string(row) + "," + std::to_string(column) + ")",
                            HostFailure::DocumentUnusable);
        }
    }

    const std::string& text(int table, int row, int column) const
    {
        checkCell(table, row, column);
        return cells_[table - 1][(row - 1) * kGridSide + (column - 1)];
    }

    void setText(int table, int row, int column, std::string value)
    {
        checkCell(table, row, column);
        cells_[table - 1][(row - 1) * kGridSide + (column - 1)] = std::move(value);
    }

private:
    std::array<std::array<std::string, kGridSide * kGridSide>, kTables> cells_{};
};

}  // namespace numbrook::builtin
