// SPDX-License-Identifier: GPL-3.0-or-later
// A second program writing practice records, for the tests:
//   records_writer FILE PUPIL COUNT
// writes COUNT attempts of one session and prints the number of each
// attempt on a line once it is committed. Exits 1 when one is not.
#include <QCoreApplication>

#include <cstdio>

#include "records/records_store.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    numbrook::RecordsStore store(QString::fromLocal8Bit(argv[1]));
    if (!store.isOpen())
        return 1;
    const int session = store.startSession(argv[2], 0, "writer", {2026, 12, 8, 9, 0, 0, 0});
    const int count = std::atoi(argv[3]);
    for (int i = 1; i <= count; ++i) {
        numbrook::RecordedAttempt attempt;
        attempt.problem.operands = {i % 9 + 1, 7, 0};
        attempt.problem.result = i % 9 + 8;
        attempt.given = std::to_string(attempt.problem.result);
        attempt.right = true;
        attempt.ms = 1000 + i;
        attempt.at = {2026, 12, 8, 9, 0, i % 60, 0};
        if (!store.addAttempt(session, attempt)) {
            std::fprintf(stderr, "%s\n", store.lastError().toLocal8Bit().constData());
            return 1;
        }
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
