// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Form1, the program's one window, and how its parts fit.
//
// The window is one class whose member functions are spread over the files
// of app/, one file per part of the drill:
//   form1.cpp               the controls and their places (laid out by
//                           form_layout.h at one scale), start-up (Form_Load),
//                           the type boxes (Check1_Click), F11 and resizing
//   form1_run.cpp           "出题" and "确定" (Command1_Click, Command7_Click),
//                           startRun and the generation tick (Timer1_Timer);
//                           counts through core/text_value.h
//   form1_make_problem.cpp  makeProblem: one problem of the drawn type from
//                           generator/problem_types.h, into the drill state
//   form1_panel.cpp         "显示" and "答案" (Command3_Click, Command2_Click):
//                           the panel's twenty slots
//   form1_stopwatch.cpp     "停止" (Command4_Click) and the stopwatch's tick
//                           (Timer2_Timer); its text from display/stopwatch_format.h
//   form1_export.cpp        exportToWord: the export's steps (export/export_run.h)
//                           against the document host, with Frame7 as progress
// Below the window, and never including it: core/ (clock, message boxes,
// numbers from text), generator/, display/ and export/ (the export's steps, the
// document-host interface and the hosts). main.cpp makes the real services
// (real_services.h) and hands them to the window.

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/message_boxes.h"
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
class VbTimer;

// What the window uses of the world, given to it whole: the message boxes,
// the random source, the clock, and what the export needs. The program's
// real ones are made by RealServices (real_services.h); tests give fakes.
struct Form1Services {
    MessageBoxes& boxes;
    RandomSource& random;
    const Clock& clock;
    ExportServices exporting;
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

    // Drill state, shared by every handler; nothing of it outlives the program.
    int16_t runMode = 0;                     // the run last asked for: 0 none, 1 screen, 2 export
    int16_t problemCount = 0;                // problems of the last accepted run
    int16_t nextIndex = 0;                   // number of the next problem to make, from 1
    std::vector<std::string> problemTexts;   // the problems as set, 1..problemCount ("7×8=")
    std::vector<std::string> answerTexts;    // the same with their results ("7×8=56")
    std::array<int16_t, 9> selectedTypes{};  // the ticked types, ascending, in 0..selectedCount-1
    int16_t selectedCount = 0;               // how many of the boxes 0..8 are ticked
    int16_t currentType = 0;                 // the type drawn by the current tick
    double elapsedMs = 0;                    // the stopwatch's count
    int16_t exportNumber = 0;                // presses of "确定" since start-up: the sheet number

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

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void startRun(int16_t count);
    void makeProblem();
    void showPanel(bool answers);
    void exportToWord();

    Form1Services services_;
    std::unique_ptr<FormLayout> layout_;
    QShortcut* leaveFullScreen_ = nullptr;
    QAction* fullScreenAction_ = nullptr;
    bool inTimer1_ = false;  // a tick never begins while another is handled
};

}  // namespace numbrook
