// SPDX-License-Identifier: MIT
#pragma once

class QProcess;

// What differs between operating systems; one source file per system, chosen at build time.
namespace Runtime::Platform {

// Has process start with its window shown as windowStyle (a VbAppWinStyle) asks, where the
// system lets a program choose.
void SetShowMode(QProcess &process, int windowStyle);

} // namespace Runtime::Platform
