// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/records_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <atomic>

#include "generator/problem_text.h"
#include "generator/problem_types.h"

namespace numbrook {

namespace {

// The steps from each version to the next; kSchemaVersion of them.
const char* const kMigrations[][6] = {
    // 0 → 1: pupils, their sessions, and each attempt as numbers.
    {"CREATE TABLE pupils (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE)",
     "CREATE TABLE sessions (id INTEGER PRIMARY KEY,"
     " pupil INTEGER NOT NULL REFERENCES pupils(id), started INTEGER NOT NULL,"
     " kind INTEGER NOT NULL, what TEXT NOT NULL)",
     "CREATE INDEX sessions_by_pupil ON sessions(pupil)",
     // ops: the first operator in bits 0–1, the second in bits 2–3.
     "CREATE TABLE attempts (session INTEGER NOT NULL REFERENCES sessions(id),"
     " type INTEGER NOT NULL, n INTEGER NOT NULL, a INTEGER NOT NULL, b INTEGER NOT NULL,"
     " c INTEGER NOT NULL, ops INTEGER NOT NULL, result INTEGER NOT NULL,"
     " remainder INTEGER NOT NULL, blank INTEGER NOT NULL, answer TEXT NOT NULL,"
     " right INTEGER NOT NULL, ms INTEGER NOT NULL, at INTEGER NOT NULL)",
     "CREATE INDEX attempts_by_session ON attempts(session)", nullptr},
    // 1 → 2: the attempts summed a session and type as they are written,
    // for the records window, which then reads a row a session and type
    // instead of every attempt; and the wrong attempts by session, for the
    // problems most often missed.
    {"CREATE TABLE session_types (session INTEGER NOT NULL REFERENCES sessions(id),"
     " type INTEGER NOT NULL, n INTEGER NOT NULL, right INTEGER NOT NULL, ms INTEGER NOT NULL,"
     " PRIMARY KEY (session, type)) WITHOUT ROWID",
     "INSERT INTO session_types SELECT session, type, count(*), total(right), total(ms)"
     " FROM attempts GROUP BY session, type",
     "CREATE TRIGGER attempts_summed AFTER INSERT ON attempts BEGIN"
     " INSERT INTO session_types VALUES (NEW.session, NEW.type, 1, NEW.right, NEW.ms)"
     " ON CONFLICT (session, type) DO UPDATE SET n = n + 1, right = right + excluded.right,"
     " ms = ms + excluded.ms; END",
     "CREATE INDEX attempts_wrong_by_session ON attempts(session) WHERE right = 0", nullptr},
};
static_assert(std::size(kMigrations) == RecordsStore::kSchemaVersion);

// SQLite's primary result codes that mean the file is no database of ours.
constexpr int kCorrupt = 11;
constexpr int kNotADatabase = 26;

int sqliteCode(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : 0;
}

int64_t secondsOf(const LocalTime& t)
{
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second))
        .toSecsSinceEpoch();
}

LocalTime localTimeOf(int64_t seconds)
{
    const QDateTime t = QDateTime::fromSecsSinceEpoch(seconds);
    return {t.date().year(),  t.date().month(),  t.date().day(),
            t.time().hour(),  t.time().minute(), t.time().second(), 0};
}

QString dateText(const LocalTime& t)
{
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(t.year)
        .arg(t.month, 2, 10, QLatin1Char('0'))
        .arg(t.day, 2, 10, QLatin1Char('0'))
        .arg(t.hour, 2, 10, QLatin1Char('0'))
        .arg(t.minute, 2, 10, QLatin1Char('0'))
        .arg(t.second, 2, 10, QLatin1Char('0'));
}

// The columns of a problem in the attempts table, in order.
constexpr const char* kProblemColumns = "type, n, a, b, c, ops, result, remainder, blank";

Problem problemFrom(const QSqlQuery& q, int first)
{
    Problem p;
    p.type = static_cast<int16_t>(q.value(first).toInt());
    p.count = static_cast<int8_t>(q.value(first + 1).toInt());
    for (int i = 0; i < 3; ++i)
        p.operands[static_cast<size_t>(i)] = q.value(first + 2 + i).toInt();
    const int ops = q.value(first + 5).toInt();
    p.operators = {static_cast<Operator>(ops & 3), static_cast<Operator>((ops >> 2) & 3)};
    p.result = q.value(first + 6).toInt();
    p.remainder = q.value(first + 7).toInt();
    p.blank = static_cast<int8_t>(q.value(first + 8).toInt());
    return p;
}

