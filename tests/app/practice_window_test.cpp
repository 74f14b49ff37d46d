// SPDX-License-Identifier: GPL-3.0-or-later
// The practice window, headless: a pupil's ten problems typed and tapped,
// three wrong, the end, 错题重练 of just those three until each is right,
// every attempt in the records; and practice going on when the records
// can't be written.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineSeries>
#include <QTableView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

#include "app/practice_window.h"
#include "app/records_window.h"
#include "generator/problem_text.h"
#include "practice/answer.h"
#include "records/records_store.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

class PracticeWindowTest : public ::testing::Test {
protected:
    testing::TempFolder home;
    testing::ScriptedBoxes boxes;
    testing::FixedClock clock;
    testing::RecordingSpeaker speaker;
    RandomSource random{11};
    QSettings settings{QString::fromStdString(home.file("numbrook.conf")), QSettings::IniFormat};
    std::unique_ptr<RecordsStore> records;
    std::unique_ptr<PracticeWindow> w;

    void open(const QString& recordsPath, const std::function<void()>& beforeStart = {})
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
            GTEST_SKIP() << "no SQLite driver for Qt (libqt6sql6-sqlite)";
        settings.setValue(QStringLiteral("practice/wrongShownMs"), 20);
        records = std::make_unique<RecordsStore>(recordsPath);
        PracticeServices services{boxes, random, clock, settings, *records, speaker, {}, {}};
        services.openRecords = [](MessageBoxes& b, RecordsStore& r, const std::string& pupil,
                                  SaveFileQuestion saveAs, QWidget* parent) -> QDialog* {
            return new RecordsWindow(b, r, pupil, std::move(saveAs), parent);
        };
        w = std::make_unique<PracticeWindow>(services);
        w->show();
        w->pupilBox->setCurrentText(QStringLiteral("小明"));
        w->typeBoxes[8]->setChecked(true);
        w->typeBoxes[0]->setChecked(false);
        w->typeCounts[8]->setValue(10);
        if (beforeStart)
            beforeStart();
        // Where the keys go: the combo box hands them to its line edit.
        QTest::keyClick(w->pupilBox, Qt::Key_Return);
        ASSERT_TRUE(w->session());
    }

    std::string right() const { return answerText(w->session()->current()); }

    void type(const std::string& answer)
    {
        QTest::keyClicks(w->answerBox, QString::fromStdString(answer));
        QTest::keyClick(w->answerBox, Qt::Key_Return);
    }
};

TEST_F(PracticeWindowTest, ThreeWrongOfTenAndTheirRetry)
{
    open(QString::fromStdString(home.file("records.sqlite")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("练习 - 小明"));
    std::vector<std::string> missed;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(w->progressLabel->text(), QStringLiteral("第 %1 题 / 共 10 题").arg(i + 1));
        EXPECT_EQ(w->problemLabel->accessibleName(), w->problemLabel->text());
        EXPECT_EQ(w->focusWidget(), w->answerBox);
        if (i % 3 == 1) {
            missed.push_back(problemText(w->session()->current()));
            type("1" + right());
            EXPECT_TRUE(w->showingCorrection());
            EXPECT_EQ(w->correctionLabel->text().toStdString(),
                      "正确答案：" + keyText(w->session()->attempts().back().problem));
            QTest::keyClick(w->answerBox, Qt::Key_5);  // moves on, and is not typed
            EXPECT_FALSE(w->showingCorrection());
            EXPECT_TRUE(w->answerBox->text().isEmpty());
        } else if (i == 9) {
            for (char digit : right())
                w->findChild<QPushButton*>(QStringLiteral("Pad") + QChar::fromLatin1(digit))
                    ->click();
            w->findChild<QPushButton*>(QStringLiteral("PadOk"))->click();
        } else {
            type(right());
        }
    }
    EXPECT_TRUE(w->summaryLabel->text().contains(QStringLiteral("70%（7/10）")));
    EXPECT_EQ(w->focusWidget(), w->retryButton);
    ASSERT_EQ(w->wrongTable->rowCount(), 3);
    EXPECT_EQ(w->typeTable->rowCount(), 1);
    EXPECT_EQ(records->history("小明").size(), 10u);

    // 错题重练: the three, and one missed again comes back after the correction times out.
    w->retryButton->click();
    std::vector<std::string> shown;
    for (int i = 0; !w->session()->finished() && i < 10; ++i) {
        shown.push_back(problemText(w->session()->current()));
        if (i == 0) {
            type("0");
            QTRY_VERIFY_WITH_TIMEOUT(!w->showingCorrection(), 5000);
        } else {
            type(right());
        }
    }
    EXPECT_EQ(shown, (std::vector<std::string>{missed[0], missed[1], missed[2], missed[0]}));
    EXPECT_TRUE(w->summaryLabel->text().contains(QStringLiteral("（3/4）")));
    EXPECT_EQ(records->history("小明").size(), 14u);
    EXPECT_TRUE(w->recordsLabel->isHidden());
}

