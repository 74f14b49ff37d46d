// SPDX-License-Identifier: GPL-3.0-or-later
// The practice records: the time to commit one attempt as the window does
// (its own transaction, synchronous FULL), and the bytes an attempt takes
// in the file once the log is checkpointed.
//   records_bench [attempts, default 2000] [folder, default the temporary folder]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "records/records_store.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 2000;
    QTemporaryDir dir(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/records-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/records-XXXXXX"));
    const QString path = dir.path() + QStringLiteral("/records.sqlite");
    std::vector<double> ms;
    {
        numbrook::RecordsStore store(path);
        if (!store.isOpen()) {
            std::fprintf(stderr, "%s\n", store.lastError().toLocal8Bit().constData());
            return 1;
        }
        const numbrook::LocalTime at{2026, 12, 8, 9, 30, 0, 0};
        int session = store.startSession("小明", 0, "表内乘法 20题", at);
        for (int i = 0; i < n; ++i) {
            if (i % 20 == 0)
                session = store.startSession("小明", 0, "表内乘法 20题", at);
            numbrook::RecordedAttempt a;
            a.problem.type = 6;
            a.problem.operands = {i % 9 + 1, i / 9 % 9 + 1, 0};
            a.problem.operators = {numbrook::Operator::Multiply, numbrook::Operator::Add};
            a.problem.result = a.problem.operands[0] * a.problem.operands[1];
            a.given = std::to_string(a.problem.result + (i % 7 == 0 ? 1 : 0));
            a.right = i % 7 != 0;
            a.ms = 1500 + i % 4000;
            a.at = at;
            QElapsedTimer t;
            t.start();
            if (!store.addAttempt(session, a))
                return 1;
            ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("b"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("b"));
    std::sort(ms.begin(), ms.end());
    const double bytes = static_cast<double>(QFileInfo(path).size());
    std::printf("%d attempts in %s\ncommit: median %.2f ms, 95th percentile %.2f ms, max %.2f ms\n"
                "file: %.0f bytes, %.1f bytes an attempt\n",
                n, qPrintable(dir.path()), ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back(),
                bytes, bytes / n);
    return 0;
}
