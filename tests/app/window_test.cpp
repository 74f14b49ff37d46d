// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

#include "tests/app/window_fixture.h"

namespace numbrook {
namespace {

using testing::WindowTest;

TEST_F(WindowTest, StartsWithTheDesignState)
{
    EXPECT_EQ(w->size(), QSize(1016, 702));
    EXPECT_TRUE(w->windowTitle().startsWith("NumbrookV1.6  作者："));
    // The other boxes' and labels' texts: ControlsSitAtTheirPlacesWithTheirTexts.
    EXPECT_EQ(w->Text2->text(), "0.01");
    EXPECT_EQ(w->Text3->text(), "");
    EXPECT_TRUE(w->Label1->isVisibleTo(w.get()));
    EXPECT_FALSE(w->Frame7->isVisibleTo(w.get()));
    EXPECT_EQ(visibleSlots(), 0);
    for (QFrame* l : w->Line1)
        EXPECT_FALSE(l->isVisibleTo(w.get()));
    EXPECT_FALSE(w->Timer1->isTicking());
    EXPECT_FALSE(w->Timer2->isTicking());
    for (QCheckBox* b : w->Check1) {
        EXPECT_TRUE(b->isEnabled());
        EXPECT_FALSE(b->isChecked());
    }
    EXPECT_EQ(w->drill().selectedCount, 0);
    for (int16_t s : w->drill().selectedTypes)
        EXPECT_EQ(s, 0);
    EXPECT_EQ(w->drill().exportNumber, 0);
    EXPECT_EQ(w->drill().runMode, RunMode::None);
    for (QPushButton* b : {w->Command1, w->Command2, w->Command3, w->Command4, w->Command7}) {
        EXPECT_FALSE(b->isDefault());
        EXPECT_FALSE(b->autoDefault());
    }
}

TEST_F(WindowTest, ControlsSitAtTheirPlacesWithTheirTexts)
{
    struct Placed {
        const char* name;
        QRect where;  // pixels, in the container
        const char* caption;
        double points;
        bool bold;
    };
    const Placed cases[] = {
        {"Frame1", {8, 16, 225, 185}, "题数及间隔时间设置：", 10.5, true},
        {"Text1", {56, 20, 49, 24}, "5", 12, false},
        {"Command1", {149, 16, 42, 21}, "出题", 10.5, true},
        {"Command3", {149, 44, 42, 21}, "显示", 10.5, true},
        {"Command2", {149, 72, 42, 21}, "答案", 10.5, true},
        {"Label7", {8, 20, 81, 17}, "导出至文档", 10.5, true},
        {"Command7", {152, 16, 38, 21}, "确定", 10.5, true},
        {"Frame4", {248, 16, 761, 185}, "式题类型选择：", 10.5, true},
        {"Frame2", {8, 205, 1001, 401}, "式题显示窗口：", 10.5, true},
        {"Label1", {264, 160, 463, 113}, "", 80.25, true},
        {"Frame5", {8, 608, 1001, 81}, "计时器：（可用“空格键”直接停止）", 14.25, true},
        {"Label8", {360, 24, 201, 41}, "0:0:0", 36, true},
        {"Command4", {560, 30, 49, 41}, "停止", 12, true},
        {"Frame7", {424, 272, 161, 41}, "", 14.25, true},
        {"Label9", {24, 8, 113, 33}, "25%", 18, true},
        {"Check1(4)", {24, 99, 217, 33}, "两位减两位（不退位）", 14.25, false},
        {"Check1(8)", {520, 24, 217, 33}, "表内除法", 14.25, false},
        {"Check1(11)", {520, 136, 217, 33}, "（暂未设置）", 14.25, false},
        {"Label6(1)", {8, 32, 229, 47}, "", 36, true},
        {"Label6(20)", {760, 344, 229, 47}, "", 36, true},
    };
    for (const Placed& c : cases) {
        auto* widget = w->findChild<QWidget*>(c.name);
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_EQ(widget->geometry(), c.where) << c.name;
        QString caption;
        if (auto* b = qobject_cast<QAbstractButton*>(widget))
            caption = b->text();
        if (auto* l = qobject_cast<QLabel*>(widget))
            caption = l->text();
        if (auto* g = qobject_cast<QGroupBox*>(widget))
            caption = g->title();
        if (auto* e = qobject_cast<QLineEdit*>(widget))
            caption = e->text();
        EXPECT_EQ(caption.toStdString(), c.caption) << c.name;
        EXPECT_EQ(widget->font().pointSizeF(), c.points) << c.name;
        EXPECT_EQ(widget->font().bold(), c.bold) << c.name;
    }
    EXPECT_EQ(w->Label1->palette().color(QPalette::Window), QColor(192, 192, 255));
    EXPECT_EQ(w->Frame7->palette().color(QPalette::Window), QColor(255, 192, 192));
}

TEST_F(WindowTest, EveryControlHasANameForAScreenReader)
{
    w->show();
    screenRun("2");
    w->Command3_Click();
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (c->objectName().isEmpty() || !c->isVisibleTo(w.get()))
            continue;  // Qt's own parts
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        ASSERT_NE(a, nullptr) << c->objectName().toStdString();
        const bool empty =
            a->text(QAccessible::Name).isEmpty() && a->text(QAccessible::Description).isEmpty();
        EXPECT_FALSE(empty) << c->objectName().toStdString();
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w->Label6[1])->text(QAccessible::Name),
              QString::fromStdString(w->drill().problemTexts[1]));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w->Command1)->text(QAccessible::Name), "出题");
}

