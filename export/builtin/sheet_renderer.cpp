// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/sheet_renderer.h"

#include <algorithm>

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include "export/builtin/sheet_font.h"
#include "export/builtin/sheet_layout.h"

namespace numbrook::builtin {

namespace {

// Lengths of the layout in the device's pixels.
class Scale {
public:
    explicit Scale(const QPaintDevice& device) : dpi_(device.logicalDpiY()) {}
    double mm(double millimetres) const { return millimetres * dpi_ / 25.4; }
    double pt(double points) const { return points * dpi_ / 72.0; }

private:
    double dpi_;
};

// The layout's system family comes from the program's own copy of it where
// that is installed (sheet_font.h), and a character the copy leaves out from
// the system's face.
QFont fontOf(const FontSpec& face)
{
    QFont font;
    const QString family = QString::fromUtf8(face.family);
    if (family == QString::fromUtf8(kSheetLayout.fontFamily) && sheetFontFamily() != family)
        font.setFamilies({sheetFontFamily(), family});
    else
        font.setFamily(family);
    font.setPointSizeF(face.pointSize);
    font.setBold(face.bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    // Glyphs straight from the character map: a PDF reader then reads the
    // digits in mixed Latin and CJK lines back as the digits they are.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// The grid's font, made smaller for the whole page where a text would not
// fit on one line of its cell (the blanks of 填空 problems are wide).
QFont gridFontFor(const QPainter& painter, const FilledSheets& sheets, int gridTable, double width)
{
    QFont font = fontOf(kSheetLayout.gridFont);
    const QFontMetricsF metrics(font, painter.device());
    double widest = 0;
    for (int r = 1; r <= kSheetLayout.gridSide; ++r) {
        for (int c = 1; c <= kSheetLayout.gridSide; ++c)
            widest = std::max(widest, metrics.horizontalAdvance(qs(sheets.text(gridTable, r, c))));
    }
    if (widest > width)
        font.setPointSizeF(font.pointSizeF() * width / widest);
    return font;
}

constexpr int kOneLineTopLeft = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;

// One page: title, header table, teacher's line, grid; the tables of the
// sheet are headerTable and headerTable + 1.
void paintSheet(QPainter& painter, const Scale& scale, const FilledSheets& sheets, int headerTable)
{
    const SheetLayout& l = kSheetLayout;
    const double width = scale.mm(l.tableWidthMm);
    QPen border(Qt::black);
    border.setWidthF(scale.pt(l.borderPt));
    painter.setPen(border);
    double y = 0;

    // Title.
    const QFont title = fontOf(l.titleFont);
    painter.setFont(title);
    const double titleHeight = QFontMetricsF(title, painter.device()).height();
    painter.drawText(QRectF(0, y, width, titleHeight), Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromUtf8(headerTable == 1 ? l.problemTitle : l.answerTitle));
    y += titleHeight + scale.mm(l.titleSpaceBelowMm);

    // Header table: one cell.
    const QFont header = fontOf(l.headerFont);
    painter.setFont(header);
    const double padding = scale.mm(l.headerPaddingMm);
    const double headerHeight = QFontMetricsF(header, painter.device()).height() + 2 * padding;
    const QRectF headerCell(0, y, width, headerHeight);
    painter.drawRect(headerCell);
    painter.drawText(headerCell.adjusted(padding, padding, -padding, -padding),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     qs(sheets.text(headerTable, 1, 1)));
    y += headerHeight;

    // The teacher's line.
    const QFont teacher = fontOf(l.teacherFont);
    painter.setFont(teacher);
    y += scale.mm(l.teacherSpaceAboveMm);
    const double teacherHeight = QFontMetricsF(teacher, painter.device()).height();
    painter.drawText(QRectF(0, y, width, teacherHeight), kOneLineTopLeft,
                     QString::fromUtf8(l.teacherLine));
    y += teacherHeight + scale.mm(l.teacherSpaceBelowMm);

    // Grid.
    const double column = scale.mm(l.gridColumnMm());
    const double row = scale.mm(l.gridRowMm);
    const double padLeft = scale.mm(l.gridPaddingLeftMm);
    const double padTop = scale.mm(l.gridPaddingTopMm);
    painter.setFont(gridFontFor(painter, sheets, headerTable + 1, column - 2 * padLeft));
    for (int r = 0; r < l.gridSide; ++r) {
        for (int c = 0; c < l.gridSide; ++c) {
            const QRectF cell(c * column, y + r * row, column, row);
            painter.drawRect(cell);
            painter.drawText(cell.adjusted(padLeft, padTop, 0, 0), kOneLineTopLeft,
                             qs(sheets.text(headerTable + 1, r + 1, c + 1)));
        }
    }
}

}  // namespace

QPageLayout sheetPageLayout()
{
    const SheetLayout& l = kSheetLayout;
    return QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Landscape,
        QMarginsF(l.marginSideMm, l.marginTopBottomMm, l.marginSideMm, l.marginTopBottomMm),
        QPageLayout::Millimeter);
}

bool renderPages(QPagedPaintDevice& device, const std::vector<SheetPage>& pages)
{
    device.setPageLayout(sheetPageLayout());
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const Scale scale(device);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        paintSheet(painter, scale, *pages[i].sheets, pages[i].answers ? 3 : 1);
    }
    return painter.end();
}

bool renderSheets(QPagedPaintDevice& device, const FilledSheets& sheets, int firstPage,
                  int lastPage)
{
    std::vector<SheetPage> pages;
    for (int page = firstPage; page <= lastPage; ++page)
        pages.push_back({&sheets, page != 1});
    return renderPages(device, pages);
}

}  // namespace numbrook::builtin
