// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/sheet_renderer.h"

#include <map>
#include <tuple>

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include "core/version.h"
#include "export/builtin/sheet_font.h"
#include "export/export_steps.h"

namespace numbrook::builtin {

namespace {

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

// The fonts' measures on the device, in millimetres.
class DeviceFonts final : public FontMeasure {
public:
    explicit DeviceFonts(const QPaintDevice& device)
        : device_(device), pixelsPerMm_(device.logicalDpiY() / 25.4)
    {
    }

    double width(const std::string& text, const FontSpec& font) const override
    {
        return metrics(font).horizontalAdvance(qs(text)) / pixelsPerMm_;
    }
    double lineHeight(const FontSpec& font) const override
    {
        return metrics(font).height() / pixelsPerMm_;
    }
    double pixels(double mm) const { return mm * pixelsPerMm_; }
    QRectF pixels(const BoxMm& box) const
    {
        return {pixels(box.x), pixels(box.y), pixels(box.width), pixels(box.height)};
    }

private:
    const QFontMetricsF& metrics(const FontSpec& font) const
    {
        const auto key = std::make_tuple(std::string(font.family), font.pointSize, font.bold);
        auto found = cache_.find(key);
        if (found == cache_.end())
            found = cache_.emplace(key, QFontMetricsF(fontOf(font), &device_)).first;
        return found->second;
    }

    const QPaintDevice& device_;
    double pixelsPerMm_;
    mutable std::map<std::tuple<std::string, double, bool>, QFontMetricsF> cache_;
};

int flagsOf(TextAlign align)
{
    switch (align) {
    case TextAlign::TopCentre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case TextAlign::MiddleLeft:
        return Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    case TextAlign::TopRight:
        return Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine;
    case TextAlign::TopLeft:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
}

void paintPage(QPainter& painter, const DeviceFonts& fonts, const PageText& page)
{
    const PageBoxes boxes = layOutPage(page, fonts);
    QPen border(Qt::black);
    border.setWidthF(kSheetLayout.borderPt * painter.device()->logicalDpiY() / 72.0);
    painter.setPen(border);
    for (const BoxMm& box : boxes.borders)
        painter.drawRect(fonts.pixels(box));
    const double pixelsPerPt = painter.device()->logicalDpiY() / 72.0;
    for (const RuleMm& rule : boxes.rules) {
        QPen pen(rule.light ? QColor(0xa0, 0xa0, 0xa0) : QColor(Qt::black));
        pen.setWidthF(rule.widthPt * pixelsPerPt);
        painter.setPen(pen);
        painter.drawLine(QPointF(fonts.pixels(rule.x), fonts.pixels(rule.y)),
                         QPointF(fonts.pixels(rule.x + rule.length), fonts.pixels(rule.y)));
    }
    painter.setPen(border);
    for (const PlacedText& text : boxes.texts) {
        if (text.text.empty())
            continue;
        painter.setFont(fontOf(text.font));
        painter.drawText(fonts.pixels(text.box), flagsOf(text.align), qs(text.text));
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

QPageLayout pageLayoutOf(const PageText& page)
{
    if (!page.fitted)
        return sheetPageLayout();
    const double side = kClassSetLayout.marginSideMm;
    const double top = kClassSetLayout.marginTopBottomMm;
    return QPageLayout(QPageSize(QPageSize::A4),
                       page.fitted->orientation == PageOrientation::Portrait
                           ? QPageLayout::Portrait
                           : QPageLayout::Landscape,
                       QMarginsF(side, top, side, top), QPageLayout::Millimeter);
}

bool renderPages(QPagedPaintDevice& device, const std::vector<PageText>& pages)
{
    QPageLayout layout = pages.empty() ? sheetPageLayout() : pageLayoutOf(pages.front());
    device.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const DeviceFonts fonts(device);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            // A page of another orientation: set before the page is begun.
            if (const QPageLayout next = pageLayoutOf(pages[i]); !next.isEquivalentTo(layout)) {
                layout = next;
                device.setPageLayout(layout);
            }
            if (!device.newPage()) {
                painter.end();
                return false;
            }
        }
        paintPage(painter, fonts, pages[i]);
    }
    return painter.end();
}

QByteArray pdfOf(const std::vector<PageText>& pages, const QString& title)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QString::fromUtf8(kProgramTitle));
        writer.setTitle(title);
        if (!renderPages(writer, pages))
            return {};
    }
    return pdf;
}

}  // namespace numbrook::builtin
