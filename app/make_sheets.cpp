// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/make_sheets.h"

#include <QGuiApplication>

#include <cstdio>

#include "core/clock.h"
#include "export/builtin/class_set.h"

namespace numbrook {

namespace {

// Qt's notes and warnings on the way (no XDG_RUNTIME_DIR, say) are no
// concern of a terminal that asked for a file: only its errors are told.
void errorsOnly(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n",
                     qFormatLogMessage(type, context, message).toStdString().c_str());
}

}  // namespace

int makeSheetsFile(int& argc, char** argv, const CommandLine& line)
{
    // The sheets are painted off screen: no display is needed, and none is opened.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(errorsOnly);
    QGuiApplication app(argc, argv);

    const SystemClock clock;
    RandomSource random;
    random.reseedFrom(clock);
    const std::vector<Sheet> set = drawClassSet(line.sheetSet, random, clock.now());
    const QString path = QString::fromStdString(line.pdfPath);
    if (const WriteResult written = builtin::writeClassSetPdf(path, set, SetPages::SheetsThenKeys, line.sheetPage);
        !written.written()) {
        std::fprintf(stderr, "numbrook: 无法写入%s：%s\n", line.pdfPath.c_str(),
                     written.reason.c_str());
        return 1;
    }
    return 0;
}

}  // namespace numbrook
