// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

// Text work on the program's messages and what they quote from the user, and on what the log
// quotes from outside the program: a server's status line and header values, an address it
// redirects to, a proxy variable. Lengths are QString's (UTF-16 code units).

// The title of the program's message boxes, but for one verdict's.
inline const QString MessageTitle = QStringLiteral("OmblePellin提示");

// text shortened to at most maxLength characters (maxLength at least 1) by "…" (U+2026) in
// place of its middle; text short enough is returned unchanged. The cuts fall between
// user-perceived characters, never inside one.
QString elideMiddle(const QString &text, qsizetype maxLength);

// text ready to be quoted inside a message: every line of it stands between FSI (U+2068) and
// PDI (U+2069), so that nothing in it can reorder the message around it. Isolates it opens are
// closed before its line ends and closing marks without an opener are dropped, so that the
// outer pair always matches; empty text gives the bare pair.
QString isolate(const QString &text);

// The most characters of one quoted text that a log line shows.
constexpr qsizetype MaxLoggedLength = 200;

// text as a log line may quote it on a terminal: cut after MaxLoggedLength characters, "…"
// (U+2026) in place of the rest, and every character that a terminal would act on rather than
// show written out as an escape: the C0 and C1 controls and DEL as \xNN, the controls of
// direction (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) as \uNNNN. Nothing it
// gives moves the cursor, clears the screen, sets a title or reorders a line.
QString loggable(QStringView text);
