// SPDX-License-Identifier: GPL-3.0-or-later
// The form at other window sizes: one scale for every rectangle and font,
// the form centred, large digits whole; and its own light colours on a dark
// desktop.
#include <QApplication>
#include <QGroupBox>

#include <algorithm>
#include <map>

#include "tests/app/window_fixture.h"

namespace numbrook {
namespace {

using testing::touchesEdge;
using testing::WindowTest;

// The design's measures: the client area and the controls' rectangles in
// twips (15 to the pixel at the designed size), each in its container.
constexpr double kTwipsPerPixel = 15;
constexpr double kDesignWidth = 15240;
constexpr double kDesignHeight = 10530;

struct Designed {
    const char* name;
    int left, top, width, height;
    bool onForm;  // placed straight on the window, moved by the centring
};

// A sample from every container, including the grids' last cells.
constexpr Designed kDesigned[] = {
    {"Frame1", 120, 240, 3375, 2775, true},      {"Text1", 840, 307, 735, 360, false},
    {"Command2", 2240, 1080, 630, 320, false},   {"Label7", 120, 300, 1215, 255, false},
    {"Command7", 2280, 240, 570, 320, false},    {"Frame4", 3720, 240, 11415, 2775, true},
    {"Check1(5)", 4080, 1485, 3255, 495, false}, {"Check1(11)", 7800, 2040, 3255, 495, false},
    {"Frame2", 120, 3080, 15015, 6015, true},    {"Label6(1)", 120, 480, 3435, 705, false},
    {"Label6(7)", 7640, 1650, 3435, 705, false}, {"Label6(20)", 11400, 5160, 3435, 705, false},
    {"Label1", 3960, 2400, 6945, 1695, false},   {"Frame5", 120, 9120, 15015, 1215, true},
    {"Label8", 5400, 360, 3015, 615, false},     {"Command4", 8400, 450, 735, 615, false},
    {"Frame7", 6360, 4080, 2415, 615, true},     {"Label9", 360, 120, 1695, 495, false},
};

struct WindowSize {
    const char* name;
    QSize client;
    friend void PrintTo(const WindowSize& s, std::ostream* os) { *os << s.name; }
};

// What a region of a rendered image holds: its lightest and darkest grey,
// and the share of its pixels that are light, the ground and not the ink.
struct Tones {
    int lightest = 0;
    int darkest = 255;
    double lightShare = 0;
};

Tones tones(const QImage& img, QRect region)
{
    Tones t;
    region &= img.rect();
    int light = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const int g = qGray(img.pixel(x, y));
            t.lightest = std::max(t.lightest, g);
            t.darkest = std::min(t.darkest, g);
            light += g >= 200 ? 1 : 0;
        }
    t.lightShare = double(light) / (region.width() * region.height());
    return t;
}

class ScaledFormTest : public WindowTest, public ::testing::WithParamInterface<WindowSize> {
protected:
    std::map<QString, QRect> designRects;
    std::map<QString, double> designPoints;
    double scale = 0;
    QPointF offset;

    void SetUp() override
    {
        WindowTest::SetUp();
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (c->objectName().isEmpty())
                continue;
            designRects[c->objectName()] = c->geometry();
            designPoints[c->objectName()] = c->font().pointSizeF();
        }
        w->show();
        const QSize client = GetParam().client;
        w->resize(client);
        ASSERT_EQ(w->size(), client);
        scale = std::min(client.width() * kTwipsPerPixel / kDesignWidth,
                         client.height() * kTwipsPerPixel / kDesignHeight);
        offset = QPointF((client.width() - kDesignWidth * scale / kTwipsPerPixel) / 2,
                         (client.height() - kDesignHeight * scale / kTwipsPerPixel) / 2);
    }
};

TEST_P(ScaledFormTest, EveryRectangleIsItsTwipsTimesTheScaleCentred)
{
    EXPECT_NEAR(w->formScale(), scale, 1e-9);
    for (const Designed& d : kDesigned) {
        auto* c = w->findChild<QWidget*>(d.name);
        ASSERT_NE(c, nullptr) << d.name;
        const QPointF shift = d.onForm ? offset : QPointF();
        const QRect r = c->geometry();
        EXPECT_NEAR(r.x(), d.left * scale / kTwipsPerPixel + shift.x(), 1) << d.name;
        EXPECT_NEAR(r.y(), d.top * scale / kTwipsPerPixel + shift.y(), 1) << d.name;
        EXPECT_NEAR(r.width(), d.width * scale / kTwipsPerPixel, 1) << d.name;
        EXPECT_NEAR(r.height(), d.height * scale / kTwipsPerPixel, 1) << d.name;
    }
    // The separators stay centred on their designed x, 3720, 7440 and 11160.
    for (int i = 0; i < 3; ++i) {
        const QRect r = w->Line1[i]->geometry();
        EXPECT_NEAR((r.left() + r.right() + 1) / 2.0, 3720 * (i + 1) * scale / kTwipsPerPixel, 1)
            << i;
        EXPECT_NEAR(r.top(), 480 * scale / kTwipsPerPixel, 1) << i;
        EXPECT_NEAR(r.bottom() + 1, 5880 * scale / kTwipsPerPixel, 1) << i;
    }
}

