// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_look.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "app/form_layout.h"

namespace numbrook {

QPalette classicPalette()
{
    const QColor face(0xef, 0xef, 0xef);
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    QPalette p(black, face, white, QColor(0x9f, 0x9f, 0x9f), QColor(0xb8, 0xb8, 0xb8), black, white,
               white, face);
    p.setColor(QPalette::Midlight, QColor(0xca, 0xca, 0xca));
    p.setColor(QPalette::Shadow, QColor(0x76, 0x76, 0x76));
    p.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
    p.setColor(QPalette::HighlightedText, white);
    p.setColor(QPalette::Link, QColor(Qt::blue));
    p.setColor(QPalette::LinkVisited, QColor(Qt::magenta));
    p.setColor(QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7));
    p.setColor(QPalette::NoRole, black);
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc));
    p.setColor(QPalette::ToolTipText, black);
    QColor placeholder = black;
    placeholder.setAlpha(128);
    p.setColor(QPalette::PlaceholderText, placeholder);

    const QColor greyed(0xbe, 0xbe, 0xbe);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, greyed);
    p.setColor(QPalette::Disabled, QPalette::Base, face);
    p.setColor(QPalette::Disabled, QPalette::Dark, greyed);
    p.setColor(QPalette::Disabled, QPalette::Shadow, QColor(0xb1, 0xb1, 0xb1));
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x91, 0x91, 0x91));
    return p;
}

namespace {

// The window manager's frame is known only once the window is on screen:
// until then, room for a title bar and thin borders.
QMargins frameOf(const QWidget& window)
{
    QMargins frame;
    if (window.windowHandle())
        frame = window.windowHandle()->frameMargins();
    if (frame.isNull()) {
        const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
        const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
        frame = QMargins(border, border + title, border, border);
    }
    return frame;
}

}  // namespace

void fitToScreen(QWidget& window)
{
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameOf(window);

    const QSize design = FormLayout::designSize();
    const double scale = std::min(1.0, FormLayout::scaleFor(available.size().shrunkBy(frame)));
    const QSize size(int(std::floor(design.width() * scale)),
                     int(std::floor(design.height() * scale)));
    window.resize(size.expandedTo(window.minimumSize()));

    QRect outer(QPoint(), window.size().grownBy(frame));
    outer.moveCenter(available.center());
    window.move(std::max(outer.left(), available.left()), std::max(outer.top(), available.top()));
}

void placeOnScreen(QWidget& window, QSize wanted, const QWidget* over)
{
    QScreen* screen = over && over->screen() ? over->screen() : window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameOf(window);
    const QSize room = available.size().shrunkBy(frame);
    window.resize(wanted.boundedTo(room).expandedTo(window.minimumSize().boundedTo(room)));

    QRect outer(QPoint(), window.size().grownBy(frame));
    outer.moveCenter(over ? over->frameGeometry().center() : available.center());
    const auto within = [](int at, int low, int high) { return std::max(low, std::min(at, high)); };
    window.move(within(outer.left(), available.left(), available.right() + 1 - outer.width()),
                within(outer.top(), available.top(), available.bottom() + 1 - outer.height()));
}

QScrollArea* scrollingList(QWidget* list, QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setObjectName(QStringLiteral("TypeList"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidget(list);
    area->setMinimumWidth(list->sizeHint().width() + area->verticalScrollBar()->sizeHint().width());
    return area;
}

}  // namespace numbrook
