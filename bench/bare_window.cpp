// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of bench/launch-bench: a bare Qt window of 40 widgets in
// the drill window's font ("宋体" standing for the same CJK serif face, at
// the same sizes) and of the same size, with none of the program behind it.
// The program's start is measured against this one's, on the same display.

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

QFont songti(double points, bool bold)
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

template <class W>
W* placed(W* w, int x, int y, int width, int height, const QFont& font)
{
    w->setGeometry(x, y, width, height);
    w->setFont(font);
    return w;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList serif{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                            QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), serif);

    QWidget window;
    window.setWindowTitle(QStringLiteral("口算练习"));
    window.resize(1016, 694);
    window.setFont(songti(14.25, true));
    // 4 frames, 4 labels, 3 line edits, 4 buttons: 15 widgets.
    auto* settings = placed(new QGroupBox(QStringLiteral("题数及间隔时间设置："), &window), 8, 16,
                            225, 185, songti(10.5, true));
    auto* types = placed(new QGroupBox(QStringLiteral("式题类型选择："), &window), 248, 16, 761,
                         185, songti(10.5, true));
    auto* panel = placed(new QGroupBox(QStringLiteral("式题显示窗口："), &window), 8, 205, 1001,
                         401, songti(10.5, true));
    auto* timer = placed(new QGroupBox(QStringLiteral("计时器：（可用“空格键”直接停止）"), &window),
                         8, 608, 1001, 81, songti(14.25, true));
    placed(new QLabel(QStringLiteral("题数"), settings), 10, 30, 41, 17, songti(10.5, false));
    placed(new QLabel(QStringLiteral("间隔"), settings), 10, 80, 41, 17, songti(10.5, false));
    placed(new QLineEdit(QStringLiteral("5"), settings), 60, 26, 49, 24, songti(12, false));
    placed(new QLineEdit(QStringLiteral("0.01"), settings), 60, 76, 49, 24, songti(12, false));
    placed(new QLineEdit(QString(), settings), 100, 146, 41, 21, songti(10.5, true));
    placed(new QPushButton(QStringLiteral("出题"), settings), 150, 20, 42, 21, songti(10.5, true));
    placed(new QPushButton(QStringLiteral("显示"), settings), 150, 48, 42, 21, songti(10.5, true));
    placed(new QPushButton(QStringLiteral("答案"), settings), 150, 76, 42, 21, songti(10.5, true));
    placed(new QLabel(QStringLiteral("导出至文档"), settings), 10, 146, 81, 17, songti(10.5, true));
    placed(new QLabel(QStringLiteral("0:0:0"), timer), 360, 24, 201, 41, songti(36, true));
    placed(new QPushButton(QStringLiteral("停止"), timer), 560, 30, 49, 41, songti(12, true));
    // 12 type boxes: 27.
    for (int i = 0; i < 12; ++i)
        placed(new QCheckBox(QStringLiteral("两位数加一位数（进位）"), types), 10 + (i % 3) * 250,
               24 + (i / 3) * 38, 217, 33, songti(14.25, false));
    // 12 problem slots, hidden as the drill window's are until a drill
    // shows them, and the large box, empty as the drill window's until a
    // problem flashes: 40.
    for (int i = 0; i < 12; ++i)
        placed(new QLabel(QStringLiteral("98－79=19"), panel), 8 + (i % 4) * 248,
               32 + (i / 4) * 64, 229, 47, songti(36, true))
            ->hide();
    placed(new QLabel(QString(), panel), 264, 240, 463, 113, songti(80.25, true));
    window.show();
    return QApplication::exec();
}
