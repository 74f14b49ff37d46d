// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What prints lives in a module of its own, libnumbrook_sheets.so: the sheet
// window ("练习纸") with Qt's print preview and print dialog, and the
// built-in host, which prints through CUPS. The program loads it the first
// time something prints, previews or opens the sheet window, so that Qt's
// printing, CUPS and the libraries they bring are not loaded at its start.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/save_file_question.h"
#include "app/sheet_window.h"
#include "core/speaker.h"
#include "records/records_store.h"
#include "export/builtin/builtin_host.h"
#include "export/document_host.h"

class QDialog;
class QWidget;

namespace numbrook {

// The program's one sheet window, as the drill window, an export and main
// reach it.
class SheetWindowOpener {
public:
    virtual ~SheetWindowOpener() = default;
    // The window, made when there is none, centred over `over` (when given),
    // shown and raised, with these types ticked (none: as it was). False
    // when it could not be opened; the teacher has been told why.
    virtual bool open(QWidget* over, const std::vector<int>& types = {}) = 0;
    // The same window, holding an export's own sheets.
    virtual bool show(QWidget* over, const builtin::ShownSheets& sheets) = 0;
};

// What the module gives the program, through its one exported symbol.
struct SheetsModule {
    // A built-in host; `show` is what leaving its document open does.
    DocumentHost* (*makeBuiltinHost)(builtin::ShowSheets show);
    // The holder of the one sheet window with these services; whenMade runs
    // on each new window before it is shown.
    SheetWindowOpener* (*makeSheetWindows)(SheetWindowServices services,
                                           std::function<void(QWidget&)> whenMade);
    // The practice's records window "记录" of a pupil, with its chart.
    QDialog* (*makeRecordsWindow)(MessageBoxes& boxes, RecordsStore& records,
                                  const std::string& pupil, SaveFileQuestion saveAs,
                                  QWidget* parent);
    // The voice that reads the problems aloud (Qt TextToSpeech).
    Speaker* (*makeSpeaker)();
};

inline constexpr const char* kSheetsModuleName = "libnumbrook_sheets.so";
inline constexpr const char* kSheetsModuleSymbol = "numbrook_sheets_module";
using NumbrookSheetsModuleFn = const SheetsModule* (*)();

// Loads the module at `path` (it stays loaded) and returns what it gives.
// Throws HostError, saying so in the program's words, when it is missing
// or broken.
const SheetsModule& loadSheetsModule(const std::string& path);
// The module beside the program, or installed with it: loaded once.
const SheetsModule& sheetsModule();

// The sheet window behind the module, loaded when the window first opens.
// When the module can't be had, the window's boxes say why and nothing opens.
class SheetWindowsOnDemand final : public SheetWindowOpener {
public:
    using Loader = std::function<const SheetsModule&()>;
    SheetWindowsOnDemand(SheetWindowServices services, std::function<void(QWidget&)> whenMade,
                         Loader load = sheetsModule);
    ~SheetWindowsOnDemand() override;

    bool open(QWidget* over, const std::vector<int>& types = {}) override;
    bool show(QWidget* over, const builtin::ShownSheets& sheets) override;

private:
    // The module's holder, made at the first call; null (after the box)
    // when the module can't be loaded.
    SheetWindowOpener* windows();

    SheetWindowServices services_;
    std::function<void(QWidget&)> whenMade_;
    Loader load_;
    std::unique_ptr<SheetWindowOpener> windows_;
};

}  // namespace numbrook
