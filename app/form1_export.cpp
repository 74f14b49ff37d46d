// SPDX-License-Identifier: GPL-3.0-or-later
// The export at the end of an export run, wired to the window's progress box.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include "app/form1.h"

namespace numbrook {
namespace {

class ProgressBox final : public ExportView {
public:
    ProgressBox(QWidget* frame, QLabel* label) : frame_(frame), label_(label) {}
    void setProgressVisible(bool visible) override
    {
        frame_->setVisible(visible);
        frame_->repaint();
    }
    void setProgressText(const std::string& text) override
    {
        label_->setText(QString::fromStdString(text));
        // The export holds the UI thread; paint the progress now.
        label_->repaint();
    }

private:
    QWidget* frame_;
    QLabel* label_;
};

// A busy cursor while the export works on its own, until the first box
// asks the teacher something or tells of a failure.
class BusyUntilAsked final : public MessageBoxes {
public:
    explicit BusyUntilAsked(MessageBoxes& boxes) : boxes_(boxes)
    {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~BusyUntilAsked() override { restore(); }
    BusyUntilAsked(const BusyUntilAsked&) = delete;
    BusyUntilAsked& operator=(const BusyUntilAsked&) = delete;

    Answer show(const std::string& text, const std::string& title, Buttons buttons) override
    {
        restore();
        return boxes_.show(text, title, buttons);
    }

private:
    void restore()
    {
        if (busy_) {
            QApplication::restoreOverrideCursor();
            busy_ = false;
        }
    }

    MessageBoxes& boxes_;
    bool busy_ = true;
};

}  // namespace

void Form1::exportToWord()
{
    const ExportServices& exporting = services_.exporting;
    const ExportJob job{drill_.problemTexts, drill_.answerTexts, drill_.problemCount,
                        drill_.exportNumber, exporting.documentPath};
    ProgressBox view(Frame7, Label9);
    BusyUntilAsked boxes(services_.boxes);
    exportToDocument(job, exporting.makeHost, view, boxes, services_.clock, exporting.pause);
}

}  // namespace numbrook
