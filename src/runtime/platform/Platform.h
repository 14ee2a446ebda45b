// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

class QProcess;

// What differs between operating systems: Platform_posix.cpp for Linux and macOS,
// Platform_win.cpp for Windows, chosen at build time. These files are the only place for a
// switch on the system.
namespace Runtime::Platform {

// The system's program that opens a web address in the user's browser, with the arguments
// that come before the address.
QStringList urlOpener();

// Has process start with its window shown as windowStyle asks (vbNormalFocus,
// vbMinimizedFocus: a ShellWindowStyle), where the system lets a program choose.
void setShowMode(QProcess &process, int windowStyle);

} // namespace Runtime::Platform
