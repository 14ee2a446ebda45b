// SPDX-License-Identifier: MIT
// The start-up baseline: a Qt Widgets window of the program's size with one label, and the
// same probe. With --chinese the label reads in Chinese, as the program's controls do, which
// brings in the CJK font and its fallback lookup: the part of the program's start-up that any
// window showing Chinese pays.

#include "Figures.h"
#include "FirstFrameProbe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    const qint64 entered = steadyNanoseconds();
    QApplication app(argc, argv);
    FirstFrameProbe probe(entered);
    QWidget window;
    window.resize(449, 305);
    const bool chinese = QApplication::arguments().contains(QStringLiteral("--chinese"));
    QLabel label(chinese ? QStringLiteral("获取空间人气") : QStringLiteral("Vistameter"), &window);
    probe.watch(&window);
    window.show();
    return QApplication::exec();
}
