// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace numbrook {

// A label for large numbers in a box hardly taller than its digits: the text
// is centred by the ink of its digits rather than by the font's line box,
// whose ascent and descent would push the digits against an edge.
class NumberLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace numbrook
