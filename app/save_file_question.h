// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace numbrook {

// Where to save a file: the path chosen, or empty when cancelled. By
// default the system's file dialog.
using SaveFileQuestion = std::function<QString(QWidget* over, const QString& suggested)>;

}  // namespace numbrook
