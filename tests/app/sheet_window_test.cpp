// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet window with its services handed in: what it opens with from
// the settings it is given (none, a saved set, a hand-edited or corrupt
// file), what a change shows, the options back after a restart, and one
// window only.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>

#include <fstream>
#include <functional>
#include <ostream>

#include "app/sheet_window.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

struct SheetCase {
    const char* name;
    const char* settingsFile;  // null: none yet
    std::function<void(SheetWindow&)> act;
    int pages;
    const char* total;  // the total line begins so
    friend void PrintTo(const SheetCase& c, std::ostream* out) { *out << c.name; }
};

class SheetWindowTest : public ::testing::TestWithParam<SheetCase> {
protected:
    testing::TempFolder folder;
    const QString path = QString::fromStdString(folder.file("numbrook.conf"));
    testing::ScriptedBoxes boxes;
    testing::FixedClock clock;
    RandomSource random{7};
};

QString text(const SheetWindow& w, const char* label)
{
    return w.findChild<QLabel*>(QString::fromLatin1(label))->text();
}

TEST_P(SheetWindowTest, ShowsWhatItsOptionsMakeAndKeepsThem)
{
    const SheetCase& c = GetParam();
    if (c.settingsFile)
        std::ofstream(path.toStdString()) << c.settingsFile;
    SheetOptions kept;
    {
        QSettings settings(path, QSettings::IniFormat);
        SheetWindow w(SheetWindowServices{boxes, random, settings, clock});
        kept = w.options();
        if (c.act)
            c.act(w);
        EXPECT_EQ(w.pageCount(), c.pages);
        EXPECT_TRUE(text(w, "TotalLabel").startsWith(QString::fromUtf8(c.total)))
            << text(w, "TotalLabel").toStdString();
        EXPECT_EQ(w.findChild<QPushButton*>(QStringLiteral("PrintButton"))->isEnabled(),
                  c.pages > 0);
        if (sheetOptionsProblem(w.options()).empty())
            kept = w.options();
    }
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;

    // A restart: the options last accepted, from the file.
    QSettings again(path, QSettings::IniFormat);
    SheetWindow restarted(SheetWindowServices{boxes, random, again, clock});
    EXPECT_EQ(restarted.options(), kept);
    EXPECT_GT(restarted.pageCount(), 0) << "never opens empty";
}

// 份数 typed key by key, or pasted whole.
void typeCopies(SheetWindow& w, const char* keys, bool pasted = false)
{
    auto* copies = w.findChild<QSpinBox*>(QStringLiteral("Copies"));
    copies->selectAll();
    if (pasted)
        copies->findChild<QLineEdit*>()->insert(QString::fromLatin1(keys));
    else
        QTest::keyClicks(copies, QString::fromLatin1(keys));
}

INSTANTIATE_TEST_SUITE_P(
    Options, SheetWindowTest,
    ::testing::Values(
        SheetCase{"AFreshAccount", nullptr, {}, 2, "每份合计：20题"},
        SheetCase{"ASavedSetOf40",
                  "[sheets]\ntypes=0, 8\ncount0=30\ncount8=70\nform=mixed\ncopies=40\n",
                  {},
                  80,
                  "每份合计：100题"},
        SheetCase{"AHandEditedFile",
                  "[sheets]\ntypes=3,x\ncount3=500\ncopies=abc\nform=odd\nwithKeys=false\n",
                  {},
                  2,
                  "每份合计：10题"},
        SheetCase{"NotASettingsFile", "\x01\xff[[[\n=\n[sheets\ncopies", {}, 2, "每份合计：20题"},
        SheetCase{"CopiesTypedInRange", nullptr, [](SheetWindow& w) { typeCopies(w, "12"); }, 24,
                  "每份合计：20题"},
        SheetCase{"CopiesTypedBeyondTheRange",
                  nullptr,
                  [](SheetWindow& w) {
                      typeCopies(w, "99", true);
                      EXPECT_EQ(w.findChild<QSpinBox*>(QStringLiteral("Copies"))->value(), 99)
                          << "not cut to the range";
                  },
                  0,
                  "每份合计：20题（份数须在1到60之间）"},
        SheetCase{"TheDrillsTypes", nullptr, [](SheetWindow& w) { w.tickTypes({6, 7, 8}); }, 2,
                  "每份合计：30题"},
        SheetCase{"AnExportsSheetThenOwnOptions",
                  nullptr,
                  [](SheetWindow& w) {
                      w.showSheets({{{}, {}}, "口算练习 编号07"});
                      auto* note = w.findChild<QWidget*>(QStringLiteral("ExportNote"));
                      EXPECT_TRUE(note->isVisibleTo(&w));
                      EXPECT_FALSE(w.findChild<QWidget*>(QStringLiteral("Type(0)"))
                                       ->isEnabledTo(&w));
                      EXPECT_TRUE(w.showsExportSheets());
                      w.findChild<QPushButton*>(QStringLiteral("OwnOptionsButton"))->click();
                      EXPECT_FALSE(note->isVisibleTo(&w));
                      EXPECT_FALSE(w.showsExportSheets());
                  },
                  2,
                  "每份合计：20题"},
        // A shipped preset, its page upright in the preview; four keys a
        // page; the teacher's own preset saved and chosen again.
        SheetCase{"PresetsAndThePage",
                  nullptr,
                  [](SheetWindow& w) {
                      ASSERT_TRUE(w.choosePreset(QStringLiteral("一年级上册 20以内的进位加法")));
                      EXPECT_EQ(w.options().page.orientation, PageOrientation::Portrait);
                      EXPECT_EQ(w.findChild<QPrintPreviewWidget*>(QStringLiteral("SheetPreview"))
                                    ->orientation(),
                                QPageLayout::Portrait);
                      auto* keys = w.findChild<QComboBox*>(QStringLiteral("KeysPerPage"));
                      keys->setCurrentIndex(keys->findData(4));
                      typeCopies(w, "8");
                      EXPECT_TRUE(w.savePreset(QStringLiteral("我的单元")));
                      w.tickTypes({0});
                      ASSERT_TRUE(w.choosePreset(QStringLiteral("我的单元")));
                      EXPECT_EQ(w.options().copies, 8);
                  },
                  10,
                  "每份合计：30题"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(SheetWindows, OneWindowOnlyInTheProgramsOwnLook)
{
    testing::TempFolder folder;
    QSettings settings(QString::fromStdString(folder.file("numbrook.conf")), QSettings::IniFormat);
    testing::ScriptedBoxes boxes;
    testing::FixedClock clock;
    RandomSource random;
    const QPalette desktop = QApplication::palette();
    QPalette dark(QColor(0xee, 0xee, 0xee), QColor(0x30, 0x30, 0x30));
    QApplication::setPalette(dark);

    SheetWindows windows(SheetWindowServices{boxes, random, settings, clock});
    SheetWindow* first = windows.open();
    EXPECT_EQ(windows.open(), first);
    EXPECT_GT(first->palette().color(QPalette::Window).lightness(), 200);
    EXPECT_LT(first->palette().color(QPalette::WindowText).lightness(), 60);
    QApplication::setPalette(desktop);

    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.window(), nullptr);
    EXPECT_NE(windows.open(), nullptr);
}

}  // namespace
}  // namespace numbrook
