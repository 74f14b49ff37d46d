// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QLibraryInfo>
#include <QPixmap>
#include <QStyleFactory>
#include <QTranslator>

#include "app/scaled_style.h"
#include "app/window_icon_pixels.h"
#include "core/version.h"

namespace numbrook {

void installQtChinese()
{
    // Read once and kept for the life of the process: the command line's
    // application and then the window's install the same translator.
    static QTranslator qtbase;
    static const bool loaded =
        qtbase.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        QCoreApplication::installTranslator(&qtbase);
}

void setUpApplication(QApplication& /*app*/)
{
    QApplication::setApplicationName(QStringLiteral("numbrook"));
    // No display name: Qt would append it to every title the window manager
    // shows ("… — " and the title again). Boxes without a title of their own take
    // kApplicationTitle instead.
    QApplication::setApplicationVersion(QString::fromUtf8(kShortVersion));
    QApplication::setDesktopFileName(QStringLiteral("numbrook"));

    // "宋体" is a Windows font; Noto Serif CJK SC is the serif CJK face with a
    // real bold at the large sizes of the problem labels.
    const QStringList serif{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                            QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), serif);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), serif);

    installQtChinese();

    // The icon's pixels as they were decoded at build time: no image reader,
    // which would look through Qt's image plugins first.
    QIcon icon;
    for (const IconPixels& pixels : kWindowIcons) {
        const QImage image(reinterpret_cast<const uchar*>(pixels.argb), pixels.size, pixels.size,
                           QImage::Format_ARGB32);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    QApplication::setWindowIcon(icon);
}

void attachSkin()
{
    // The classic look: frame captions sit in the frame's border.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(new ScaledStyle(style));
}

}  // namespace numbrook