TEST_F(WindowTest, TabVisitsTheControlsInTheDrillOrder)
{
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    // What the user sees take the focus: a box's or button's caption, a text
    // box's text in brackets.
    auto seen = []() -> std::string {
        QWidget* f = QApplication::focusWidget();
        if (auto* b = qobject_cast<QAbstractButton*>(f))
            return b->text().toStdString();
        if (auto* e = qobject_cast<QLineEdit*>(f))
            return "[" + e->text().toStdString() + "]";
        return f ? "?" + f->objectName().toStdString() : "nothing";
    };
    const std::vector<std::string> expected{
        "20以内退位减法",
        "表内乘法",
        "两位减两位（不退位）",
        "（暂未设置）",
        "（暂未设置）",
        "（暂未设置）",
        "表内除法",
        "一位数加一位数",
        "10以内的减法",
        "两位数乘一位数",
        "两位数加两位数",
        "两位减两位（退位）",
        "停止",
        "确定",
        "[]",
        "答案",
        "[0.01]",
        "出题",
        "显示",
        "[5]",
        "20以内退位减法",  // and round again
    };
    std::vector<std::string> visited{seen()};
    for (size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(seen());
    }
    EXPECT_EQ(visited, expected);
}

// The type list after a series of clicks: slots beyond the count keep
// what an earlier rebuild left there.
struct TickCase {
    const char* name;
    std::vector<int> clicks;
    int16_t count;
    std::vector<int16_t> leading;  // the first slots expected
    friend void PrintTo(const TickCase& c, std::ostream* os) { *os << c.name; }
};

class TypeSelectionTest : public WindowTest, public ::testing::WithParamInterface<TickCase> {};

TEST_P(TypeSelectionTest, RebuildsTheListInIndexOrder)
{
    for (int i : GetParam().clicks)
        w->Check1[i]->click();
    EXPECT_EQ(w->drill().selectedCount, GetParam().count);
    for (size_t k = 0; k < GetParam().leading.size(); ++k)
        EXPECT_EQ(w->drill().selectedTypes[k], GetParam().leading[k]) << "slot " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, TypeSelectionTest,
    ::testing::Values(
        TickCase{"FiveThenTwo", {5, 2}, 2, {2, 5}}, TickCase{"OnlyAnUnsetType", {10}, 0, {0, 0}},
        TickCase{"UntickFiveThenTwo", {2, 5, 5, 2}, 0, {2, 5}},
        TickCase{"UntickTwoThenFive", {2, 5, 2, 5}, 0, {5, 5}},
        TickCase{"AllNine", {8, 7, 6, 5, 4, 3, 2, 1, 0, 9}, 9, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        TickCase{"UnsetTypesAreSkipped", {11, 6, 9, 1}, 2, {1, 6}}),
    [](const auto& p) { return std::string(p.param.name); });

// What a box of the real kind is titled.
QString shownTitle(const std::string& title)
{
    QWidget parent;
    QString seen;
    testing::lookAtRealBox(&parent, "text", title,
                           [&seen](QMessageBox& box) { seen = box.windowTitle(); });
    return seen;
}

TEST(QtMessageBoxesTitle, IsTheBoxsOwnOrElseTheApplicationsTitle)
{
    // No application display name: Qt would append it to every title on the display.
    EXPECT_TRUE(QGuiApplication::applicationDisplayName() == QCoreApplication::applicationName());
    EXPECT_EQ(shownTitle("提示！"), QStringLiteral("提示！"));
    EXPECT_EQ(shownTitle(""), QStringLiteral("NumbrookV1.6"));
}

}  // namespace
}  // namespace numbrook
