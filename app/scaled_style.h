// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

namespace numbrook {

// A style whose check boxes grow with the form: the size of their box and
// the gap to the caption follow the scale at which the window lays its form
// out, so that on a large screen the boxes match their captions and are
// easy to tap. At the designed size it is the style it wraps.
class ScaledStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    // The property of a window that carries its form's scale.
    static constexpr const char* kScaleProperty = "formScale";

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};

}  // namespace numbrook
