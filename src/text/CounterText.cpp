// SPDX-License-Identifier: MIT
#include "CounterText.h"

#include <algorithm>

namespace {

const QString VisitCountKey = QStringLiteral("\"visitcount\":");
const QString DayVisitKey = QStringLiteral("\"dayvisit\":");
const QString SpaceMarkKey = QStringLiteral("\"spacemark\":");

const QChar Wan(0x4E07); // 万, ten thousand
const QChar Yi(0x4EBF);  // 亿, a hundred million
const QChar IdeographicSpace(0x3000);

// 1-based position of the first occurrence of key, 0 when it doesn't occur.
qsizetype position(const QString &reply, const QString &key)
{
    return reply.indexOf(key) + 1;
}

// length characters of reply from the 1-based position start. A length below 1 comes from a
// missing key or keys out of order and gives empty text; a positive one always lies inside
// the reply, because the cut ends where a key found in the reply begins.
QString cut(const QString &reply, qsizetype start, qsizetype length)
{
    return length < 1 ? QString() : reply.mid(start - 1, length);
}

bool isSpace(QChar c)
{
    return c == u' ' || c == IdeographicSpace;
}

// A count is a run of 1 to MaxCountDigits digits. A longer run is no count: grouping it and
// showing it would only cost time.
bool isCount(const QString &text)
{
    return !text.isEmpty() && text.size() <= MaxCountDigits &&
           std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

ValueTexts cutCounters(const QString &reply)
{
    const qsizetype p1 = position(reply, VisitCountKey);
    const qsizetype p2 = position(reply, DayVisitKey);
    const qsizetype p3 = position(reply, SpaceMarkKey);
    return {cut(reply, p1 + VisitCountKey.size(), p2 - p1 - VisitCountKey.size()),
            cut(reply, p2 + DayVisitKey.size(), p3 - p2 - DayVisitKey.size())};
}

QString gl(QString &str2)
{
    str2.remove(u'"');
    str2.remove(u',');
    return str2;
}

QString ConvNum(QString &getNum)
{
    getNum = trimSpaces(getNum);
    const QString &s = getNum;
    const qsizetype n = s.size();
    if (n <= 4)
        return s;
    if (n <= 8)
        return s.left(n - 4) + Wan + s.right(4);
    return s.left(n - 8) + Yi + s.mid(n - 8, 4) + Wan + s.right(4);
}

QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text.at(begin)))
        ++begin;
    while (end > begin && isSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

std::optional<Counts> readCounts(const QString &reply)
{
    // Without its key the total's cut starts at a fixed place in whatever text comes first,
    // which may happen to be digits.
    if (!reply.contains(VisitCountKey))
        return std::nullopt;
    ValueTexts values = cutCounters(reply);
    Counts counts{trimSpaces(gl(values.total)), trimSpaces(gl(values.today))};
    if (!isCount(counts.total) || !isCount(counts.today))
        return std::nullopt;
    return counts;
}

bool countAbove(const QString &count, quint64 limit)
{
    // Digits of equal length compare as numbers when compared as text.
    qsizetype first = 0;
    while (first < count.size() - 1 && count.at(first) == u'0')
        ++first;
    const QString significant = count.mid(first);
    const QString limitText = QString::number(limit);
    if (significant.size() != limitText.size())
        return significant.size() > limitText.size();
    return significant > limitText;
}

Verdict judge(const Counts &counts)
{
    if (countAbove(counts.today, 100))
        return Verdict::BothHigh;
    if (countAbove(counts.total, 100000))
        return Verdict::TotalHigh;
    return Verdict::None;
}
