// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/startup.h"
#include "app/window_look.h"

namespace numbrook {

Answer QtMessageBoxes::show(const std::string& text, const std::string& title, Buttons buttons)
{
    QMessageBox box(parent_);
    box.setPalette(classicPalette());  // the window's colours, whatever the desktop's
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(QString::fromUtf8(title.empty() ? kApplicationTitle : title.c_str()));
    box.setText(QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    if (buttons == Buttons::OkCancel)
        box.setEscapeButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
    else
        box.setEscapeButton(ok);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? Answer::Ok : Answer::Cancel;
}

}  // namespace numbrook
