// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/qt_message_boxes.h"
#include "app/vb_timer.h"
#include "tests/support/fakes.h"

namespace numbrook::testing {

// Whether any ink of a label's text touches the label's edge, where the
// label would clip it.
inline bool touchesEdge(QLabel* label)
{
    const QImage img = label->grab().toImage();
    auto ink = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
    for (int x = 0; x < img.width(); ++x)
        if (ink(x, 0) || ink(x, img.height() - 1))
            return true;
    for (int y = 0; y < img.height(); ++y)
        if (ink(0, y) || ink(img.width() - 1, y))
            return true;
    return false;
}

// Shows a box of the real kind over parent and hands it to look once it is
// open; then closes it by a click on its OK.
inline void lookAtRealBox(QWidget* parent, const std::string& text, const std::string& title,
                          const std::function<void(QMessageBox&)>& look)
{
    QTimer::singleShot(0, [&look] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            look(*box);
            box->buttons().front()->click();
        }
    });
    QtMessageBoxes(parent).show(text, title, Buttons::Ok);
}

// A window with scripted boxes, a fixed clock, a seeded random source and a
// host factory that counts its calls and has no word processor behind it.
class WindowTest : public ::testing::Test {
protected:
    ScriptedBoxes boxes;
    FixedClock clock;
    RandomSource random{2024};
    int hostsMade = 0;
    std::function<void()> whenHostMade;  // runs as the export asks for its host
    std::unique_ptr<Form1> w;

    void SetUp() override
    {
        makeWindow([this]() -> std::unique_ptr<DocumentHost> {
            if (whenHostMade)
                whenHostMade();
            throw HostError("no word processor in unit tests");
        });
    }

    // A new window whose exports get their hosts from makeHost (counted).
    void makeWindow(HostFactory makeHost)
    {
        ExportServices exporting;
        exporting.makeHost = [this, makeHost] {
            ++hostsMade;
            return makeHost();
        };
        exporting.documentPath = "/nonexistent/式题导出.doc";
        exporting.pause = [](int) {};
        w = std::make_unique<Form1>(Form1Services{boxes, random, clock, std::move(exporting)});
    }

    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            w->Timer1_Timer();
    }

    // Starts a screen run of count problems and ticks it to its end.
    void screenRun(const char* count)
    {
        w->Text1->setText(QString::fromUtf8(count));
        w->Command1_Click();
        while (w->Timer1->interval() != 0)
            tick();
    }

    int visibleSlots() const
    {
        int n = 0;
        for (int i = 1; i <= 20; ++i)
            n += w->Label6[i]->isVisibleTo(w.get()) ? 1 : 0;
        return n;
    }

    bool linesVisible() const
    {
        for (QFrame* l : w->Line1)
            if (!l->isVisibleTo(w.get()))
                return false;
        return true;
    }

    std::string text(QLabel* l) const { return l->text().toStdString(); }

    // The widest texts of each kind of label.
    std::vector<std::pair<QLabel*, const char*>> widestTexts() const
    {
        return {{w->Label6[1], "98－79=19"}, {w->Label6[1], "99×9=891"},
                {w->Label6[20], "14＋9=23"}, {w->Label6[20], "81÷9=9"},
                {w->Label1, "98－79="},      {w->Label8, "59:59:9"}};
    }
};

}  // namespace numbrook::testing
