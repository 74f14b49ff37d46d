#pragma once

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

// What the window uses of the world, injectable for tests. Left empty, each
// is the real one: message boxes over the window, the system clock, a random
// source of the window's own, LibreOffice where it loads
// (else the built-in host) and a real pause.
struct Form1Services {
    MessageBoxes* boxes = nullptr;
    RandomSource* random = nullptr;
    const Clock* clock = nullptr;
    HostFactory makeHost;
    std::string documentPath;  // the exercise document; empty: found when an export opens it
    Pause pause;
};

// The program's one window: its controls, the drill state and every handler.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Form1Services services = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // Controls, named as the drill's developers know them.
    QGroupBox* Frame1;
    QGroupBox* Frame6;
    QLabel* Label2;
    QLineEdit* Text1;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* Text2;
    QLabel* Label5;
    QPushButton* Command1;
    QPushButton* Command3;
    QPushButton* Command2;
    QGroupBox* Frame3;
    QLabel* Label7;
    QLineEdit* Text3;
    QPushButton* Command7;
    QGroupBox* Frame4;
    std::array<QCheckBox*, 12> Check1;
    QGroupBox* Frame2;
    std::array<QLabel*, 21> Label6{};  // 1..20; 0 unused
    std::array<QFrame*, 3> Line1;
    QLabel* Label1;
    QGroupBox* Frame5;
    QLabel* Label8;
    QPushButton* Command4;
    QGroupBox* Frame7;
    QLabel* Label9;
    VbTimer* Timer1;
    VbTimer* Timer2;

    // Drill state.
    int16_t runMode = 0;
    int16_t problemCount = 0;
    int16_t nextIndex = 0;
    std::vector<std::string> problemTexts;
    std::vector<std::string> answerTexts;
    std::array<int16_t, 9> selectedTypes{};
    int16_t selectedCount = 0;
    int16_t currentType = 0;
    double elapsedMs = 0;
    int16_t exportNumber = 0;

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
    std::unique_ptr<MessageBoxes> ownBoxes_;
    std::unique_ptr<RandomSource> ownRandom_;
    std::unique_ptr<Clock> ownClock_;
    std::unique_ptr<FormLayout> layout_;
    QShortcut* leaveFullScreen_ = nullptr;
    bool inTimer1_ = false;  // a tick never begins while another is handled
};

}  // namespace numbrook
