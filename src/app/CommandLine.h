// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

// The status the program ends with when its command line can't be taken.
constexpr int BadCommandLineExitStatus = 2;

// Answers --help and --version on standard output, and refuses an option or argument the
// program doesn't take with a line on standard error, before any window exists, so that
// both work on a terminal without a display. Returns the status to end with, or nothing when
// the program is to start its window: no arguments, or only Qt's own options, which are left
// in place for QApplication.
std::optional<int> answerCommandLine(int &argc, char **argv);