QString csvField(QString text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
               QLatin1Char('"');
    return text;
}

}  // namespace

RecordsStore::RecordsStore(const QString& path, int busyTimeoutMs)
    : path_(path), busyTimeoutMs_(busyTimeoutMs)
{
    static std::atomic<int> stores{0};
    connection_ = QStringLiteral("numbrook-records-%1").arg(++stores);
    open_ = openFile() && migrate();
}

RecordsStore::~RecordsStore()
{
    if (!pending_.empty())
        writePending();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

QString RecordsStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/numbrook/records.sqlite");
}

bool RecordsStore::fail(const QString& what, const QString& detail)
{
    error_ = detail.isEmpty() ? what : what + QStringLiteral("：") + detail;
    return false;
}

bool RecordsStore::openFile()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return fail(QStringLiteral("无法保存练习记录"),
                    QStringLiteral("没有SQLite驱动（libqt6sql6-sqlite）"));
    const QFileInfo file(path_);
    QDir folder = file.dir();
    if (!folder.exists()) {
        if (!folder.mkpath(QStringLiteral(".")))
            return fail(QStringLiteral("无法建立记录文件夹"), folder.path());
        QFile::setPermissions(folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Opens the file and reads it through; whether it is a database of ours
    // (true), broken (false, `broken` set), or can't be reached now.
    const auto tryOpen = [this](bool& broken) {
        broken = false;
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db_.setDatabaseName(path_);
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
        if (!db_.open()) {
            broken = QFileInfo::exists(path_) && !QFileInfo(path_).isReadable();
            return fail(QStringLiteral("无法打开练习记录"), db_.lastError().text());
        }
        QSqlQuery q(db_);
        if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next() ||
            q.value(0).toString() != QLatin1String("ok")) {
            const int code = sqliteCode(q.lastError());
            broken = q.isActive() || code == kCorrupt || code == kNotADatabase;
            return fail(QStringLiteral("无法读取练习记录"), q.lastError().text());
        }
        // Sorts and groupings in memory: nothing written beside the records.
        // Under WAL, NORMAL makes each commit reach the file before it
        // returns, so a crash or a kill of the program loses no attempt; it
        // leaves out the wait for the disk's own flush, which only a power
        // cut could undo.
        for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL",
                                   "PRAGMA foreign_keys=ON", "PRAGMA temp_store=MEMORY"}) {
            if (!q.exec(QString::fromLatin1(pragma)))
                return fail(QStringLiteral("无法打开练习记录"), q.lastError().text());
        }
        return true;
    };
    const auto close = [this] {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
    };

    bool broken = false;
    if (tryOpen(broken))
        return true;
    if (!broken)
        return false;
    close();
    // Put aside, with its log, under a dated name; a fresh file instead.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path_ + QStringLiteral(".broken-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path_ + QStringLiteral(".broken-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(path_, aside))
        return fail(QStringLiteral("练习记录已损坏，且无法改名"), path_);
    QFile::rename(path_ + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    setAside_ = aside;
    return tryOpen(broken);
}

bool RecordsStore::migrate()
{
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(QStringLiteral("无法打开练习记录"), q.lastError().text());
    int version = 0;
    if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
        version = q.value(0).toInt();
    if (version > kSchemaVersion) {
        q.exec(QStringLiteral("ROLLBACK"));
        return fail(QStringLiteral("练习记录来自较新版本的程序，本次不记录"), path_);
    }
    for (; version < kSchemaVersion; ++version) {
        for (const char* const* step = kMigrations[version]; *step; ++step) {
            if (!q.exec(QString::fromLatin1(*step))) {
                const QString detail = q.lastError().text();
                q.exec(QStringLiteral("ROLLBACK"));
                return fail(QStringLiteral("无法更新练习记录"), detail);
            }
        }
    }
    if (!q.exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)) ||
        !q.exec(QStringLiteral("COMMIT"))) {
        const QString detail = q.lastError().text();
        q.exec(QStringLiteral("ROLLBACK"));
        return fail(QStringLiteral("无法更新练习记录"), detail);
    }
    error_.clear();
    return true;
}

