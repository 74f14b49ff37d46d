// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/records_window.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "app/practice_figures.h"
#include "app/window_look.h"
#include "core/message_boxes.h"
#include "generator/problem_text.h"
#include "generator/problem_types.h"
#include "practice/answer.h"

namespace numbrook {

namespace {

constexpr int kMissedShown = 20;

// The sessions, newest first, each cell's text made as the view draws it.
class SessionsModel final : public QAbstractTableModel {
public:
    SessionsModel(std::vector<SessionSummary> sessions, QObject* parent)
        : QAbstractTableModel(parent), rows_(std::move(sessions))
    {
    }
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(kHeaders.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && index.column() != 1)
            return int(Qt::AlignCenter);
        const SessionSummary& s = rows_[static_cast<size_t>(index.row())];
        if (role == Qt::ToolTipRole && index.column() == 1)
            return QString::fromStdString(s.what);
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return QStringLiteral("%1-%2-%3 %4:%5")
                .arg(s.started.year)
                .arg(s.started.month, 2, 10, QLatin1Char('0'))
                .arg(s.started.day, 2, 10, QLatin1Char('0'))
                .arg(s.started.hour, 2, 10, QLatin1Char('0'))
                .arg(s.started.minute, 2, 10, QLatin1Char('0'));
        case 1:
            return QString::fromStdString(s.what);
        case 2:
            return QString::number(s.count);
        case 3:
            return percent(s.right, s.count);
        default:
            return duration(s.ms);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return QString::fromUtf8(kHeaders[static_cast<size_t>(section)]);
        return {};
    }

private:
    static constexpr std::array<const char*, 5> kHeaders{"日期", "练习", "题数", "正确率", "用时"};
    std::vector<SessionSummary> rows_;
};

QString askWithFileDialog(QWidget* over, const QString& suggested)
{
    return QFileDialog::getSaveFileName(over, QStringLiteral("导出CSV"), suggested,
                                        QStringLiteral("CSV文件 (*.csv)"));
}

}  // namespace

RecordsWindow::RecordsWindow(MessageBoxes& boxes, RecordsStore& records, const std::string& pupil,
                             SaveFileQuestion saveAs, QWidget* parent)
    : QDialog(parent),
      boxes_(boxes),
      records_(records),
      pupil_(pupil),
      saveAs_(saveAs ? std::move(saveAs) : SaveFileQuestion(askWithFileDialog))
{
    setObjectName(QStringLiteral("RecordsWindow"));
    // A window of its own does not take its parent's colours: the program's
    // light ones, whatever the desktop's.
    setPalette(classicPalette());
    const QString name = QString::fromStdString(pupil_);
    setWindowTitle(QStringLiteral("练习记录 - ") + name);

    sessionsView = new QTableView(this);
    sessionsView->setObjectName(QStringLiteral("SessionsTable"));
    sessionsView->setModel(new SessionsModel(records_.sessions(pupil_), sessionsView));
    sessionsView->verticalHeader()->hide();
    sessionsView->setSelectionMode(QAbstractItemView::NoSelection);
    sessionsView->setFocusPolicy(Qt::NoFocus);
    QHeaderView* header = sessionsView->horizontalHeader();
    // Widths from the widest text of each column, not from every row.
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    const QFontMetrics metrics = sessionsView->fontMetrics();
    const QStringList widest{QStringLiteral("0000-00-00 00:00"), QString(), QStringLiteral("题数"),
                             QStringLiteral("正确率"), QStringLiteral("10分00秒")};
    for (int c = 0; c < widest.size(); ++c) {
        if (c != 1)
            header->resizeSection(c, metrics.horizontalAdvance(widest[c]) + 20);
    }

    // The chart: 正确率 on the left axis, the seconds a problem on the right.
    days_ = records_.daysByType(pupil_);
    typeBox = new QComboBox(this);
    typeBox->setObjectName(QStringLiteral("ChartType"));
    typeBox->setAccessibleName(QStringLiteral("题型"));
    typeBox->addItem(QStringLiteral("全部题型"), -1);
    std::vector<int> types;
    for (const DayTypeRow& row : days_)
        types.push_back(row.type);
    std::sort(types.begin(), types.end());
    types.erase(std::unique(types.begin(), types.end()), types.end());
    for (int type : types) {
        if (type >= 0 && type < kTypeCount)
            typeBox->addItem(QString::fromUtf8(problemType(type).caption), type);
    }
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    accuracySeries = new QLineSeries(chart);
    accuracySeries->setName(QStringLiteral("正确率"));
    accuracySeries->setPointsVisible(true);
    secondsSeries = new QLineSeries(chart);
    secondsSeries->setName(QStringLiteral("每题秒数"));
    secondsSeries->setPointsVisible(true);
    chart->addSeries(accuracySeries);
    chart->addSeries(secondsSeries);
    auto* dates = new QDateTimeAxis(chart);
    dates->setFormat(QStringLiteral("MM-dd"));
    // The axes' labels are numbers alone (their format is printf's, which
    // takes no Chinese), in the colour of their line in the legend.
    auto* accuracyAxis = new QValueAxis(chart);
    accuracyAxis->setRange(0, 100);
    accuracyAxis->setLabelFormat(QStringLiteral("%d%%"));
    auto* secondsAxis = new QValueAxis(chart);
    secondsAxis->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(dates, Qt::AlignBottom);
    chart->addAxis(accuracyAxis, Qt::AlignLeft);
    chart->addAxis(secondsAxis, Qt::AlignRight);
    for (QLineSeries* series : {accuracySeries, secondsSeries})
        series->attachAxis(dates);
    accuracySeries->attachAxis(accuracyAxis);
    secondsSeries->attachAxis(secondsAxis);
    accuracyAxis->setLabelsColor(accuracySeries->color());
    secondsAxis->setLabelsColor(secondsSeries->color());
    chartView = new QChartView(chart, this);
    chartView->setObjectName(QStringLiteral("Chart"));
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumHeight(220);
    connect(typeBox, &QComboBox::currentIndexChanged, this, &RecordsWindow::showType);

    missedTable = new QTableWidget(0, 3, this);
    missedTable->setObjectName(QStringLiteral("MissedTable"));
    missedTable->setHorizontalHeaderLabels(
        {QStringLiteral("常错的题"), QStringLiteral("正确答案"), QStringLiteral("错的次数")});
    missedTable->verticalHeader()->hide();
    missedTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    missedTable->setSelectionMode(QAbstractItemView::NoSelection);
    missedTable->setFocusPolicy(Qt::NoFocus);
    missedTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    missedTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (const MissedProblem& m : records_.mostMissed(pupil_, kMissedShown)) {
        const int row = missedTable->rowCount();
        missedTable->insertRow(row);
        const QStringList cells{QString::fromStdString(problemText(m.problem)),
                                QString::fromStdString(answerText(m.problem)),
                                QString::number(m.times)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignCenter);
            missedTable->setItem(row, c, item);
        }
    }

    exportButton = new QPushButton(QStringLiteral("导出CSV…"), this);
    exportButton->setObjectName(QStringLiteral("ExportCsvButton"));
    auto* menu = new QMenu(exportButton);
    exportPupil = menu->addAction(name + QStringLiteral("的记录…"));
    exportAll = menu->addAction(QStringLiteral("全部学生的记录…"));
    exportButton->setMenu(menu);
    connect(exportPupil, &QAction::triggered, this, [this] { exportCsv(false); });
    connect(exportAll, &QAction::triggered, this, [this] { exportCsv(true); });
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* chartBar = new QHBoxLayout;
    chartBar->addWidget(new QLabel(QStringLiteral("每天的正确率和每题秒数"), this));
    chartBar->addStretch();
    chartBar->addWidget(typeBox);
    auto* tables = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("练习"), this));
    left->addWidget(sessionsView, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("常错的题"), this));
    right->addWidget(missedTable, 1);
    tables->addLayout(left, 3);
    tables->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(chartBar);
    layout->addWidget(chartView, 3);
    layout->addLayout(tables, 2);
    layout->addLayout(buttons);
    resize(900, 680);
    close->button(QDialogButtonBox::Close)->setFocus();
    showType();
}

