// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Paints pages laid out by export/page_layout.h.

#include <vector>

#include <QPageLayout>

#include "export/page_layout.h"

class QPagedPaintDevice;

namespace numbrook::builtin {

// A4 landscape with the sheet's margins.
QPageLayout sheetPageLayout();
// The page a page is printed on: the exercise document's, or a class set's
// upright or across.
QPageLayout pageLayoutOf(const PageText& page);

// Sets the device's page layout for each page and paints the pages in
// order. False when the device can't be painted on.
bool renderPages(QPagedPaintDevice& device, const std::vector<PageText>& pages);

// The pages as a PDF document in memory, under this title; empty when they
// can't be painted.
QByteArray pdfOf(const std::vector<PageText>& pages, const QString& title);

}  // namespace numbrook::builtin
