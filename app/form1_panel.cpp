// SPDX-License-Identifier: GPL-3.0-or-later
// "显示" and "答案": the problems, or the problems with their answers, in the
// panel's twenty slots.
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/form1.h"
#include "app/vb_timer.h"

namespace numbrook {

void Form1::Command3_Click()
{
    showPanel(false);
}

void Form1::Command2_Click()
{
    showPanel(true);
}

void Form1::showPanel(bool answers)
{
    if (const std::string refusal = drill_.panelRefusal(); !refusal.empty()) {
        services_.boxes.show(refusal, "提示！", Buttons::Ok);
        return;
    }
    if (answers) {
        Timer2->setInterval(0);  // the time taken stays on show
    } else {
        Timer2->setInterval(100);  // from zero; the first tick shows 0:0:1
        drill_.resetStopwatch();
    }
    Command4->setFocus();
    for (QFrame* line : Line1)
        line->show();
    for (int n = 1; n <= kPanelSlots; ++n)
        Label6[n]->hide();
    const std::vector<std::string> texts = drill_.panelTexts(answers);
    for (size_t i = 0; i < texts.size(); ++i) {
        QLabel* slot = Label6[i + 1];
        slot->setText(QString::fromStdString(texts[i]));
        slot->show();
    }
}

}  // namespace numbrook
