// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/class_set.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>

#include "core/version.h"
#include "export/builtin/sheet_renderer.h"

namespace numbrook::builtin {

WriteResult writeClassSetPdf(const QString& path, const std::vector<Sheet>& set,
                             SetPages which, const SheetPageOptions& options)
{
    return writePagesPdf(path, classSetPages(set, which, options));
}

WriteResult writePagesPdf(const QString& path, const std::vector<PageText>& pages)
{
    // Laid out in memory first: the file is written in one piece, every byte
    // accounted for, and a short write leaves the old file in place.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QString::fromUtf8(kProgramTitle));
        writer.setTitle(QFileInfo(path).completeBaseName());
        if (!renderPages(writer, pages))
            return {"无法生成PDF内容"};
    }
    return writeWholeFile(QFile::encodeName(path).toStdString(),
                          std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
}

}  // namespace numbrook::builtin
