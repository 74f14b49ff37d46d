// SPDX-License-Identifier: GPL-3.0-or-later
// Starting a run and driving it one problem per tick of Timer1.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include <limits>

#include "app/form1.h"
#include "core/text_value.h"
#include "app/vb_timer.h"

namespace numbrook {

void Form1::Command1_Click()
{
    runMode = 1;
    startRun(countFromText(Text1->text().toStdString()));
}

void Form1::Command7_Click()
{
    // Counted before the count is checked: a refused start uses a number up.
    // The counter stops at its largest value rather than wrap.
    if (exportNumber < std::numeric_limits<int16_t>::max())
        ++exportNumber;
    runMode = 2;
    startRun(countFromText(Text3->text().toStdString()));
}

void Form1::startRun(int16_t count)
{
    Command4->setFocus();  // so that the space bar stops the stopwatch
    Timer2->setInterval(0);
    Label8->setText(QStringLiteral("0:0:0"));
    for (QFrame* line : Line1)
        line->hide();

    if (runMode == 1 && (count < 1 || count > 20)) {
        services_.boxes.show("输出屏幕的题量为1-20题！", "提示！", Buttons::Ok);
        return;
    }
    if (runMode == 2 && (count < 1 || count > 100)) {
        services_.boxes.show("导出至文件的题量为1-100题！", "提示！", Buttons::Ok);
        return;
    }

    for (int n = 1; n <= 20; ++n)
        Label6[n]->hide();
    problemCount = count;
    Label1->show();
    Timer1->setInterval(1);
    problemTexts.assign(static_cast<size_t>(count) + 1, std::string());
    answerTexts.assign(static_cast<size_t>(count) + 1, std::string());
    nextIndex = 1;
}

void Form1::Timer1_Timer()
{
    // The last tick of an export run waits on the word processor and shows
    // modal boxes; a tick delivered meanwhile would export the run again.
    if (inTimer1_)
        return;
    QScopedValueRollback<bool> busy(inTimer1_, true);

    RandomSource& random = services_.random;
    random.reseedFrom(services_.clock);
    const double r = random.next();
    const int j = indexFromUnit(r, selectedCount);
    currentType = selectedTypes[static_cast<size_t>(j)];

    if (nextIndex == problemCount + 1) {
        // Every problem is made: the run ends.
        if (runMode == 2)
            exportToWord();
        Timer1->setInterval(0);
        Label1->setText(QString());
        Label1->hide();
        return;
    }
    makeProblem();
}

}  // namespace numbrook
