// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Text work on the program's messages and what they quote from the user. Lengths are QString's
// (UTF-16 code units).

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
