// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/class_set.h"

#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>

#include "core/version.h"
#include "export/builtin/sheet_renderer.h"

namespace numbrook::builtin {

bool writeClassSetPdf(const QString& path, const std::vector<Sheet>& set, SetPages which)
{
    return writePagesPdf(path, classSetPages(set, which));
}

bool writePagesPdf(const QString& path, const std::vector<PageText>& pages)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QString::fromUtf8(kProgramTitle));
        writer.setTitle(QFileInfo(path).completeBaseName());
        if (!renderPages(writer, pages)) {
            file.cancelWriting();
        }
    }
    return file.commit();
}

}  // namespace numbrook::builtin
