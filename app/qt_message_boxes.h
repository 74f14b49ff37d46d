// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/message_boxes.h"

class QWidget;

namespace numbrook {

// Modal message boxes over a window, with "确定"/"取消" and no icon.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the boxes open over, once it exists.
    void setParent(QWidget* parent) { parent_ = parent; }
    Answer show(const std::string& text, const std::string& title, Buttons buttons) override;

private:
    QWidget* parent_;
};

}  // namespace numbrook
