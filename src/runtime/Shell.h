// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace Runtime {

// How a started program shows its window.
enum VbAppWinStyle : int {
    vbHide = 0,
    vbNormalFocus = 1,
    vbMinimizedFocus = 2,
    vbMaximizedFocus = 3,
};

// Starts commandLine (the program, then its arguments, each passed as it is, never through a
// shell) as a new process and returns its id at once, without waiting for it. Throws
// RuntimeError 53 when the program can't be started.
qint64 Shell(const QStringList &commandLine, int windowStyle);

} // namespace Runtime
