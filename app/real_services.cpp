// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/real_services.h"

#include <chrono>
#include <thread>


namespace numbrook {

RealServices::RealServices(SheetsHost sheets)
    : random_(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())),
      settings_(QStringLiteral("numbrook"), QStringLiteral("numbrook"))
{
    exporting_.makeHost =
        chooseHostFactory(sheets, realHostMakers([this](const builtin::FilledSheets& filled) {
                              sheetWindows_.show(window_, filled);
                          }));
    exporting_.pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

Form1Services RealServices::forWindow()
{
    return Form1Services{boxes_, random_, clock_, exporting_, &sheetWindows_};
}

PracticeServices RealServices::forPractice()
{
    if (!records_)
        records_ = std::make_unique<RecordsStore>(RecordsStore::defaultPath());
    return PracticeServices{practiceBoxes_, random_, clock_, settings_, *records_};
}

PracticeWindow* RealServices::openPractice()
{
    PracticeWindow* window = PracticeWindow::open(forPractice(), window_);
    practiceBoxes_.setParent(window);
    return window;
}

}  // namespace numbrook