std::vector<std::string> RecordsStore::pupils()
{
    std::vector<std::string> names;
    QSqlQuery q(db_);
    if (open_ && q.exec(QStringLiteral("SELECT name FROM pupils ORDER BY name"))) {
        while (q.next())
            names.push_back(q.value(0).toString().toStdString());
    }
    return names;
}

int RecordsStore::startSession(const std::string& pupil, int kind, const std::string& what,
                               const LocalTime& started)
{
    sessions_.push_back({pupil, kind, what, started});
    return static_cast<int>(sessions_.size()) - 1;
}

bool RecordsStore::addAttempt(int session, const RecordedAttempt& attempt)
{
    if (session < 0 || session >= static_cast<int>(sessions_.size()))
        return fail(QStringLiteral("无法保存练习记录"), QStringLiteral("没有这次练习"));
    pending_.push_back({session, attempt});
    return writePending();
}

bool RecordsStore::writePending()
{
    if (!open_)
        return error_.isEmpty() ? fail(QStringLiteral("无法保存练习记录"), {}) : false;
    std::vector<Session*> madeNow;  // sessions given a row in this transaction
    QSqlQuery q(db_);
    const auto failed = [&](const QSqlQuery& at) {
        const QString detail = at.lastError().text();
        q.exec(QStringLiteral("ROLLBACK"));
        for (Session* s : madeNow)
            s->id = 0;
        return fail(QStringLiteral("练习记录未能保存，将在下一题时再试"), detail);
    };
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed(q);
    for (const Pending& p : pending_) {
        Session& s = sessions_[static_cast<size_t>(p.session)];
        if (s.id == 0) {
            QSqlQuery add(db_);
            add.prepare(QStringLiteral("INSERT OR IGNORE INTO pupils (name) VALUES (?)"));
            add.addBindValue(QString::fromStdString(s.pupil));
            if (!add.exec())
                return failed(add);
            add.prepare(QStringLiteral(
                "INSERT INTO sessions (pupil, started, kind, what)"
                " SELECT id, ?, ?, ? FROM pupils WHERE name = ?"));
            add.addBindValue(QVariant::fromValue<qint64>(secondsOf(s.started)));
            add.addBindValue(s.kind);
            add.addBindValue(QString::fromStdString(s.what));
            add.addBindValue(QString::fromStdString(s.pupil));
            if (!add.exec())
                return failed(add);
            s.id = add.lastInsertId().toLongLong();
            madeNow.push_back(&s);
        }
        const RecordedAttempt& a = p.attempt;
        const Problem& pr = a.problem;
        QSqlQuery add(db_);
        add.prepare(QStringLiteral("INSERT INTO attempts (session, %1, answer, right, ms, at)"
                                   " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                        .arg(QLatin1String(kProblemColumns)));
        add.addBindValue(QVariant::fromValue<qint64>(s.id));
        for (int v : {int(pr.type), int(pr.count), pr.operands[0], pr.operands[1], pr.operands[2],
                      int(pr.operators[0]) | int(pr.operators[1]) << 2, pr.result, pr.remainder,
                      int(pr.blank)})
            add.addBindValue(v);
        add.addBindValue(QString::fromStdString(a.given));
        add.addBindValue(a.right ? 1 : 0);
        add.addBindValue(a.ms);
        add.addBindValue(QVariant::fromValue<qint64>(secondsOf(a.at)));
        if (!add.exec())
            return failed(add);
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return failed(q);
    pending_.clear();
    error_.clear();
    return true;
}

std::vector<PastRow> RecordsStore::history(const std::string& pupil)
{
    std::vector<PastRow> rows;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT s.id, s.kind, a.right, a.ms, %1 FROM attempts a"
                             " JOIN sessions s ON s.id = a.session JOIN pupils p ON p.id = s.pupil"
                             " WHERE p.name = ? ORDER BY a.rowid")
                  .arg(QLatin1String(kProblemColumns)));
    q.addBindValue(QString::fromStdString(pupil));
    if (open_ && q.exec()) {
        while (q.next())
            rows.push_back({q.value(0).toLongLong(), q.value(1).toInt(), problemFrom(q, 4),
                            q.value(2).toBool(), q.value(3).toInt()});
    }
    return rows;
}

std::vector<SessionSummary> RecordsStore::sessions(const std::string& pupil)
{
    std::vector<SessionSummary> rows;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral(
        "SELECT s.id, s.started, s.kind, s.what, sum(t.n), sum(t.right), sum(t.ms)"
        " FROM sessions s JOIN pupils p ON p.id = s.pupil JOIN session_types t ON t.session = s.id"
        " WHERE p.name = ? GROUP BY s.id ORDER BY s.started DESC, s.id DESC"));
    q.addBindValue(QString::fromStdString(pupil));
    if (open_ && q.exec()) {
        while (q.next())
            rows.push_back({q.value(0).toLongLong(), localTimeOf(q.value(1).toLongLong()),
                            q.value(2).toInt(), q.value(3).toString().toStdString(),
                            q.value(4).toInt(), q.value(5).toInt(), q.value(6).toLongLong()});
    }
    return rows;
}

