// SPDX-License-Identifier: GPL-3.0-or-later
// The practice window, headless: a pupil's ten problems typed and tapped,
// three wrong, the end, 错题重练 of just those three until each is right,
// every attempt in the records; and practice going on when the records
// can't be written.

#include <gtest/gtest.h>

#include <QCheckBox>
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
    RandomSource random{11};
    QSettings settings{QString::fromStdString(home.file("numbrook.conf")), QSettings::IniFormat};
    std::unique_ptr<RecordsStore> records;
    std::unique_ptr<PracticeWindow> w;

    void open(const QString& recordsPath)
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
            GTEST_SKIP() << "no SQLite driver for Qt (libqt6sql6-sqlite)";
        settings.setValue(QStringLiteral("practice/wrongShownMs"), 20);
        records = std::make_unique<RecordsStore>(recordsPath);
        w = std::make_unique<PracticeWindow>(
            PracticeServices{boxes, random, clock, settings, *records});
        w->show();
        w->pupilBox->setCurrentText(QStringLiteral("小明"));
        w->typeBoxes[8]->setChecked(true);
        w->typeBoxes[0]->setChecked(false);
        w->typeCounts[8]->setValue(10);
        QTest::keyClick(w->pupilBox->lineEdit(), Qt::Key_Return);
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
                w->findChild<QPushButton*>(QStringLiteral("Pad") + QChar::fromLatin1(digit))->click();
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
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
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

}  // namespace
}  // namespace numbrook
