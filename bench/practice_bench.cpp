// SPDX-License-Identifier: GPL-3.0-or-later
// The practice window: the time from Enter on a right answer to the next
// problem painted, the attempt's commit to the records included, headless
// unless QT_QPA_PLATFORM says otherwise.
//   practice_bench [problems, default 300]
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/practice_window.h"
#include "bench/median.h"
#include "practice/answer.h"
#include "records/records_store.h"
#include "tests/support/fakes.h"

namespace {

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
    const int n = argc > 1 ? std::atoi(argv[1]) : 300;
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("numbrook.conf")), QSettings::IniFormat);
    numbrook::RecordsStore records(dir.filePath(QStringLiteral("records.sqlite")));
    numbrook::testing::ScriptedBoxes boxes;
    numbrook::testing::FixedClock clock;
    numbrook::testing::RecordingSpeaker speaker;
    numbrook::RandomSource random(5);
    numbrook::PracticeWindow w({boxes, random, clock, settings, records, speaker, {}, {}});
    w.show();
    w.pupilBox->setCurrentText(QStringLiteral("小明"));
    w.typeCounts[0]->setValue(100);
    w.start();
    PaintWatch watch;
    w.problemLabel->installEventFilter(&watch);
    std::vector<double> ms;
    while (static_cast<int>(ms.size()) < n) {
        if (w.session()->finished() || w.session()->number() == w.session()->size()) {
            w.againButton->click();  // a new practice; its first problem is not timed
            QTest::qWait(20);
        }
        QTest::keyClicks(w.answerBox,
                         QString::fromStdString(numbrook::answerText(w.session()->current())));
        QCoreApplication::processEvents();
        watch.painted = false;
        QElapsedTimer t;
        t.start();
        QTest::keyClick(w.answerBox, Qt::Key_Return);
        while (!watch.painted)
            QCoreApplication::processEvents();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("Enter to the next problem painted, %d problems (commit included): median %.2f ms,"
                " 95th percentile %.2f ms, max %.2f ms\n",
                n, numbrook::bench::median(ms), ms[ms.size() * 95 / 100], ms.back());
    return 0;
}
