// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace numbrook {

// The form as designed, in twips, and the one scale that fits it into its
// window: every control keeps its designed rectangle and font multiplied by
// that scale, and the form is centred in the window. At the designed size
// the scale is exactly 1 and every control sits where the design puts it.
class FormLayout {
public:
    static constexpr int kTwipsPerPixel = 15;  // at 96 DPI
    static constexpr int kDesignWidthTwips = 15240;
    static constexpr int kDesignHeightTwips = 10530;

    // The form at scale 1, in pixels (1016 × 702).
    static QSize designSize();
    // The largest scale at which the whole form fits into client, keeping its
    // aspect ratio.
    static double scaleFor(QSize client);

    explicit FormLayout(QWidget* form) : form_(form) {}

    // The window's own font, scaled with the rest.
    void setFormFont(const QFont& font);
    // Records a control's designed rectangle (twips, in its container) and
    // font, and places it at the current scale.
    void add(QWidget* control, QRect twips, const QFont& font);

    // Lays the form out for a window whose client area is client.
    void apply(QSize client);

    double scale() const { return scale_; }
    // Where the form's top left corner lies in the window.
    QPointF offset() const { return offset_; }

private:
    struct Item {
        QWidget* control;
        QRect twips;
        QFont font;
    };

    QRect pixels(const Item& item) const;
    QFont scaled(const QFont& font) const;

    QWidget* form_;
    QFont formFont_;
    std::vector<Item> items_;
    double scale_ = 1.0;
    QPointF offset_;
};

}  // namespace numbrook
