// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pupils' practice records: who practised, each session, and every
// attempt with the problem as numbers, in one SQLite file per user,
// $XDG_DATA_HOME/numbrook/records.sqlite.
//
// Each attempt is committed as it is answered (write-ahead log, synchronous
// NORMAL): a crashed or killed program loses at most the problem on screen;
// a power cut may lose the last few. A second program of the same user waits its turn
// (busy timeout). An attempt that can't be written (a full disk, a writer
// that holds the file too long) is kept and written with the next one; the
// caller shows lastError() and practice goes on. A file that can't be read
// as records is renamed aside (records.sqlite.broken-<date>) and a fresh
// one made; setAsidePath() says where the old one went.

#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "generator/problem.h"

namespace numbrook {

// One answer as it is written.
struct RecordedAttempt {
    Problem problem;
    std::string given;  // what the pupil typed, UTF-8
    bool right = false;
    int ms = 0;
    LocalTime at;
};

// One answer as it is read back for the 错题本.
struct PastRow {
    int64_t session = 0;
    int kind = 0;
    Problem problem;
    bool right = false;
    int ms = 0;
};

struct SessionSummary {
    int64_t id = 0;
    LocalTime started;
    int kind = 0;
    std::string what;
    int count = 0;
    int right = 0;
    int64_t ms = 0;
};

// The attempts of one day (the day its session began) and one type.
struct DayTypeRow {
    int year = 0;
    int month = 0;
    int day = 0;
    int type = 0;
    int count = 0;
    int right = 0;
    int64_t ms = 0;
};

struct MissedProblem {
    Problem problem;
    int times = 0;
};

class RecordsStore {
public:
    // The schema this program writes (PRAGMA user_version).
    static constexpr int kSchemaVersion = 2;

    // Opens the records at path, making the file (and its folder, 0700)
    // when there is none. isOpen() tells whether it can be used.
    explicit RecordsStore(const QString& path, int busyTimeoutMs = 10000);
    ~RecordsStore();
    RecordsStore(const RecordsStore&) = delete;
    RecordsStore& operator=(const RecordsStore&) = delete;

    // $XDG_DATA_HOME/numbrook/records.sqlite.
    static QString defaultPath();

    bool isOpen() const { return open_; }
    const QString& path() const { return path_; }
    // Where a broken file was renamed to on opening; empty when none was.
    const QString& setAsidePath() const { return setAside_; }
    // What went wrong last, in the window's words; empty after a success.
    const QString& lastError() const { return error_; }

    // The pupils' names, sorted.
    std::vector<std::string> pupils();

    // A new session of the pupil (made when new); written with its first
    // attempt. Returns its handle for addAttempt.
    int startSession(const std::string& pupil, int kind, const std::string& what,
                     const LocalTime& started);
    // Commits the attempt, and any kept from before; false when it is kept
    // for later (see lastError()).
    bool addAttempt(int session, const RecordedAttempt& attempt);
    // Attempts answered but not yet written.
    int pendingCount() const { return static_cast<int>(pending_.size()); }

    // The pupil's attempts, oldest first.
    std::vector<PastRow> history(const std::string& pupil);
    // The pupil's sessions, newest first.
    std::vector<SessionSummary> sessions(const std::string& pupil);
    // The pupil's attempts summed a day and type, oldest day first, from
    // the sums a session and type that the database keeps.
    std::vector<DayTypeRow> daysByType(const std::string& pupil);
    // The problems the pupil missed most, most first.
    std::vector<MissedProblem> mostMissed(const std::string& pupil, int limit);

    // Every attempt of the pupil (all pupils: none) as CSV, UTF-8 with a
    // byte-order mark; false with the reason in lastError().
    bool writeCsv(const QString& file, const std::optional<std::string>& pupil);

private:
    struct Session {
        std::string pupil;
        int kind;
        std::string what;
        LocalTime started;
        int64_t id = 0;  // its row, once written
    };
    struct Pending {
        int session;
        RecordedAttempt attempt;
    };

    bool openFile();
    bool migrate();
    bool writePending();
    bool fail(const QString& what, const QString& detail);

    QString path_;
    QString connection_;
    int busyTimeoutMs_;
    QSqlDatabase db_;
    bool open_ = false;
    QString setAside_;
    QString error_;
    std::vector<Session> sessions_;
    std::vector<Pending> pending_;
};

}  // namespace numbrook
