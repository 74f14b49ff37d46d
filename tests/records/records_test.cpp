// SPDX-License-Identifier: GPL-3.0-or-later
// The practice records: a round trip from whatever file is found (none, an
// empty one, a broken one, one of a newer program), two programs writing at
// once, a writer that holds the file, and a program killed while it writes.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <signal.h>

#include <fstream>
#include <functional>
#include <ostream>
#include <tuple>

#include "records/records_store.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

using testing::TempFolder;

const LocalTime kMorning{2026, 12, 8, 9, 30, 0, 0};

RecordedAttempt attempt(int a, Operator op, int b, int result, int remainder, int8_t blank,
                        const char* given, bool right, int ms)
{
    RecordedAttempt r;
    r.problem.type = 8;
    r.problem.operands = {a, b, 0};
    r.problem.operators = {op, Operator::Add};
    r.problem.result = result;
    r.problem.remainder = remainder;
    r.problem.blank = blank;
    r.given = given;
    r.right = right;
    r.ms = ms;
    r.at = kMorning;
    return r;
}

// Runs sql on the file through a connection of its own.
void onTheSide(const QString& path, const std::function<void(QSqlQuery&)>& sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("side"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        sql(q);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("side"));
}

// A file found where the records go, and what opening it does.
struct Found {
    const char* name;
    std::function<void(const QString& path)> make;
    bool opens;
    bool setAside;
    friend void PrintTo(const Found& c, std::ostream* out) { *out << c.name; }
};

class RecordsFileTest : public ::testing::TestWithParam<Found> {};

TEST_P(RecordsFileTest, OpensAndKeepsWhatIsWritten)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        GTEST_SKIP() << "no SQLite driver for Qt (libqt6sql6-sqlite)";
    TempFolder home;
    const QString path = QString::fromStdString(home.file("data/numbrook/records.sqlite"));
    QDir().mkpath(QFileInfo(path).path());
    GetParam().make(path);
    const QByteArray before = QFile::exists(path) ? [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }() : QByteArray();

    RecordsStore store(path);
    ASSERT_EQ(store.isOpen(), GetParam().opens) << store.lastError().toStdString();
    if (!GetParam().opens) {
        EXPECT_TRUE(store.lastError().contains(QStringLiteral("较新版本")));
        EXPECT_FALSE(store.addAttempt(store.startSession("小明", 0, "x", kMorning),
                                      attempt(12, Operator::Divide, 3, 4, 0, kNoBlank, "4", true, 1)));
        return;
    }
    if (GetParam().setAside) {
        ASSERT_TRUE(store.setAsidePath().startsWith(path + QStringLiteral(".broken-")));
        QFile old(store.setAsidePath());
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), before);
    } else {
        EXPECT_TRUE(store.setAsidePath().isEmpty());
    }

    const std::vector<RecordedAttempt> written{
        attempt(17, Operator::Divide, 5, 3, 2, kNoBlank, "3……2", true, 2100),
        attempt(8, Operator::Add, 7, 15, 0, 1, "6", false, 5400),
        attempt(8, Operator::Add, 7, 15, 0, 1, "\"7,\"", false, 800)};
    const int first = store.startSession("小明", 0, "表内除法 3题", kMorning);
    const int second = store.startSession("小红, 二班", 2, "错题重练", kMorning);
    EXPECT_TRUE(store.addAttempt(first, written[0]));
    EXPECT_TRUE(store.addAttempt(first, written[1]));
    EXPECT_TRUE(store.addAttempt(second, written[2]));

    // Read back by another opening, as the next start of the program does.
    RecordsStore again(path);
    ASSERT_TRUE(again.isOpen());
    EXPECT_EQ(again.pupils(), (std::vector<std::string>{"小明", "小红, 二班"}));
    const auto history = again.history("小明");
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].problem, written[0].problem);
    EXPECT_EQ(history[1].problem, written[1].problem);
    EXPECT_EQ(history[1].ms, 5400);
    EXPECT_FALSE(history[1].right);
    EXPECT_EQ(again.history("小红, 二班").front().kind, 2);
    const auto sessions = again.sessions("小明");
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].what, "表内除法 3题");
    EXPECT_EQ(sessions[0].count, 2);
    EXPECT_EQ(sessions[0].right, 1);
    EXPECT_EQ(sessions[0].ms, 7500);
    EXPECT_EQ(sessions[0].started.hour, 9);
    const auto days = again.daysByType("小明");
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(std::tie(days[0].year, days[0].month, days[0].day, days[0].type, days[0].count,
                       days[0].right, days[0].ms),
              std::make_tuple(2026, 12, 8, 8, 2, 1, int64_t{7500}));
    const auto missed = again.mostMissed("小明", 5);
    ASSERT_EQ(missed.size(), 1u);
    EXPECT_EQ(missed[0].problem, written[1].problem);

    onTheSide(path, [](QSqlQuery& q) {
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA user_version")) && q.next());
        EXPECT_EQ(q.value(0).toInt(), RecordsStore::kSchemaVersion);
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
        EXPECT_EQ(q.value(0).toString(), QStringLiteral("wal"));
    });

    const QString csv = QString::fromStdString(home.file("all.csv"));
    ASSERT_TRUE(again.writeCsv(csv, std::nullopt));
    const std::string text = testing::readAll(csv.toStdString());
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF学生,", 0), 0u);
    EXPECT_NE(text.find("小明,2026-12-08 09:30:00,1,2026-12-08 09:30:00,表内除法,"
                        "17÷5=,17÷5=3……2,3……2,对,2100\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"小红, 二班\""), std::string::npos);
    EXPECT_NE(text.find(",\"\"\"7,\"\"\",错,"), std::string::npos);
    ASSERT_TRUE(again.writeCsv(csv, "小明"));
    EXPECT_EQ(testing::readAll(csv.toStdString()).find("小红"), std::string::npos);
    EXPECT_FALSE(again.writeCsv(QString::fromStdString(home.file("no/such/folder.csv")), "小明"));
}

