// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace Runtime {

// How a started program shows its window.
enum ShellWindowStyle : int {
    vbNormalFocus = 1,
    vbMinimizedFocus = 2,
};

// Starts commandLine (the program, then its arguments, each passed as it is, never through a
// shell) as a new process and returns its id at once, without waiting for it. Throws
// RuntimeError 53 when the program can't be started.
qint64 Shell(const QStringList &commandLine, int windowStyle);

// The system's program that opens a web address in the user's browser, with the arguments
// that come before the address: what Shell is given to open one.
QStringList urlOpener();

} // namespace Runtime
