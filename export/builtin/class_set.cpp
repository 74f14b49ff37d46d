// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/class_set.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QRegularExpression>

#include "core/version.h"
#include "export/export_steps.h"

namespace numbrook::builtin {

FilledSheets fillSheets(const SheetProblems& problems, int number, const LocalTime& time)
{
    // The export's own texts and walk over the grid, indexed from 1.
    std::vector<std::string> texts{""};
    std::vector<std::string> answers{""};
    for (const Problem& problem : problems) {
        texts.push_back(problem.text);
        answers.push_back(problem.answer);
    }
    FilledSheets sheets;
    sheets.setText(kProblemHeaderTable, 1, 1, headerText(Sheet::Problems, time, number));
    sheets.setText(kAnswerHeaderTable, 1, 1, headerText(Sheet::Answers, time, number));
    for (const GridStep& step : gridSteps(texts, answers, static_cast<int>(problems.size()))) {
        if (step.kind == GridStep::Kind::Cell)
            sheets.setText(step.table, step.row, step.column, step.text);
    }
    return sheets;
}

std::vector<FilledSheets> fillClassSet(const std::vector<SheetProblems>& sheets,
                                       const LocalTime& time)
{
    std::vector<FilledSheets> set;
    set.reserve(sheets.size());
    for (size_t i = 0; i < sheets.size(); ++i)
        set.push_back(fillSheets(sheets[i], static_cast<int>(i) + 1, time));
    return set;
}

std::vector<SheetPage> classSetPages(const std::vector<FilledSheets>& set, SetPages which)
{
    std::vector<SheetPage> pages;
    for (const FilledSheets& sheets : set)
        pages.push_back({&sheets, false});
    if (which == SetPages::SheetsThenKeys) {
        for (const FilledSheets& sheets : set)
            pages.push_back({&sheets, true});
    }
    return pages;
}

WriteResult writeClassSetPdf(const QString& path, const std::vector<FilledSheets>& set,
                             SetPages which)
{
    // Laid out in memory first: the file is written in one piece, every byte
    // accounted for, and a short write leaves the old file in place.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QString::fromUtf8(kProgramTitle));
        writer.setTitle(QFileInfo(path).completeBaseName());
        if (!renderPages(writer, classSetPages(set, which)))
            return {"无法生成PDF内容"};
    }
    return writeWholeFile(QFile::encodeName(path).toStdString(),
                          std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
}

QString classSetFileName(const std::vector<FilledSheets>& set)
{
    // The header ends "日期：yyyy-mm-dd hh:mm:ss编号：nn".
    static const QRegularExpression stamp(
        QStringLiteral("日期：(\\d{4}-\\d{2}-\\d{2}) \\d{2}:\\d{2}:\\d{2}编号：(\\d+)$"));
    QString name = QStringLiteral("口算练习");
    if (!set.empty()) {
        const auto first = stamp.match(QString::fromStdString(set.front().text(1, 1, 1)));
        const auto last = stamp.match(QString::fromStdString(set.back().text(1, 1, 1)));
        if (first.hasMatch()) {
            name += QStringLiteral("-%1-编号%2").arg(first.captured(1), first.captured(2));
            if (set.size() > 1 && last.hasMatch())
                name += QLatin1Char('-') + last.captured(2);
        }
    }
    return name + QStringLiteral(".pdf");
}

}  // namespace numbrook::builtin
