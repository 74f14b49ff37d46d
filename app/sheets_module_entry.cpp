// SPDX-License-Identifier: GPL-3.0-or-later
// The sheets module's one exported symbol: the program finds it with dlsym
// (sheets_module.h).

#include <QWidget>

#include <memory>
#include <type_traits>

#include "app/qt_speaker.h"
#include "app/records_window.h"
#include "app/sheet_window.h"
#include "app/sheets_module.h"
#include "export/builtin/builtin_host.h"

namespace numbrook {
namespace {

class ModuleSheetWindows final : public SheetWindowOpener {
public:
    ModuleSheetWindows(SheetWindowServices services, std::function<void(QWidget&)> whenMade)
        : windows_(services, [whenMade = std::move(whenMade)](SheetWindow& window) {
              if (whenMade)
                  whenMade(window);
          })
    {
    }

    bool open(QWidget* over, const std::vector<int>& types) override
    {
        windows_.open(over)->tickTypes(types);
        return true;
    }

    bool show(QWidget* over, const builtin::ShownSheets& sheets) override
    {
        windows_.open(over)->showSheets(sheets);
        return true;
    }

private:
    SheetWindows windows_;
};

DocumentHost* makeBuiltinHost(builtin::ShowSheets show)
{
    return new builtin::BuiltinHost(std::move(show));
}

SheetWindowOpener* makeSheetWindows(SheetWindowServices services,
                                    std::function<void(QWidget&)> whenMade)
{
    return new ModuleSheetWindows(services, std::move(whenMade));
}

QDialog* makeRecordsWindow(MessageBoxes& boxes, RecordsStore& records, const std::string& pupil,
                           SaveFileQuestion saveAs, QWidget* parent)
{
    return new RecordsWindow(boxes, records, pupil, std::move(saveAs), parent);
}

Speaker* makeSpeaker()
{
    return new QtSpeaker;
}

constexpr SheetsModule kModule{makeBuiltinHost, makeSheetWindows, makeRecordsWindow, makeSpeaker};

}  // namespace
}  // namespace numbrook

extern "C" __attribute__((visibility("default"))) const numbrook::SheetsModule*
numbrook_sheets_module()
{
    static_assert(
        std::is_same_v<decltype(&numbrook_sheets_module), numbrook::NumbrookSheetsModuleFn>);
    return &numbrook::kModule;
}
