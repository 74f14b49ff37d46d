// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sheet window ("练习纸"): a class set of exercise sheets with their
// answer keys, made from the types and counts ticked here, shown in a live
// preview in the built-in layout, printed or saved as one PDF. Every change
// of an option draws the set afresh; "换一批" draws it again unchanged. The
// options are remembered between runs of the program.
//
// There is one such window, held by SheetWindows. It opens from the drill
// window (Ctrl+P, or its context menu) with the drill's ticked types, on its
// own (--sheet-window), and after an export through the built-in host that
// the teacher keeps open, holding that export's sheets, with the options set
// aside, until the teacher turns back to them ("改为自选").

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/message_boxes.h"
#include "export/builtin/class_set.h"
#include "export/builtin/builtin_host.h"
#include "export/builtin/sheet_renderer.h"
#include "generator/presets.h"
#include "generator/random_source.h"
#include "generator/sheet_options.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSettings;
class QSpinBox;

namespace numbrook {

// What the sheet window uses of the world, given to it whole: the message
// boxes, the random source, the store its options are kept in and the clock.
// The program's real ones are made by RealServices; tests give fakes and a
// settings file of their own.
struct SheetWindowServices {
    MessageBoxes& boxes;
    RandomSource& random;
    QSettings& settings;
    const Clock& clock;
};

class SheetWindow final : public QWidget {
    Q_OBJECT
public:
    explicit SheetWindow(SheetWindowServices services, QWidget* parent = nullptr);
    ~SheetWindow() override;

    // Ticks these types (the drill's), keeping every count; none: as it was.
    void tickTypes(const std::vector<int>& types);
    // Shows an export's own sheets, the options set aside, until the teacher
    // turns back to them.
    void showSheets(const builtin::ShownSheets& sheets);
    // Whether the sheets shown are an export's, not the options' own.
    bool showsExportSheets() const { return fromExport_; }

    // The options as the controls hold them.
    SheetOptions options() const { return options_; }
    // The class set drawn last; empty while an export's own sheets are shown.
    const std::vector<Sheet>& sheets() const { return set_; }
    // The documents folder and the set's dated, numbered name.
    QString suggestedPdfPath() const;
    // The whole set, sheets then keys, written whole or not at all; when
    // not, why not.
    WriteResult savePdf(const QString& path);
    int pageCount() const;
    // The teacher's own preset of the options as they stand, under `name`
    // (replacing one of that name); false for an empty name.
    bool savePreset(const QString& name);
    // Chooses the 预设 list's entry of that name and applies it; false when none.
    bool choosePreset(const QString& name);
    // Pages first..last of what 打印… prints, as one job of `copies` copies
    // to the printer (empty: the default one). Shows the outcome in the
    // status line, a refusal in a box too; returns the job's id, or 0.
    int submitPrint(const std::string& printer, int copies, int first, int last);

public slots:
    void newDraw();
    void printSet();
    void savePdfAs();
    // Back to the options' own set after an export's sheets.
    void useOwnOptions();
    void savePresetAs();
    void deletePreset();

signals:
    // The preview shows the set drawn last.
    void previewUpdated();

private:
    void buildControls();
    // The options into the controls, without drawing.
    void showOptions(const SheetOptions& options);
    SheetOptions readControls() const;
    void saveSettings() const;
    // A control changed: check, remember, count, draw and show anew.
    void optionsChanged();
    // The total line: the problems a sheet, or what is wrong.
    void updateTotal(const std::string& problem);
    // The set drawn or given last: in the preview, the title and the buttons.
    void showSet();
    // The pages 打印… prints.
    std::vector<PageText> printedPages() const;
    bool holdsSheets() const { return !set_.empty() || !exportPages_.empty(); }
    // The pages shown, with the keys or without.
    std::vector<PageText> pages(SetPages which) const;
    // The names the sheets shown are printed and saved under.
    std::string jobName() const;
    std::string fileName() const;
    void setStatus(const QString& text, bool failed = false);
    // The 预设 list: the shipped presets, then the teacher's own.
    void fillPresets();
    void applyPreset(int index);
    std::vector<std::pair<QString, SheetOptions>> ownPresets() const;
    void writeOwnPresets(const std::vector<std::pair<QString, SheetOptions>>& presets) const;

    SheetWindowServices services_;
    MessageBoxes& boxes_;
    SheetOptions options_;
    std::array<QCheckBox*, kTypeCount> typeBoxes_{};
    std::array<QSpinBox*, kTypeCount> counts_{};
    QGroupBox* typesBox_ = nullptr;
    QGroupBox* optionsBox_ = nullptr;
    QWidget* exportNote_ = nullptr;
    QWidget* sidePanel_ = nullptr;
    QLabel* total_ = nullptr;
    QCheckBox* noRepeats_ = nullptr;
    QComboBox* form_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QCheckBox* withKeys_ = nullptr;
    QComboBox* presets_ = nullptr;
    QPushButton* deletePreset_ = nullptr;
    QLineEdit* title_ = nullptr;
    QComboBox* orientation_ = nullptr;
    QComboBox* columns_ = nullptr;
    QComboBox* keysPerPage_ = nullptr;
    QSpinBox* timeLimit_ = nullptr;
    std::vector<Preset> shipped_;
    QPushButton* newDraw_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* savePdf_ = nullptr;
    QPrinter* previewPrinter_ = nullptr;
    QPrintPreviewWidget* preview_ = nullptr;
    QLabel* pageCount_ = nullptr;
    QLabel* status_ = nullptr;
    bool loading_ = false;
    bool fromExport_ = false;
    std::vector<Sheet> set_;
    // An export's own two pages, while they are shown.
    std::vector<PageText> exportPages_;
    std::string exportJobName_;
    std::string exportFileName_;
};

// The program's one sheet window: made with the services given here when
// there is none, shown and brought to the front. Whoever holds this holds
// the "one window only".
class SheetWindows {
public:
    // whenMade runs on each new window before it is shown (the real message
    // boxes are placed over it there).
    explicit SheetWindows(SheetWindowServices services,
                          std::function<void(SheetWindow&)> whenMade = {});
    ~SheetWindows();
    SheetWindows(const SheetWindows&) = delete;
    SheetWindows& operator=(const SheetWindows&) = delete;

    // The window, made when there is none, fitted to the screen and centred
    // over `over` (when given); shown and raised. It deletes itself when
    // closed; closing it ends the program only when it was opened alone.
    SheetWindow* open(QWidget* over = nullptr);
    // The window while it is open; null otherwise.
    SheetWindow* window() const { return window_; }

private:
    SheetWindowServices services_;
    std::function<void(SheetWindow&)> whenMade_;
    QPointer<SheetWindow> window_;
};

}  // namespace numbrook