INSTANTIATE_TEST_SUITE_P(
    Found, RecordsFileTest,
    ::testing::Values(
        Found{"None", [](const QString& path) { QDir(QFileInfo(path).path()).removeRecursively(); },
              true, false},
        // An empty file is a database of version 0: the migration makes version 1 of it.
        Found{"EmptyOfVersion0", [](const QString& path) { QFile(path).open(QIODevice::WriteOnly); },
              true, false},
        // The first schema: migrated in place.
        Found{"OfVersion1",
              [](const QString& path) {
                  onTheSide(path, [](QSqlQuery& q) {
                      for (const char* sql :
                           {"CREATE TABLE pupils (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE)",
                            "CREATE TABLE sessions (id INTEGER PRIMARY KEY, pupil INTEGER NOT NULL,"
                            " started INTEGER NOT NULL, kind INTEGER NOT NULL, what TEXT NOT NULL)",
                            "CREATE INDEX sessions_by_pupil ON sessions(pupil)",
                            "CREATE TABLE attempts (session INTEGER NOT NULL, type INTEGER NOT NULL,"
                            " n INTEGER NOT NULL, a INTEGER NOT NULL, b INTEGER NOT NULL,"
                            " c INTEGER NOT NULL, ops INTEGER NOT NULL, result INTEGER NOT NULL,"
                            " remainder INTEGER NOT NULL, blank INTEGER NOT NULL, answer TEXT NOT NULL,"
                            " right INTEGER NOT NULL, ms INTEGER NOT NULL, at INTEGER NOT NULL)",
                            "CREATE INDEX attempts_by_session ON attempts(session)",
                            "PRAGMA user_version=1"})
                          ASSERT_TRUE(q.exec(QString::fromLatin1(sql)));
                  });
              },
              true, false},
        Found{"Garbage",
              [](const QString& path) {
                  QFile f(path);
                  f.open(QIODevice::WriteOnly);
                  f.write(QByteArray(5000, 'x'));
              },
              true, true},
        Found{"TruncatedDatabase",
              [](const QString& path) {
                  {
                      RecordsStore store(path);
                      store.addAttempt(store.startSession("x", 0, "", kMorning), {});
                  }
                  onTheSide(path, [](QSqlQuery& q) {
                      for (int i = 0; i < 50; ++i)
                          q.exec(QStringLiteral("INSERT INTO pupils (name) VALUES ('%1')")
                                     .arg(QString(200, QLatin1Char(static_cast<char>('a' + i % 26))) + QString::number(i)));
                      q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
                  });
                  QFile f(path);
                  f.resize(f.size() / 2 + 100);
              },
              true, true},
        Found{"OfANewerProgram",
              [](const QString& path) {
                  onTheSide(path, [](QSqlQuery& q) { q.exec(QStringLiteral("PRAGMA user_version=99")); });
              },
              false, false}));

