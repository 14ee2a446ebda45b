// SPDX-License-Identifier: MIT
#include "StatusBar.h"

#include <QEvent>
#include <QLabel>

namespace Runtime {

StatusBar::StatusBar(int height, QWidget *parent) : QStatusBar(parent)
{
    setFixedHeight(height);
    setSizeGripEnabled(false);
    // Opaque, so that nothing behind the bar shows through.
    setAutoFillBackground(true);
    parent->installEventFilter(this);
    dock();
}

QLabel *StatusBar::addPanel(const QString &text, int width, int minWidth)
{
    auto *panel = new QLabel(text, this);
    panel->setTextFormat(Qt::PlainText);
    panel->setMinimumWidth(minWidth);
    panel->setMaximumWidth(width);
    addWidget(panel, 1);
    return panel;
}

bool StatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        dock();
    return QStatusBar::eventFilter(watched, event);
}

void StatusBar::dock()
{
    const QWidget *form = parentWidget();
    setGeometry(0, form->height() - height(), form->width(), height());
}

} // namespace Runtime
