// SPDX-License-Identifier: MIT
#include "User32.h"

#include <QEvent>
#include <QWidget>

namespace Runtime {

qint32 GetWindowLongA(QWidget *hWnd, int index)
{
    if (index != GWL_STYLE)
        return 0;
    const Qt::WindowFlags flags = hWnd->windowFlags();
    qint32 style = 0;
    if (flags.testFlag(Qt::WindowTitleHint))
        style |= WS_CAPTION;
    if (flags.testFlag(Qt::WindowSystemMenuHint))
        style |= WS_SYSMENU;
    if (hWnd->minimumSize() != hWnd->maximumSize())
        style |= WS_THICKFRAME;
    if (hWnd->isVisible())
        style |= WS_VISIBLE;
    return style;
}

qint32 SetWindowLongA(QWidget *hWnd, int index, qint32 newStyle)
{
    const qint32 old = GetWindowLongA(hWnd, index);
    if (index != GWL_STYLE || ((old ^ newStyle) & WS_THICKFRAME) == 0)
        return old;

    const bool sizable = newStyle & WS_THICKFRAME;
    const bool visible = hWnd->isVisible();
    // Window managers read a fixed size from minimum == maximum; on Windows the hint also
    // swaps the thick frame for a thin one.
    if (sizable) {
        hWnd->setMinimumSize(0, 0);
        hWnd->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        hWnd->setFixedSize(hWnd->size());
    }
    // A window not made yet takes its flags when it is: setting them the usual way would
    // re-parent it, which restyles and re-measures every control in it.
    Qt::WindowFlags flags = hWnd->windowFlags();
    flags.setFlag(Qt::MSWindowsFixedSizeDialogHint, !sizable);
    if (hWnd->testAttribute(Qt::WA_WState_Created))
        hWnd->setWindowFlags(flags);
    else
        hWnd->overrideWindowFlags(flags);
    // Changing a flag hides a shown window.
    if (visible)
        hWnd->show();
    return old;
}

void unmaximiseFixedSize(QWidget *window, const QEvent *event)
{
    if (event->type() != QEvent::WindowStateChange || !window->isMaximized() ||
        window->minimumSize() != window->maximumSize())
        return;
    QMetaObject::invokeMethod(
        window, [window] { window->setWindowState(window->windowState() & ~Qt::WindowMaximized); },
        Qt::QueuedConnection);
}

} // namespace Runtime
