// SPDX-License-Identifier: GPL-3.0-or-later
// Making one problem of the drawn type and storing it at the next index.
#include <QLabel>
#include <QLineEdit>

#include "app/form1.h"
#include "core/text_value.h"
#include "app/vb_timer.h"
#include "generator/problem_types.h"

namespace numbrook {

void Form1::makeProblem()
{
    const Problem p = makeProblemOfType(currentType, services_.random, services_.clock);
    if (runMode == 1)
        Label1->setText(QString::fromStdString(p.text));
    const auto i = static_cast<size_t>(nextIndex);
    answerTexts[i] = p.answer;
    problemTexts[i] = p.text;
    // The interval box is read once a run, after its first problem.
    if (nextIndex == 1)
        Timer1->setInterval(intervalMsFromText(Text2->text().toStdString()));
    ++nextIndex;
}

}  // namespace numbrook
