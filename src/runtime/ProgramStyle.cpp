// SPDX-License-Identifier: MIT
#include "ProgramStyle.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace Runtime {

namespace {

// A message box's icon, in logical pixels at 96 dpi: as large as Qt's own bitmaps are.
constexpr int BoxIconSize = 32;

} // namespace

int ProgramStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                              const QWidget *widget) const
{
    if (metric != PM_MessageBoxIconSize)
        return QProxyStyle::pixelMetric(metric, option, widget);
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? qRound(BoxIconSize * screen->logicalDotsPerInch() / 96) : BoxIconSize;
}

QIcon ProgramStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                 const QWidget *widget) const
{
    QLatin1String name;
    switch (standardIcon) {
    case SP_MessageBoxInformation:
        name = QLatin1String("information");
        break;
    case SP_MessageBoxCritical:
        name = QLatin1String("critical");
        break;
    case SP_MessageBoxQuestion:
        name = QLatin1String("question");
        break;
    default:
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
    // At 1, 1.5 and 2 times the size, and 3 for a screen of 144 dpi at 200 %.
    QIcon icon;
    for (int size : {32, 48, 64, 96})
        icon.addFile(QStringLiteral(":/box-icons/%1-%2.png").arg(name).arg(size),
                     QSize(size, size));
    return icon;
}

} // namespace Runtime
