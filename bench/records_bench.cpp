// SPDX-License-Identifier: GPL-3.0-or-later
// The practice records: the time to commit one attempt as the window does
// (its own transaction, synchronous FULL), the bytes an attempt takes in the
// file once the log is checkpointed, and the time to open the records
// window (记录) of a pupil with 100,000 attempts, from its making to its
// chart painted (headless unless QT_QPA_PLATFORM says otherwise).
//   records_bench [attempts, default 2000] [folder, default the temporary folder]
#include <QApplication>
#include <QChartView>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/records_window.h"
#include "bench/median.h"
#include "records/records_store.h"
#include "tests/support/fakes.h"

namespace {

constexpr int kViewAttempts = 100'000;

// Fills the records at path with kViewAttempts attempts of one pupil: 20 a
// session, five sessions a day over 1,000 days, the nine types in turn.
bool fill(const QString& path)
{
    { numbrook::RecordsStore store(path); }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        ok = q.exec(QStringLiteral("BEGIN")) &&
             q.exec(QStringLiteral("INSERT INTO pupils (name) VALUES ('小明')"));
        const int64_t day0 = QDateTime(QDate(2024, 3, 1), QTime(9, 0)).toSecsSinceEpoch();
        QSqlQuery session(db);
        session.prepare(QStringLiteral("INSERT INTO sessions (pupil, started, kind, what)"
                                       " VALUES (1, ?, 0, '口算 20题')"));
        QSqlQuery attempt(db);
        attempt.prepare(QStringLiteral(
            "INSERT INTO attempts (session, type, n, a, b, c, ops, result, remainder, blank,"
            " answer, right, ms, at) VALUES (?, ?, 2, ?, ?, 0, 0, ?, 0, -1, ?, ?, ?, ?)"));
        for (int s = 0; ok && s < kViewAttempts / 20; ++s) {
            const int64_t started = day0 + (s / 5) * 86400 + (s % 5) * 3600;
            session.addBindValue(QVariant::fromValue<qint64>(started));
            ok = session.exec();
            const qint64 id = session.lastInsertId().toLongLong();
            for (int i = 0; ok && i < 20; ++i) {
                const int a = (s + i) % 9 + 1, b = i % 9 + 1;
                const bool right = (s * 20 + i) % 7 != 0;
                for (const QVariant& v :
                     {QVariant(id), QVariant(s % 9), QVariant(a), QVariant(b), QVariant(a + b),
                      QVariant(QString::number(right ? a + b : a + b + 1)), QVariant(right ? 1 : 0),
                      QVariant(1500 + (s * 20 + i) % 4000), QVariant::fromValue<qint64>(started + i * 5)})
                    attempt.addBindValue(v);
                ok = attempt.exec();
            }
        }
        ok = ok && q.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

// Paint events seen by the chart.
class PaintWatch final : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
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

    // The records window of a pupil with 100,000 attempts.
    const QString many = dir.path() + QStringLiteral("/many.sqlite");
    if (!fill(many)) {
        std::fprintf(stderr, "could not fill %s\n", qPrintable(many));
        return 1;
    }
    numbrook::RecordsStore store(many);
    numbrook::testing::ScriptedBoxes boxes;
    std::vector<double> open;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        numbrook::RecordsWindow window(boxes, store, "小明");
        PaintWatch watch;
        window.chartView->viewport()->installEventFilter(&watch);
        window.show();
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        open.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::printf("records window of %d attempts, made to chart painted: first %.0f ms, median %.0f ms,"
                " max %.0f ms\n",
                kViewAttempts, open.front(), numbrook::bench::median(open),
                *std::max_element(open.begin(), open.end()));
    return 0;
}
