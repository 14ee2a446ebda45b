// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

// Text work on what the log quotes from outside the program: a server's status line and header
// values, an address it redirects to, a proxy variable.

// The most characters of one quoted text that a log line shows.
constexpr qsizetype MaxLoggedLength = 200;

// text as a log line may quote it on a terminal: cut after MaxLoggedLength characters, "…"
// (U+2026) in place of the rest, and every character that a terminal would act on rather than
// show written out as an escape: the C0 and C1 controls and DEL as \xNN, the controls of
// direction (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) as \uNNNN. Nothing it
// gives moves the cursor, clears the screen, sets a title or reorders a line.
QString loggable(QStringView text);
