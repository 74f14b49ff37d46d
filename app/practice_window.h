// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The practice window ("练习"): a pupil works problems one by one, typing
// each answer (or tapping it on the number pad), and sees at once whether it
// was right; the end shows the score, a row per type and the problems
// missed, with 错题重练, 再练一次 and the pupil's records. Every attempt is
// written to the records as it is answered (records/records_store.h), and
// the 错题本 is made from them (practice/mistake_book.h).
//
// Three pages in one window: the choice (pupil, what, how many, 形式), the
// practice, and the end. The rules are in practice/; this window reads its
// controls, calls them and shows what they give.

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "core/clock.h"
#include "app/save_file_question.h"
#include "core/message_boxes.h"
#include "core/speaker.h"
#include "generator/random_source.h"
#include "generator/sheet_set.h"
#include "practice/session.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;
class QSpinBox;
class QStackedWidget;
class QTableWidget;
class QTimer;

namespace numbrook {

class RecordsStore;

// What the practice window uses of the world: message boxes, the random
// source, the clock, the settings it remembers, the records, the voice that
// reads the problems, and where the records' CSV goes (by default, asked in
// the system's file dialog).
struct PracticeServices {
    MessageBoxes& boxes;
    RandomSource& random;
    const Clock& clock;
    QSettings& settings;
    RecordsStore& records;
    Speaker& speaker;
    SaveFileQuestion saveAs = {};
    // The records window "记录" of a pupil (it loads the chart's library);
    // null when it can't be had, the boxes having said why.
    std::function<QDialog*(MessageBoxes& boxes, RecordsStore& records, const std::string& pupil,
                           SaveFileQuestion saveAs, QWidget* parent)>
        openRecords;
};

// How long a wrong answer's correction stays when no key comes (ms); the
// setting "practice/wrongShownMs" overrides it.
inline constexpr int kWrongShownMs = 1500;

class PracticeWindow final : public QWidget {
    Q_OBJECT
public:
    // The one practice window, made (centred over `over`, if any) when there
    // is none yet, shown and brought to the front.
    static PracticeWindow* open(PracticeServices services, QWidget* over = nullptr);

    explicit PracticeWindow(PracticeServices services, QWidget* parent = nullptr);
    ~PracticeWindow() override;

    // The choice.
    QComboBox* pupilBox;     // the pupil's name: the pupils of this machine, or a new one
    QRadioButton* byTypes;   // "按题型"
    QRadioButton* fromBook;  // "错题本（n题）"
    std::array<QCheckBox*, kTypeCount> typeBoxes{};
    std::array<QSpinBox*, kTypeCount> typeCounts{};
    QLabel* totalLabel;
    QRadioButton* byCount;             // "按题数": the counts, 10 to 100 in all
    QRadioButton* byTime;              // "限时"
    QSpinBox* minutes;                 // 1 to 10
    QComboBox* formBox;                // 求得数, 填空
    QCheckBox* speakBox;               // "朗读题目": each problem read aloud
    QCheckBox* listenOnlyBox;          // "只听不看": and not shown
    QPushButton* choiceRecordsButton;  // 记录 of the pupil named
    QPushButton* startButton;
    // The practice.
    QLabel* progressLabel;      // "第 n 题 / 共 N 题"
    QLabel* scoreLabel;         // "对 n  错 n"
    QLabel* timeLabel;          // the time taken, or left
    QLabel* problemLabel;       // the problem, large: "8＋7="; its accessible name
                                // the problem even where only heard
    QPushButton* replayButton;  // 再听一遍, while problems are read aloud
    QLineEdit* answerBox;       // keeps the focus; Enter checks
    QLabel* correctionLabel;    // after a wrong answer, the right one in red
    QLabel* recordsLabel;       // what went wrong with the records, while practice goes on
    // The end.
    QLabel* summaryLabel;  // 正确率, 用时, seconds a problem
    QTableWidget* typeTable;
    QTableWidget* wrongTable;
    QPushButton* retryButton;    // 错题重练
    QPushButton* againButton;    // 再练一次
    QPushButton* recordsButton;  // 记录
    // The pupil's records, while open.
    QPointer<QDialog> recordsWindow;
    std::string recordsPupil;  // whose records it shows

    const PracticeSession* session() const { return session_.get(); }
    // Whether a wrong answer's correction is on show, waiting for a key.
    bool showingCorrection() const { return waiting_; }

public slots:
    // 开始 (and Enter in the name): a practice as chosen.
    void start();
    // Enter, and 确定 on the pad: checks the answer typed.
    void checkAnswer();
    void retryMissed();
    // 记录: the records of the pupil practising, or on the choice page of
    // the name typed.
    void showRecords();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildChoice(QWidget* page);
    void buildPractice(QWidget* page);
    void buildEnd(QWidget* page);
    void loadSettings();
    void saveSettings() const;
    void choiceChanged();
    // The 错题本's count for the name typed.
    void pupilChanged();
    std::vector<Problem> bookOf(const std::string& pupil) const;
    SheetSetOptions chosenSet() const;
    std::optional<std::vector<Problem>> deal(std::string& what);
    void begin(std::vector<Problem> problems, PracticeKind kind, const std::string& what);
    void showProblem();
    void afterWrong();
    void tickTime();
    void finish();
    void showRecordsError();
    void speechChanged();
    bool speaking() const;
    void typeOnPad(const QString& key);

    PracticeServices services_;
    QStackedWidget* pages_;
    std::unique_ptr<PracticeSession> session_;
    std::string pupil_;
    int recordsSession_ = -1;
    QElapsedTimer sinceShown_;  // the problem on screen
    QElapsedTimer sinceStart_;  // the practice
    int limitMs_ = 0;           // 0: no time limit
    bool waiting_ = false;
    QTimer* wrongTimer_;
    QTimer* clockTimer_;
    std::vector<QPushButton*> padKeys_;
    bool voiceKnown_ = false;
};

}  // namespace numbrook
