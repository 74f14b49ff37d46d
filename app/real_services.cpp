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
        chooseHostFactory(sheets, realHostMakers([this](const builtin::ShownSheets& filled) {
                              sheetWindows_.show(window_, filled);
                          }));
    exporting_.pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

Form1Services RealServices::forWindow()
{
    return Form1Services{boxes_, random_, clock_, exporting_, &sheetWindows_};
}

namespace {

// No voice: where the module that reads aloud can't be loaded.
class Silent final : public Speaker {
public:
    void findVoice(std::function<void(bool)> found) override { found(false); }
    bool available() override { return false; }
    void say(const std::string&) override {}
};

}  // namespace

PracticeServices RealServices::forPractice()
{
    if (!records_)
        records_ = std::make_unique<RecordsStore>(RecordsStore::defaultPath());
    if (!speaker_) {
        // The voice and the records' chart come with the module, loaded now
        // rather than at the program's start.
        try {
            speaker_.reset(sheetsModule().makeSpeaker());
        } catch (const HostError&) {
            speaker_ = std::make_unique<Silent>();
        }
    }
    PracticeServices services{practiceBoxes_, random_,   clock_, settings_,
                              *records_,      *speaker_, {},     {}};
    services.openRecords = [](MessageBoxes& boxes, RecordsStore& records, const std::string& pupil,
                              SaveFileQuestion saveAs, QWidget* parent) -> QDialog* {
        try {
            return sheetsModule().makeRecordsWindow(boxes, records, pupil, std::move(saveAs),
                                                    parent);
        } catch (const HostError& error) {
            boxes.show(std::string("无法打开记录：") + error.what(), "提示！", Buttons::Ok);
            return nullptr;
        }
    };
    return services;
}

PracticeWindow* RealServices::openPractice()
{
    PracticeWindow* window = PracticeWindow::open(forPractice(), window_);
    practiceBoxes_.setParent(window);
    return window;
}

}  // namespace numbrook