RecordsWindow::~RecordsWindow() = default;

void RecordsWindow::showType()
{
    const int type = typeBox->currentData().toInt();
    struct Day {
        int count = 0;
        int right = 0;
        int64_t ms = 0;
    };
    std::map<QDate, Day> byDay;  // the rows come sorted by day
    for (const DayTypeRow& row : days_) {
        if (type >= 0 && row.type != type)
            continue;
        Day& d = byDay[QDate(row.year, row.month, row.day)];
        d.count += row.count;
        d.right += row.right;
        d.ms += row.ms;
    }
    QList<QPointF> accuracy;
    QList<QPointF> seconds;
    double slowest = 0;
    for (const auto& [date, d] : byDay) {
        if (d.count == 0)
            continue;
        // Noon, so that a day's point sits in the middle of its day.
        const auto x = static_cast<qreal>(QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch());
        accuracy.append({x, 100.0 * d.right / d.count});
        const double each = static_cast<double>(d.ms) / 1000.0 / d.count;
        seconds.append({x, each});
        slowest = std::max(slowest, each);
    }
    accuracySeries->replace(accuracy);
    secondsSeries->replace(seconds);
    QChart* chart = chartView->chart();
    auto* dates = static_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).constFirst());
    const QDate first = byDay.empty() ? QDate::currentDate() : byDay.begin()->first;
    const QDate last = byDay.empty() ? first : byDay.rbegin()->first;
    dates->setRange(QDateTime(first, QTime(0, 0)), QDateTime(last.addDays(1), QTime(0, 0)));
    dates->setFormat(first.year() == last.year() ? QStringLiteral("MM-dd")
                                                 : QStringLiteral("yyyy-MM-dd"));
    dates->setTickCount(std::clamp(static_cast<int>(first.daysTo(last)) + 2, 2, 8));
    for (QAbstractAxis* axis : chart->axes(Qt::Vertical, secondsSeries))
        // Four steps of whole seconds.
        static_cast<QValueAxis*>(axis)->setRange(0,
                                                 std::max(4.0, std::ceil(slowest * 1.1 / 4) * 4));
}

void RecordsWindow::exportCsv(bool allPupils)
{
    const QString base = allPupils ? QStringLiteral("练习记录") : QString::fromStdString(pupil_);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = saveAs_(
        this,
        QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(base + QStringLiteral(".csv")));
    if (path.isEmpty())
        return;
    if (!records_.writeCsv(path, allPupils ? std::nullopt : std::optional<std::string>(pupil_)))
        boxes_.show(records_.lastError().toStdString(), "导出CSV", Buttons::Ok);
}

}  // namespace numbrook
