// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

class QEvent;
class QWidget;

namespace Runtime {

// Window style calls, answered from the window's real state.
constexpr int GWL_STYLE = -16;

constexpr qint32 WS_THICKFRAME = 0x00040000;
constexpr qint32 WS_SYSMENU = 0x00080000;
constexpr qint32 WS_CAPTION = 0x00C00000;
constexpr qint32 WS_VISIBLE = 0x10000000;

// The window's style bits; 0 for an index other than GWL_STYLE.
qint32 GetWindowLongA(QWidget *hWnd, int index);

// Gives the window the style newStyle and returns the style it had. Only the sizing border
// (WS_THICKFRAME) can be changed here: without it the window keeps its size, its title bar
// and its close box. Changes to the other bits are ignored.
qint32 SetWindowLongA(QWidget *hWnd, int index, qint32 newStyle);

// Gives a window of fixed size that was maximised anyway its normal state back, soon: Qt's own
// decorations on Wayland offer a maximise button whatever the window's flags say. For a window's
// changeEvent.
void unmaximiseFixedSize(QWidget *window, const QEvent *event);

} // namespace Runtime
