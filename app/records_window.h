// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A pupil's records ("记录"): every session (date, what, 题数, 正确率, 用时),
// a chart of 正确率 and the seconds a problem day by day, for all types or
// one, the problems most often missed, and 导出CSV… of the pupil's attempts
// or of every pupil's. The sums come from the records already summed
// (RecordsStore::daysByType), so that years of practice open at once.

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "app/save_file_question.h"
#include "records/records_store.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QTableWidget;

class QChartView;
class QLineSeries;

namespace numbrook {

class MessageBoxes;

class RecordsWindow final : public QDialog {
    Q_OBJECT
public:
    RecordsWindow(MessageBoxes& boxes, RecordsStore& records, const std::string& pupil,
                  SaveFileQuestion saveAs = {}, QWidget* parent = nullptr);
    ~RecordsWindow() override;

    const std::string& pupil() const { return pupil_; }

    QTableView* sessionsView;
    QComboBox* typeBox;  // 全部题型, or one type the pupil practised
    QChartView* chartView;
    QLineSeries* accuracySeries;  // 正确率 in per cent, a point a day
    QLineSeries* secondsSeries;   // seconds a problem, a point a day
    QTableWidget* missedTable;
    QPushButton* exportButton;  // 导出CSV…, with:
    QAction* exportPupil;       //   this pupil's attempts
    QAction* exportAll;         //   every pupil's

public slots:
    // Draws the chart of the type chosen.
    void showType();

private:
    void exportCsv(bool allPupils);

    MessageBoxes& boxes_;
    RecordsStore& records_;
    std::string pupil_;
    SaveFileQuestion saveAs_;
    std::vector<DayTypeRow> days_;
};

}  // namespace numbrook
