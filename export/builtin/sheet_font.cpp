// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/sheet_font.h"

#include <vector>

#include <QFontDatabase>
#include <QStringList>

#include "export/sheet_layout.h"
#include "export/document_host.h"
#include "export/document_path.h"

namespace numbrook::builtin {

namespace {

// Both faces or neither: a bold made up from the regular face would not be
// the document's title.
QString addSheetFaces()
{
    const QString family = QString::fromUtf8(kSheetFaceFamily);
    std::vector<int> added;
    bool complete = true;
    for (const char* file : kSheetFaceFiles) {
        int id = -1;
        try {
            id = QFontDatabase::addApplicationFont(QString::fromStdString(dataFilePath(file)));
        } catch (const HostError&) {
            // The program's folder is unknown: no face of its own.
        }
        if (id >= 0)
            added.push_back(id);
        if (id < 0 || !QFontDatabase::applicationFontFamilies(id).contains(family)) {
            complete = false;
            break;
        }
    }
    if (complete)
        return family;
    for (const int id : added)
        QFontDatabase::removeApplicationFont(id);
    return QString::fromUtf8(kSheetLayout.fontFamily);
}

}  // namespace

QString sheetFontFamily()
{
    static const QString family = addSheetFaces();
    return family;
}

}  // namespace numbrook::builtin
