// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Form1, the program's one window, and how its parts fit.
//
// The window shows; the drill (drill/drill.h) holds the state of a run and
// its steps. Each handler reads the boxes it needs, calls the drill and shows
// what the drill gives. What happens when the teacher types 30 beside
// "导出至文档" and presses "确定":
//
//   1. Command7_Click reads Text3 as a count (core/text_value.h: 30) and calls
//      Drill::startExportRun, which counts the sheet number (exportNumber),
//      sets the run mode to Export, checks the count (1 to 100) and sizes the
//      problem arrays afresh. startRun then resets the stopwatch (Timer2,
//      Label8 "0:0:0"), hides the panel's lines and, had the count been
//      refused, would show the drill's refusal in a box and stop there;
//      accepted, it hides the slots, shows Label1 and sets Timer1 to 1 ms.
//   2. Each tick of Timer1 (Timer1_Timer) calls Drill::tick: a type is drawn
//      from the ticked ones (Check1_Click keeps the drill's list), and the
//      next problem is made by generator/problem_types.h into problemTexts
//      and answerTexts. makeProblem shows nothing in an export run, and
//      after the first problem sets Timer1 to Text2's interval.
//   3. The 31st tick ends the run: inside that tick the drill calls back
//      exportToWord, which hands the problems and the sheet number to the
//      export (export/export_run.h) with Frame7 and Label9 as its progress.
//      The export makes a document host (LibreOffice off this thread, or the
//      built-in one), refuses if the user's own office runs, opens the
//      exercise document, writes both headers and walks the two grids,
//      updating Label9 from "0%" to "100%". A tick that comes meanwhile is
//      skipped by the drill.
//   4. The export asks "导出完毕，请确认是否直接进行打印,请确定！": OK prints
//      (and asks whether the answers go too), Cancel leaves the document
//      open (the built-in host's in the sheet window). Back in the tick,
//      Timer1 stops and Label1 is cleared and hidden.
//
// The window's member functions are spread over the files of app/:
//   form1.cpp               the controls and their places (laid out by
//                           form_layout.h at one scale), start-up (Form_Load),
//                           the type boxes (Check1_Click), F11, the context
//                           menu and resizing
//   form1_run.cpp           "出题" and "确定" (Command1_Click, Command7_Click),
//                           startRun and the generation tick (Timer1_Timer)
//   form1_make_problem.cpp  makeProblem: a made problem as the window shows it
//   form1_panel.cpp         "显示" and "答案" (Command3_Click, Command2_Click):
//                           the panel's twenty slots
//   form1_stopwatch.cpp     "停止" (Command4_Click) and the stopwatch's tick
//                           (Timer2_Timer)
//   form1_export.cpp        exportToWord: the export's steps against the
//                           document host, with Frame7 as progress
// Below the window, and never including it: drill/, core/ (clock, message
// boxes, numbers from text), generator/, display/ and export/ (the export's
// steps, the document-host interface and the hosts). main.cpp makes the real
// services (real_services.h) and hands them to the window.

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/message_boxes.h"
#include "drill/drill.h"
#include "export/export_run.h"
#include "generator/random_source.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;

namespace numbrook {

class FormLayout;
class SheetWindowOpener;
class VbTimer;

// What the window uses of the world, given to it whole: the message boxes,
// the random source, the clock, what the export needs and the holder of the
// sheet window (none: Ctrl+P opens nothing). The program's real ones are
// made by RealServices (real_services.h); tests give fakes.
struct Form1Services {
    MessageBoxes& boxes;
    RandomSource& random;
    const Clock& clock;
    ExportServices exporting;
    SheetWindowOpener* sheets = nullptr;
};

// The program's one window: its controls, the drill state and every handler.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // Controls. The names are the ones the drill's developers know and use
    // in every handler; each control's objectName is its name.
    QGroupBox* Frame1;      // "题数及间隔时间设置：": the count and interval of a run
    QGroupBox* Frame6;      // no caption, in Frame1: the screen drill's boxes and buttons
    QLabel* Label2;         // "题数"
    QLineEdit* Text1;       // the screen drill's count, 1..20 ("5")
    QLabel* Label3;         // "题"
    QLabel* Label4;         // "间隔"
    QLineEdit* Text2;       // seconds between problems ("0.01"), read once a run
    QLabel* Label5;         // "秒"
    QPushButton* Command1;  // "出题": starts a screen drill
    QPushButton* Command3;  // "显示": lays the problems out and starts the stopwatch
    QPushButton* Command2;  // "答案": shows the answers and stops the stopwatch
    QGroupBox* Frame3;      // no caption, in Frame1: the export's count and button
    QLabel* Label7;         // "导出至文档"
    QLineEdit* Text3;       // the export's count, 1..100 (empty)
    QPushButton* Command7;  // "确定": starts an export run
    QGroupBox* Frame4;      // "式题类型选择："
    std::array<QCheckBox*, 12> Check1;  // the type boxes; index = problem type, 9..11 name none
    QGroupBox* Frame2;                  // "式题显示窗口：": the display panel
    std::array<QLabel*, 21> Label6{};   // the panel's slots 1..20 (0 unused), four columns
    std::array<QFrame*, 3> Line1;       // the lines between the panel's columns
    QLabel* Label1;     // the large label in which a screen drill flashes each problem
    QGroupBox* Frame5;  // "计时器：（可用“空格键”直接停止）"
    QLabel* Label8;     // the stopwatch's time, "0:0:0"
    QPushButton*
        Command4;  // "停止": stops the stopwatch; holds the focus so the space bar presses it
    QGroupBox* Frame7;  // the export's progress box over the panel, hidden but while it fills
    QLabel* Label9;     // the export's progress, "0%".."100%"
    VbTimer* Timer1;    // the generation tick: one problem per tick; 0 = idle
    VbTimer* Timer2;    // the stopwatch's tick, every 100 ms while it runs

    // The drill: its state and the steps of a run, which every handler calls.
    const Drill& drill() const { return drill_; }

public slots:
    void Form_Load();
    void Check1_Click(int index);
    void Command1_Click();
    void Command7_Click();
    void Timer1_Timer();
    void Command3_Click();
    void Command2_Click();
    void Command4_Click();
    void Timer2_Timer();

public:
    // The scale at which the form is laid out in the window: 1 at its designed
    // size, the largest that fits the window otherwise.
    double formScale() const;
    // F11: the whole screen, or back to the window it was.
    void toggleFullScreen();
    // Ctrl+P: the sheet window, with the types ticked here.
    void openSheetWindow();

signals:
    // "练习…" in the context menu: the practice window, which main opens.
    void practiceRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    // What a start shows: the stopwatch reset, then the refusal, or the panel
    // cleared and the generation tick set going.
    void startRun(const std::string& refusal);
    // What a made problem shows: its text in Label1 in a screen run, and after
    // the run's first problem the interval box's reading as the tick's interval.
    void makeProblem(const Drill::Tick& made);
    void showPanel(bool answers);
    void exportToWord();

    Form1Services services_;
    Drill drill_;
    std::unique_ptr<FormLayout> layout_;
    QShortcut* leaveFullScreen_ = nullptr;
    QAction* fullScreenAction_ = nullptr;
};

}  // namespace numbrook
