// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>

#include <memory>

#include "app/form1.h"
#include "app/host_choice.h"
#include "app/practice_window.h"
#include "app/qt_message_boxes.h"
#include "app/sheets_module.h"
#include "records/records_store.h"

namespace numbrook {

// The world the window is given when the program runs for real, made once by
// main: message boxes over the window, the system clock, a random source
// seeded from the steady clock, the document host that the command line
// chose and a real pause; and for the sheet window its own boxes over it and
// the user's settings.
class RealServices {
public:
    explicit RealServices(SheetsHost sheets);
    RealServices(const RealServices&) = delete;
    RealServices& operator=(const RealServices&) = delete;

    Form1Services forWindow();
    // The one sheet window, opened from the drill window, an export or alone;
    // the sheets module is loaded when it first opens.
    SheetWindowOpener& sheetWindows() { return sheetWindows_; }
    // The practice window's: its own boxes, the settings, and the records,
    // opened on first use.
    PracticeServices forPractice();
    // Opens the practice window (over the drill window, when there is one)
    // with its boxes over it.
    PracticeWindow* openPractice();
    // The boxes, and the sheet window of an export kept open, open over the
    // window once it exists.
    void placeBoxesOver(QWidget* window)
    {
        boxes_.setParent(window);
        window_ = window;
    }

private:
    QtMessageBoxes boxes_;
    SystemClock clock_;
    RandomSource random_;
    ExportServices exporting_;
    QWidget* window_ = nullptr;
    QSettings settings_{QStringLiteral("numbrook"), QStringLiteral("numbrook")};
    QtMessageBoxes sheetBoxes_;
    SheetWindowsOnDemand sheetWindows_{SheetWindowServices{sheetBoxes_, random_, settings_, clock_},
                                       [this](QWidget& window) { sheetBoxes_.setParent(&window); }};
    QtMessageBoxes practiceBoxes_;
    std::unique_ptr<RecordsStore> records_;
    // Made with the practice window's first opening; its engine when the
    // window first looks for a voice.
    std::unique_ptr<Speaker> speaker_;
};

}  // namespace numbrook
