// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A class set written as one PDF: each sheet of the set with its answer
// key, numbered 01, 02 … in both headers (export/sheet_page.h).

#include <vector>

#include "core/whole_file.h"
#include "export/sheet_page.h"

class QString;

namespace numbrook::builtin {

// Writes the pages to a PDF file whole or not at all (core/whole_file.h);
// when it can't be, the reason says why and a file already there is kept.
WriteResult writeClassSetPdf(const QString& path, const std::vector<Sheet>& set,
                             SetPages which = SetPages::SheetsThenKeys,
                             const SheetPageOptions& options = {});
// The same for any pages.
WriteResult writePagesPdf(const QString& path, const std::vector<PageText>& pages);

}  // namespace numbrook::builtin
