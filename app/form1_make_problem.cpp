// SPDX-License-Identifier: GPL-3.0-or-later
// A problem made by the drill, as the window shows it.
#include <QLabel>
#include <QLineEdit>

#include "app/form1.h"
#include "app/vb_timer.h"
#include "core/text_value.h"

namespace numbrook {

void Form1::makeProblem(const Drill::Tick& made)
{
    if (drill_.runMode == RunMode::Screen)
        Label1->setText(QString::fromStdString(made.problem));
    // The interval box is read once a run, after its first problem.
    if (made.first)
        Timer1->setInterval(intervalMsFromText(Text2->text().toStdString()));
}

}  // namespace numbrook