TEST_P(ScaledFormTest, EveryControlGrowsFromItsDesignedPlaceAndFont)
{
    // Every named control, whether sampled above or not: its designed pixels
    // were rounded from twips, so at scale s each edge may be off by s / 2 + 1.
    const double slack = scale / 2 + 1;
    for (const auto& [name, design] : designRects) {
        auto* c = w->findChild<QWidget*>(name);
        const QPointF shift = c->parentWidget() == w.get() ? offset : QPointF();
        const QRect r = c->geometry();
        EXPECT_NEAR(r.x(), design.x() * scale + shift.x(), slack) << name.toStdString();
        EXPECT_NEAR(r.y(), design.y() * scale + shift.y(), slack) << name.toStdString();
        EXPECT_NEAR(r.width(), design.width() * scale, slack) << name.toStdString();
        EXPECT_NEAR(r.height(), design.height() * scale, slack) << name.toStdString();
        EXPECT_DOUBLE_EQ(c->font().pointSizeF(), designPoints[name] * scale) << name.toStdString();
    }
    EXPECT_DOUBLE_EQ(w->Label6[20]->font().pointSizeF(), 36 * scale);
    EXPECT_DOUBLE_EQ(w->Label1->font().pointSizeF(), 80.25 * scale);
    EXPECT_DOUBLE_EQ(w->Label8->font().pointSizeF(), 36 * scale);
    EXPECT_DOUBLE_EQ(w->font().pointSizeF(), 14.25 * scale);
}

TEST_P(ScaledFormTest, TheWidestTextsStayWholeInsideTheirLabels)
{
    for (auto [label, sample] : widestTexts()) {
        label->setText(QString::fromUtf8(sample));
        const QImage img = label->grab().toImage();
        EXPECT_LT(tones(img, img.rect()).darkest, 128) << sample << " shows no ink";
        EXPECT_FALSE(touchesEdge(label)) << sample;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ScaledFormTest,
    ::testing::Values(WindowSize{"Designed", {1016, 702}}, WindowSize{"Scale125", {1270, 878}},
                      WindowSize{"Scale150", {1524, 1053}}, WindowSize{"Scale200", {2032, 1404}},
                      WindowSize{"Wide1920x1080", {1920, 1080}},
                      WindowSize{"Tall800x1000", {800, 1000}}, WindowSize{"Small", {600, 420}}),
    [](const auto& p) { return std::string(p.param.name); });

QPalette darkDesktop()
{
    QPalette p(QColor(0x35, 0x35, 0x35));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    return p;
}

// A desktop whose colour scheme is dark, set before the window is made.
class DarkDesktopTest : public WindowTest, public ::testing::WithParamInterface<WindowSize> {
protected:
    QPalette before;

    void SetUp() override
    {
        before = QApplication::palette();
        QApplication::setPalette(darkDesktop());
        WindowTest::SetUp();
        w->show();
        w->resize(GetParam().client);
    }
    void TearDown() override
    {
        w.reset();
        QApplication::setPalette(before);
    }
};

TEST_P(DarkDesktopTest, TextsStayDarkOnALightGround)
{
    screenRun("20");
    w->Command2_Click();
    const QImage img = w->grab().toImage();
    const double s = w->formScale();
    auto at = [&](QWidget* c, QRect part = {}) {
        const QRect r = part.isNull() ? c->rect() : part;
        return QRect(c->mapTo(w.get(), r.topLeft()), r.size());
    };
    // The caption of the panel sits in its top border, left.
    const QRect caption(0, 0, int(100 * s), int(14 * s));
    const std::pair<const char*, QRect> regions[] = {
        {"Label6(1)", at(w->Label6[1])}, {"Label6(20)", at(w->Label6[20])},
        {"Label8", at(w->Label8)},       {"Frame2 caption", at(w->Frame2, caption)},
        {"Check1(0)", at(w->Check1[0])}, {"Text1", at(w->Text1)},
    };
    for (const auto& [name, region] : regions) {
        const Tones t = tones(img, region);
        EXPECT_LE(t.darkest, 64) << name;
        EXPECT_GE(t.lightest, 220) << name;
        EXPECT_GT(t.lightShare, 0.5) << name;
    }
    // Around the form, the window's own face.
    EXPECT_GE(qGray(img.pixel(0, 0)), 220);
    EXPECT_GE(qGray(img.pixel(img.width() - 1, img.height() - 1)), 220);
    EXPECT_EQ(w->Text1->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(w->Label1->palette().color(QPalette::Window), QColor(192, 192, 255));
    EXPECT_EQ(w->Frame7->palette().color(QPalette::Window), QColor(255, 192, 192));
}

TEST_P(DarkDesktopTest, MessageBoxesKeepTheLightColours)
{
    QImage seen;
    testing::lookAtRealBox(w.get(), "目前运行结果用于导出至文件，无法输出到屏幕！", "提示！",
                           [&seen](QMessageBox& box) { seen = box.grab().toImage(); });
    ASSERT_FALSE(seen.isNull());
    const Tones t = tones(seen, seen.rect());
    EXPECT_GT(t.lightShare, 0.8);
    EXPECT_LE(t.darkest, 64);
}

INSTANTIATE_TEST_SUITE_P(Windows, DarkDesktopTest,
                         ::testing::Values(WindowSize{"Designed", {1016, 702}},
                                           WindowSize{"Wide1920x1080", {1920, 1080}}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace numbrook
