// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form_layout.h"

#include <QWidget>

#include <algorithm>

#include "app/scaled_style.h"

namespace numbrook {
namespace {

int toPixels(int twips, double scale, double shift = 0)
{
    return qRound(twips * scale / FormLayout::kTwipsPerPixel + shift);
}

}  // namespace

QSize FormLayout::designSize()
{
    return {kDesignWidthTwips / kTwipsPerPixel, kDesignHeightTwips / kTwipsPerPixel};
}

double FormLayout::scaleFor(QSize client)
{
    const QSize design = designSize();
    return std::min(double(client.width()) / design.width(),
                    double(client.height()) / design.height());
}

void FormLayout::setFormFont(const QFont& font)
{
    formFont_ = font;
    form_->setFont(scaled(font));
}

void FormLayout::add(QWidget* control, QRect twips, const QFont& font)
{
    items_.push_back({control, twips, font});
    control->setFont(scaled(font));
    control->setGeometry(pixels(items_.back()));
}

QRect FormLayout::pixels(const Item& item) const
{
    // Each edge is rounded in its container, as the designed pixels are; only
    // the controls placed straight on the form move with the centring.
    const QPointF shift = item.control->parentWidget() == form_ ? offset_ : QPointF();
    return {toPixels(item.twips.left(), scale_, shift.x()),
            toPixels(item.twips.top(), scale_, shift.y()), toPixels(item.twips.width(), scale_),
            toPixels(item.twips.height(), scale_)};
}

QFont FormLayout::scaled(const QFont& font) const
{
    QFont f = font;
    f.setPointSizeF(font.pointSizeF() * scale_);
    return f;
}

void FormLayout::apply(QSize client)
{
    if (client.isEmpty())
        return;
    const double scale = scaleFor(client);
    const QSize design = designSize();
    const QPointF offset((client.width() - design.width() * scale) / 2,
                         (client.height() - design.height() * scale) / 2);
    const bool rescaled = scale != scale_;
    if (!rescaled && offset == offset_)
        return;
    scale_ = scale;
    offset_ = offset;

    if (rescaled) {
        form_->setProperty(ScaledStyle::kScaleProperty, scale_);
        form_->setFont(scaled(formFont_));
        for (const Item& item : items_)
            item.control->setFont(scaled(item.font));
    }
    for (const Item& item : items_) {
        const QRect r = pixels(item);
        if (item.control->geometry() != r)
            item.control->setGeometry(r);
    }
}

}  // namespace numbrook
