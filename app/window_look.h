// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPalette>
#include <QSize>

class QScrollArea;
class QWidget;

namespace numbrook {

// The program's own colours, the same on every desktop: a light grey face,
// white text boxes and black text, whatever theme or colour scheme the
// desktop has.
QPalette classicPalette();

// Sizes the form's window for the screen it opens on: the designed size, but
// never more than the screen's free area (leaving room for the window
// frame), scaled down as a whole when it does not fit; centred on that area.
void fitToScreen(QWidget& window);

// Sizes a window of our own to `wanted`, but never more than the free area
// of the screen (leaving room for the frame), and places it centred over
// `over`, or on that area, wholly inside it.
void placeOnScreen(QWidget& window, QSize wanted, const QWidget* over = nullptr);

// A list that scrolls up and down where its parent is low ("TypeList"), as
// wide as the list and its scroll bar.
QScrollArea* scrollingList(QWidget* list, QWidget* parent);

}  // namespace numbrook
