// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sheet window ("练习纸"): a class set of exercise sheets with their
// answer keys, made from the types and counts ticked here, shown in a live
// preview in the built-in layout, printed or saved as one PDF. Every change
// of an option draws the set afresh; "换一批" draws it again unchanged. The
// options are remembered between runs of the program.
//
// There is one such window. It opens from the drill window (Ctrl+P, or its
// context menu) with the drill's ticked types, on its own (--sheet-window),
// and after an export through the built-in host that the teacher keeps open,
// holding that export's sheets until an option is changed.

#include <QPointer>
#include <QWidget>

#include <array>
#include <vector>

#include "app/qt_message_boxes.h"
#include "core/clock.h"
#include "export/builtin/class_set.h"
#include "generator/random_source.h"
#include "generator/sheet_set.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QSpinBox;

namespace numbrook {

class SheetWindow final : public QWidget {
    Q_OBJECT
public:
    // The one sheet window, made and centred over `over` when there is none
    // yet, shown and brought to the front.
    static SheetWindow* open(const Clock& clock, QWidget* over = nullptr);

    explicit SheetWindow(const Clock& clock, QWidget* parent = nullptr);
    ~SheetWindow() override;

    // Ticks these types (the drill's), keeping every count; none: as it was.
    void tickTypes(const std::vector<int>& types);
    // Shows an export's own sheets until an option changes.
    void showSheets(const builtin::FilledSheets& sheets);

    SheetSetOptions options() const;
    const std::vector<builtin::FilledSheets>& sheets() const { return set_; }
    // The documents folder and the set's dated, numbered name.
    QString suggestedPdfPath() const;
    // The whole set, sheets then keys, written whole or not at all; when
    // not, why not.
    WriteResult savePdf(const QString& path);
    int pageCount() const;

public slots:
    void newDraw();
    void printSet();
    void savePdfAs();

signals:
    // The preview shows the set drawn last.
    void previewUpdated();

private:
    void buildControls();
    void loadSettings();
    void saveSettings() const;
    // A control changed: remember, count, draw and show anew.
    void optionsChanged();
    void updateTotal();
    // The set drawn or given last: in the preview, the title and the buttons.
    void showSet();

    const Clock& clock_;
    RandomSource random_;
    QtMessageBoxes boxes_;
    std::array<QCheckBox*, kTypeCount> typeBoxes_{};
    std::array<QSpinBox*, kTypeCount> counts_{};
    QLabel* total_ = nullptr;
    QCheckBox* noRepeats_ = nullptr;
    QComboBox* form_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QCheckBox* withKeys_ = nullptr;
    QPushButton* newDraw_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* savePdf_ = nullptr;
    QPrinter* previewPrinter_ = nullptr;
    QPrintPreviewWidget* preview_ = nullptr;
    QLabel* pageCount_ = nullptr;
    bool loading_ = false;
    std::vector<builtin::FilledSheets> set_;
};

}  // namespace numbrook
