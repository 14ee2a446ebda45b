// SPDX-License-Identifier: MIT
#include "LogText.h"

namespace {

const QChar Ellipsis(0x2026);

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The marks that set the direction of what follows them.
bool isDirectionControl(char16_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString loggable(QStringView text)
{
    qsizetype kept = qMin(text.size(), MaxLoggedLength);
    // A surrogate pair is kept whole or left out whole.
    if (kept < text.size() && kept > 0 && text.at(kept - 1).isHighSurrogate())
        --kept;
    QString shown;
    shown.reserve(kept + 1);
    for (const QChar c : text.first(kept)) {
        const char16_t code = c.unicode();
        if (isControl(code))
            shown += QStringLiteral("\\x%1").arg(uint(code), 2, 16, QLatin1Char('0'));
        else if (isDirectionControl(code))
            shown += QStringLiteral("\\u%1").arg(uint(code), 4, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    if (kept < text.size())
        shown += Ellipsis;
    return shown;
}
