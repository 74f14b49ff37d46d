// SPDX-License-Identifier: GPL-3.0-or-later
// "显示" and "答案": the problems, or the problems with their answers, in the
// panel's twenty slots.
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

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
    if (runMode == 2) {
        services_.boxes.show("目前运行结果用于导出至文件，无法输出到屏幕！", "提示！", Buttons::Ok);
        return;
    }
    if (answers) {
        Timer2->setInterval(0);  // the time taken stays on show
    } else {
        Timer2->setInterval(100);  // from zero; the first tick shows 0:0:1
        elapsedMs = 0;
    }
    Command4->setFocus();
    for (QFrame* line : Line1)
        line->show();
    for (int n = 1; n <= 20; ++n)
        Label6[n]->hide();

    // After a refused screen start that followed an export run, problemCount
    // can exceed the twenty slots: the first twenty problems are shown.
    const int shown = std::min<int>(problemCount, 20);
    const std::vector<std::string>& texts = answers ? answerTexts : problemTexts;
    for (int n = 1; n <= shown; ++n) {
        Label6[n]->setText(QString::fromStdString(texts[static_cast<size_t>(n)]));
        Label6[n]->show();
    }
}

}  // namespace numbrook
