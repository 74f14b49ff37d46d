// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/scaled_style.h"

#include <QWidget>

#include <cmath>

namespace numbrook {

int ScaledStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_CheckBoxLabelSpacing:
        break;
    default:
        return base;
    }
    if (!widget)
        return base;
    const QVariant scale = widget->window()->property(kScaleProperty);
    if (!scale.isValid() || scale.toDouble() <= 1.0)
        return base;
    return int(std::lround(base * scale.toDouble()));
}

}  // namespace numbrook
