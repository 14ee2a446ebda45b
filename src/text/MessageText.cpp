// SPDX-License-Identifier: MIT
#include "MessageText.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

const QChar Ellipsis(0x2026);
const QChar FirstStrongIsolate(0x2068);
const QChar PopDirectionalIsolate(0x2069);

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

QString elideMiddle(const QString &text, qsizetype maxLength)
{
    if (text.size() <= maxLength)
        return text;
    const qsizetype kept = std::max<qsizetype>(maxLength - 1, 0);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);

    finder.setPosition((kept + 1) / 2);
    const qsizetype headEnd =
        finder.isAtBoundary() ? finder.position() : finder.toPreviousBoundary();
    finder.setPosition(text.size() - kept / 2);
    const qsizetype tailStart = finder.isAtBoundary() ? finder.position() : finder.toNextBoundary();
    return text.left(headEnd) + Ellipsis + text.mid(tailStart);
}

QString isolate(const QString &text)
{
    if (text.isEmpty())
        return QString(FirstStrongIsolate) + PopDirectionalIsolate;
    QString isolated;
    isolated.reserve(text.size() + 2);
    // Isolates opened inside the current line; -1 between lines, where no FSI is open.
    qsizetype open = -1;
    auto closeLine = [&] {
        isolated.append(QString(open + 1, PopDirectionalIsolate));
        open = -1;
    };

    for (const QChar c : text) {
        // A paragraph separator ends every isolate, so each line gets a pair of its own.
        if (c.direction() == QChar::DirB) {
            if (open >= 0)
                closeLine();
            isolated.append(c);
            continue;
        }
        if (open < 0) {
            isolated.append(FirstStrongIsolate);
            open = 0;
        }
        switch (c.direction()) {
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
            ++open;
            break;
        case QChar::DirPDI:
            if (open == 0)
                continue;
            --open;
            break;
        default:
            break;
        }
        isolated.append(c);
    }
    if (open >= 0)
        closeLine();
    return isolated;
}

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
