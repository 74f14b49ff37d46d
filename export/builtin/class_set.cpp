// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/class_set.h"

#include <QFile>
#include <QFileInfo>

#include "core/version.h"
#include "export/builtin/sheet_renderer.h"

namespace numbrook::builtin {

WriteResult writeClassSetPdf(const QString& path, const std::vector<Sheet>& set, SetPages which,
                             const SheetPageOptions& options)
{
    return writePagesPdf(path, classSetPages(set, which, options));
}

WriteResult writePagesPdf(const QString& path, const std::vector<PageText>& pages)
{
    // Laid out in memory first: the file is written in one piece, every byte
    // accounted for, and a short write leaves the old file in place.
    const QByteArray pdf = pdfOf(pages, QFileInfo(path).completeBaseName());
    if (pdf.isEmpty())
        return {"无法生成PDF内容"};
    return writeWholeFile(QFile::encodeName(path).toStdString(),
                          std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
}

}  // namespace numbrook::builtin
