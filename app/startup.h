#pragma once

class QApplication;

namespace numbrook {

// What the application needs before its window is made: names, the CJK
// font that stands in for "宋体", Qt's Chinese texts.
void setUpApplication(QApplication& app);

// The program's own look, applied once as the window loads.
void attachSkin();

}  // namespace numbrook
