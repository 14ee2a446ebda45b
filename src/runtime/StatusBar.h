// SPDX-License-Identifier: MIT
#pragma once

#include <QStatusBar>

class QLabel;

namespace Runtime {

// A status bar docked to the bottom edge of its parent, across its whole width, holding
// panels of text.
class StatusBar : public QStatusBar
{
    Q_OBJECT

public:
    StatusBar(int height, QWidget *parent);

    // Adds a panel showing text, width pixels wide; it gives way down to minWidth when the
    // bar is narrower.
    QLabel *addPanel(const QString &text, int width, int minWidth);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dock();
};

} // namespace Runtime
