// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/number_label.h"

#include <QPainter>

namespace numbrook {

void NumberLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(foregroundRole()));
    const QFontMetrics m(font());
    const QRect digit = m.tightBoundingRect(QStringLiteral("0"));  // y measured from the baseline
    const int baseline = (height() - digit.height()) / 2 - digit.top();
    const int x = (width() - m.horizontalAdvance(text())) / 2;
    p.drawText(x, baseline, text());
}

}  // namespace numbrook