TEST(RecordsTest, TheFolderIsTheUsersAlone)
{
    TempFolder home;
    const QString folder = QString::fromStdString(home.file("numbrook"));
    RecordsStore store(folder + QStringLiteral("/records.sqlite"));
    ASSERT_TRUE(store.isOpen());
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, 0);  // nothing for group and others
}

int countRows(const QString& path, const std::string& pupil)
{
    RecordsStore store(path);
    return static_cast<int>(store.history(pupil).size());
}

TEST(RecordsTest, TwoProgramsWriteAtOnceAndLoseNothing)
{
    TempFolder home;
    const QString path = QString::fromStdString(home.file("records.sqlite"));
    RecordsStore store(path);
    QProcess other;
    other.start(QStringLiteral(NUMBROOK_RECORDS_WRITER), {path, QStringLiteral("乙"), QStringLiteral("300")});
    ASSERT_TRUE(other.waitForStarted());
    const int session = store.startSession("甲", 0, "", kMorning);
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(store.addAttempt(session, attempt(12, Operator::Divide, 3, 4, 0, kNoBlank, "4", true, i)))
            << store.lastError().toStdString();
    ASSERT_TRUE(other.waitForFinished(60000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    EXPECT_EQ(countRows(path, "甲"), 300);
    EXPECT_EQ(countRows(path, "乙"), 300);
}

TEST(RecordsTest, AnAttemptThatCannotBeWrittenIsKeptForTheNext)
{
    TempFolder home;
    const QString path = QString::fromStdString(home.file("records.sqlite"));
    RecordsStore store(path, 50);
    const int session = store.startSession("甲", 0, "", kMorning);
    const RecordedAttempt a = attempt(12, Operator::Divide, 3, 4, 0, kNoBlank, "4", true, 1);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery hold(db);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
        EXPECT_FALSE(store.addAttempt(session, a));
        EXPECT_FALSE(store.lastError().isEmpty());
        EXPECT_EQ(store.pendingCount(), 1);
        ASSERT_TRUE(hold.exec(QStringLiteral("COMMIT")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    EXPECT_TRUE(store.addAttempt(session, a));
    EXPECT_EQ(store.pendingCount(), 0);
    EXPECT_TRUE(store.lastError().isEmpty());
    EXPECT_EQ(countRows(path, "甲"), 2);
}

// A program killed (SIGKILL) while it writes: every attempt it reported as
// committed is there, and the file opens as it is.
TEST(RecordsTest, KilledMidPracticeLosesNoAnsweredAttempt)
{
    TempFolder home;
    const QString path = QString::fromStdString(home.file("records.sqlite"));
    for (int round = 0; round < 3; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(NUMBROOK_RECORDS_WRITER),
                     {path, QStringLiteral("丙%1").arg(round), QStringLiteral("100000")});
        ASSERT_TRUE(writer.waitForStarted());
        int reported = 0;
        while (reported < 40 + 30 * round && writer.waitForReadyRead(30000)) {
            while (writer.canReadLine())
                reported = writer.readLine().trimmed().toInt();
        }
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        ASSERT_TRUE(writer.waitForFinished(30000));
        for (const QByteArray& line : writer.readAllStandardOutput().split('\n'))
            reported = std::max(reported, line.trimmed().toInt());
        ASSERT_GT(reported, 0);

        RecordsStore after(path);
        ASSERT_TRUE(after.isOpen()) << after.lastError().toStdString();
        EXPECT_TRUE(after.setAsidePath().isEmpty());
        const int rows = countRows(path, "丙" + std::to_string(round));
        EXPECT_GE(rows, reported);
        EXPECT_LE(rows, reported + 1);  // committed, killed before it said so
    }
}

}  // namespace
}  // namespace numbrook
