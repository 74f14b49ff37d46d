// SPDX-License-Identifier: GPL-3.0-or-later
// The window's icon, made from pixels decoded when the program is built
// (app/icon_pixels.py), is the icon folder's PNGs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>

#include <algorithm>
#include <cstdlib>

namespace numbrook {
namespace {

TEST(WindowIcon, IsThePngsOfTheIconFolderPixelForPixel)
{
    const QIcon icon = QApplication::windowIcon();
    for (int size : {16, 32, 48, 64}) {
        // Compared premultiplied: a clear pixel has no colour of its own.
        const QImage shown = icon.pixmap(QSize(size, size)).toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
        const QImage png = QImage(QStringLiteral(NUMBROOK_SOURCE_DIR "/app/icons/numbrook-%1.png")
                                      .arg(size))
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(shown.size(), QSize(size, size));
        ASSERT_EQ(png.size(), QSize(size, size));
        int worst = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb a = shown.pixel(x, y);
                const QRgb b = png.pixel(x, y);
                for (int shift : {0, 8, 16, 24})
                    worst = std::max(worst, std::abs(int((a >> shift) & 0xff) -
                                                     int((b >> shift) & 0xff)));
            }
        }
        EXPECT_LE(worst, 1) << size << "×" << size;
    }
}

}  // namespace
}  // namespace numbrook
