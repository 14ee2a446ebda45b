// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QtGlobal>

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

// Whether function lies in the code of the library loaded from libraryPath: in a part of that
// file that the system maps to be executed. An entry point exported as data doesn't, nor one
// that the name resolved to in another library; calling either would crash the program.
bool isCodeOfLibrary(QFunctionPointer function, const QString &libraryPath);

// Whether the library of the file at libraryPath is loaded in the program, such as one that
// was let go but that the system keeps: a library with GNU unique symbols can't be unloaded.
bool isLoaded(const QString &libraryPath);

} // namespace Runtime::Platform
