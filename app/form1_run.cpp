// SPDX-License-Identifier: GPL-3.0-or-later
// Starting a run and driving it one problem per tick of Timer1.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/form1.h"
#include "app/vb_timer.h"
#include "core/text_value.h"

namespace numbrook {

void Form1::Command1_Click()
{
    startRun(drill_.startScreenRun(countFromText(Text1->text().toStdString())));
}

void Form1::Command7_Click()
{
    startRun(drill_.startExportRun(countFromText(Text3->text().toStdString())));
}

void Form1::startRun(const std::string& refusal)
{
    Command4->setFocus();  // so that the space bar stops the stopwatch
    Timer2->setInterval(0);
    Label8->setText(QStringLiteral("0:0:0"));
    for (QFrame* line : Line1)
        line->hide();
    if (!refusal.empty()) {
        services_.boxes.show(refusal, "提示！", Buttons::Ok);
        return;
    }
    for (int n = 1; n <= kPanelSlots; ++n)
        Label6[n]->hide();
    Label1->show();
    Timer1->setInterval(1);
}

void Form1::Timer1_Timer()
{
    const Drill::Tick tick = drill_.tick([this] { exportToWord(); });
    switch (tick.kind) {
    case Drill::Tick::Kind::Skipped:
        return;
    case Drill::Tick::Kind::Ended:
        Timer1->setInterval(0);
        Label1->setText(QString());
        Label1->hide();
        return;
    case Drill::Tick::Kind::Made:
        makeProblem(tick);
        return;
    }
}

}  // namespace numbrook
