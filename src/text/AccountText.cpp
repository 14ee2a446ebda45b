// SPDX-License-Identifier: MIT
#include "AccountText.h"

namespace {

constexpr char16_t FullWidthZero = 0xFF10;
constexpr char16_t FullWidthNine = 0xFF19;

// Spaces show as spaces; the rest of the white space (tabs, line breaks, separators of lines
// and paragraphs) breaks or shifts a line.
bool isShownAsSpace(QChar c)
{
    return c.category() == QChar::Separator_Space;
}

} // namespace

QString meantAccount(const QString &typed)
{
    QString account = typed.trimmed();
    for (QChar &c : account) {
        if (c.unicode() >= FullWidthZero && c.unicode() <= FullWidthNine)
            c = QChar(u'0' + (c.unicode() - FullWidthZero));
    }
    return account;
}

QString quotedAccount(const QString &typed)
{
    qsizetype begin = 0;
    qsizetype end = typed.size();
    while (begin < end && typed.at(begin).isSpace())
        ++begin;
    while (end > begin && typed.at(end - 1).isSpace())
        --end;
    auto spacesOf = [&](qsizetype from, qsizetype to) {
        QString spaces;
        for (qsizetype i = from; i < to; ++i) {
            if (isShownAsSpace(typed.at(i)))
                spaces += typed.at(i);
        }
        return spaces;
    };
    return spacesOf(0, begin) + typed.mid(begin, end - begin) + spacesOf(end, typed.size());
}
