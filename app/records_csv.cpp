// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/records_csv.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

#include "records/records_store.h"

namespace numbrook {

int writeRecordsCsv(int& argc, char** argv, const CommandLine& line)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("numbrook"));
    // No records yet: an empty table, and no records file made for it.
    const QString path = RecordsStore::defaultPath();
    RecordsStore store(QFileInfo::exists(path) ? path : QStringLiteral(":memory:"));
    if (!store.setAsidePath().isEmpty())
        std::fprintf(stderr, "numbrook: 练习记录文件无法读取，已改名为%s\n",
                     store.setAsidePath().toLocal8Bit().constData());
    if (!store.isOpen()) {
        std::fprintf(stderr, "numbrook: %s\n", store.lastError().toLocal8Bit().constData());
        return 1;
    }
    std::optional<std::string> pupil;
    if (!line.pupil.empty()) {
        pupil = line.pupil;
        const auto known = store.pupils();
        if (std::find(known.begin(), known.end(), line.pupil) == known.end())
            std::fprintf(stderr, "numbrook: 没有“%s”的练习记录\n", line.pupil.c_str());
    }
    if (!store.writeCsv(QString::fromStdString(line.csvPath), pupil)) {
        std::fprintf(stderr, "numbrook: %s\n", store.lastError().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

}  // namespace numbrook