std::vector<DayTypeRow> RecordsStore::daysByType(const std::string& pupil)
{
    std::vector<DayTypeRow> rows;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral(
        "SELECT date(s.started, 'unixepoch', 'localtime') AS day, t.type, sum(t.n), sum(t.right),"
        " sum(t.ms) FROM pupils p JOIN sessions s ON s.pupil = p.id"
        " JOIN session_types t ON t.session = s.id WHERE p.name = ?"
        " GROUP BY day, t.type ORDER BY day, t.type"));
    q.addBindValue(QString::fromStdString(pupil));
    if (open_ && q.exec()) {
        while (q.next()) {
            const QDate day = QDate::fromString(q.value(0).toString(), Qt::ISODate);
            rows.push_back({day.year(), day.month(), day.day(), q.value(1).toInt(),
                            q.value(2).toInt(), q.value(3).toInt(), q.value(4).toLongLong()});
        }
    }
    return rows;
}

std::vector<MissedProblem> RecordsStore::mostMissed(const std::string& pupil, int limit)
{
    std::vector<MissedProblem> rows;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT count(*) AS times, %1 FROM attempts a"
                             " JOIN sessions s ON s.id = a.session JOIN pupils p ON p.id = s.pupil"
                             " WHERE p.name = ? AND a.right = 0 GROUP BY %1"
                             " ORDER BY times DESC, max(a.rowid) DESC LIMIT ?")
                  .arg(QLatin1String(kProblemColumns)));
    q.addBindValue(QString::fromStdString(pupil));
    q.addBindValue(limit);
    if (open_ && q.exec()) {
        while (q.next())
            rows.push_back({problemFrom(q, 1), q.value(0).toInt()});
    }
    return rows;
}

bool RecordsStore::writeCsv(const QString& file, const std::optional<std::string>& pupil)
{
    if (!open_)
        return false;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT p.name, s.started, s.id, a.at, a.answer, a.right, a.ms, %1"
                             " FROM attempts a JOIN sessions s ON s.id = a.session"
                             " JOIN pupils p ON p.id = s.pupil WHERE ? IS NULL OR p.name = ?"
                             " ORDER BY p.name, a.rowid")
                  .arg(QLatin1String(kProblemColumns)));
    const QVariant name = pupil ? QVariant(QString::fromStdString(*pupil)) : QVariant();
    q.addBindValue(name);
    q.addBindValue(name);
    if (!q.exec())
        return fail(QStringLiteral("无法读取练习记录"), q.lastError().text());

    QString text = QStringLiteral("\xFEFF学生,练习开始,练习编号,答题时间,题型,题目,答案,所答,对错,用时（毫秒）\r\n");
    while (q.next()) {
        const Problem p = problemFrom(q, 7);
        const QString type =
            p.type >= 0 && p.type < kTypeCount ? QString::fromUtf8(problemType(p.type).caption)
                                               : QString::number(p.type);
        const QStringList fields{csvField(q.value(0).toString()),
                                 dateText(localTimeOf(q.value(1).toLongLong())),
                                 q.value(2).toString(),
                                 dateText(localTimeOf(q.value(3).toLongLong())),
                                 csvField(type),
                                 QString::fromStdString(problemText(p)),
                                 QString::fromStdString(keyText(p)),
                                 csvField(q.value(4).toString()),
                                 q.value(5).toBool() ? QStringLiteral("对") : QStringLiteral("错"),
                                 q.value(6).toString()};
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0 || !out.commit())
        return fail(QStringLiteral("无法写入") + file, out.errorString());
    error_.clear();
    return true;
}

}  // namespace numbrook
