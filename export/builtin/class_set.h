// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A class set written as one PDF: each sheet of the set with its answer
// key, numbered 01, 02 … in both headers (export/sheet_page.h).

#include <vector>

#include "export/sheet_page.h"

class QString;

namespace numbrook::builtin {

// Writes the pages to a PDF file, through a temporary file that takes the
// file's name only once it is whole. False when it can't be written.
bool writeClassSetPdf(const QString& path, const std::vector<Sheet>& set,
                      SetPages which = SetPages::SheetsThenKeys);
// The same for any pages.
bool writePagesPdf(const QString& path, const std::vector<PageText>& pages);

}  // namespace numbrook::builtin
