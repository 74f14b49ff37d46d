// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/version.h"

class QApplication;
class QCoreApplication;

namespace numbrook {

// The application's own title: the caption of a message box that has none of
// its own.
inline constexpr const char* kApplicationTitle = kProgramTitle;

// Qt's own texts (buttons, the usage of the command line) in Chinese, for
// the application object that exists now. The translation is read once, at
// the first call, and serves every application object after it.
void installQtChinese();

// What the application needs before its window is made: names, the CJK
// font that stands in for "宋体", Qt's Chinese texts.
void setUpApplication(QApplication& app);

// The program's own look, applied once as the window loads.
void attachSkin();

}  // namespace numbrook