TEST_F(PracticeWindowTest, PractiseGoesOnWhenTheRecordsCannotBeWritten)
{
    const QString path = QString::fromStdString(home.file("records.sqlite"));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version=99"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("newer"));
    open(path);
    for (int i = 0; i < 10; ++i)
        type(right());
    EXPECT_TRUE(w->summaryLabel->text().contains(QStringLiteral("（10/10）")));
    EXPECT_FALSE(w->recordsLabel->isHidden());
    EXPECT_TRUE(w->recordsLabel->text().contains(QStringLiteral("较新版本")));
}

// 朗读题目 and 只听不看, with and without a voice: what is said, what is seen.
struct Reading {
    const char* name;
    bool voice, speak, listenOnly;
    bool says, shows;
    friend void PrintTo(const Reading& r, std::ostream* out) { *out << r.name; }
};

class PracticeReadingTest : public PracticeWindowTest,
                            public ::testing::WithParamInterface<Reading> {};

TEST_P(PracticeReadingTest, SaysTheProblemInWordsAndHidesItOnlyWhenAsked)
{
    const Reading& r = GetParam();
    speaker.hasVoice = r.voice;
    open(QString::fromStdString(home.file("records.sqlite")), [&] {
        w->speakBox->setChecked(r.speak);
        w->listenOnlyBox->setChecked(r.listenOnly);
    });
    EXPECT_EQ(w->speakBox->isEnabled(), r.voice);
    EXPECT_EQ(w->speakBox->toolTip().contains(QStringLiteral("speech-dispatcher-espeak-ng")),
              !r.voice);
    for (int i = 0; i < 2; ++i) {
        const Problem shown = w->session()->current();
        EXPECT_EQ(speaker.said.size(), r.says ? size_t(i + 1) : 0u);
        if (r.says) {
            EXPECT_EQ(speaker.said.back(), problemWords(shown));
        }
        EXPECT_EQ(w->problemLabel->text() == QString::fromStdString(problemText(shown)), r.shows);
        EXPECT_EQ(w->problemLabel->accessibleName().toStdString(), problemText(shown));
        type(right());
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, PracticeReadingTest,
                         ::testing::Values(Reading{"Read", true, true, false, true, true},
                                           Reading{"ReadOnly", true, true, true, true, false},
                                           Reading{"NotRead", true, false, true, false, true},
                                           Reading{"NoVoice", false, true, true, false, true}));

TEST_F(PracticeWindowTest, RecordsOfTheEnd)
{
    open(QString::fromStdString(home.file("records.sqlite")));
    for (int i = 0; i < 10; ++i) {
        type(i < 3 ? "100" : right());
        if (w->showingCorrection())
            QTest::keyClick(w->answerBox, Qt::Key_Space);
    }
    w->recordsButton->click();
    auto* r = qobject_cast<RecordsWindow*>(w->recordsWindow.data());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->windowTitle(), QStringLiteral("练习记录 - 小明"));
    EXPECT_EQ(r->sessionsView->model()->rowCount(), 1);
    EXPECT_EQ(r->sessionsView->model()->index(0, 3).data().toString(), QStringLiteral("70%"));
    EXPECT_EQ(r->missedTable->rowCount(), 3);
    ASSERT_EQ(r->accuracySeries->count(), 1);
    EXPECT_DOUBLE_EQ(r->accuracySeries->at(0).y(), 70.0);
    EXPECT_EQ(r->typeBox->count(), 2);  // all types, and 表内除法
}

TEST_F(PracticeWindowTest, CsvOfOnePupilOrOfAll)
{
    open(QString::fromStdString(home.file("records.sqlite")));
    type(right());
    RecordsStore other(QString::fromStdString(home.file("records.sqlite")));
    other.addAttempt(other.startSession("小红", 0, "x", clock.time), RecordedAttempt{});
    QString suggested;
    QString chosen = QString::fromStdString(home.file("all.csv"));
    RecordsWindow rw(boxes, *records, "小明", [&](QWidget*, const QString& s) {
        suggested = s;
        return chosen;
    });
    rw.exportAll->trigger();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/练习记录.csv")));
    std::string all = testing::readAll(chosen.toStdString());
    EXPECT_EQ(all.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_NE(all.find("小红"), std::string::npos);
    chosen = QString::fromStdString(home.file("one.csv"));
    rw.exportPupil->trigger();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/小明.csv")));
    EXPECT_EQ(testing::readAll(chosen.toStdString()).find("小红"), std::string::npos);
    chosen = QString::fromStdString(home.file("no/such/folder/x.csv"));
    rw.exportPupil->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("无法写入"), std::string::npos);
}

}  // namespace
}  // namespace numbrook
