// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

namespace Runtime {

// The platform's style, but for the icons of message boxes: the program's own, in the look of
// Qt's, drawn for screens at 100 %, 150 % and 200 % where Qt's are one small bitmap scaled up.
// Shown at the size Qt's have always been shown at.
class ProgramStyle : public QProxyStyle
{
    Q_OBJECT

public:
    ProgramStyle() = default;

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace Runtime
