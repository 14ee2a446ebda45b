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

// The two value texts of a reply, where CutCounters cuts them, as views into it.
struct ValueViews
{
    QStringView total;
    QStringView today;
};

// length characters of reply from the 1-based position start. A length below 1 comes from a
// missing key or keys out of order and gives empty text; a positive one always lies inside
// the reply, because the cut ends where a key found in the reply begins.
QStringView cut(const QString &reply, qsizetype start, qsizetype length)
{
    return length < 1 ? QStringView() : QStringView(reply).mid(start - 1, length);
}

ValueViews valueViews(const QString &reply)
{
    const qsizetype p1 = position(reply, VisitCountKey);
    const qsizetype p2 = position(reply, DayVisitKey);
    const qsizetype p3 = position(reply, SpaceMarkKey);
    return {cut(reply, p1 + VisitCountKey.size(), p2 - p1 - VisitCountKey.size()),
            cut(reply, p2 + DayVisitKey.size(), p3 - p2 - DayVisitKey.size())};
}

bool isSpace(QChar c)
{
    return c == u' ' || c == IdeographicSpace;
}

// The count in a value text, as gl and TrimSpaces leave it, when that is a run of 1 to
// MaxCountDigits digits. A longer run is no count: grouping and showing it would only cost
// time. The value is read where it lies: one a million characters long is never copied.
std::optional<QString> countIn(QStringView value)
{
    QString count;
    bool spaceAfter = false;
    for (const QChar c : value) {
        if (c == u'"' || c == u',')
            continue;
        if (isSpace(c)) {
            spaceAfter = !count.isEmpty();
            continue;
        }
        if (spaceAfter || c < u'0' || c > u'9' || count.size() == MaxCountDigits)
            return std::nullopt;
        count += c;
    }
    if (count.isEmpty())
        return std::nullopt;
    return count;
}

} // namespace

ValueTexts CutCounters(const QString &reply)
{
    const ValueViews values = valueViews(reply);
    return {values.total.toString(), values.today.toString()};
}

QString gl(QString &str2)
{
    str2.remove(u'"');
    str2.remove(u',');
    return str2;
}

QString ConvNum(QString &getNum)
{
    getNum = TrimSpaces(getNum);
    const QString &s = getNum;
    const qsizetype n = s.size();
    if (n <= 4)
        return s;
    if (n <= 8)
        return s.left(n - 4) + Wan + s.right(4);
    return s.left(n - 8) + Yi + s.mid(n - 8, 4) + Wan + s.right(4);
}

QString TrimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text.at(begin)))
        ++begin;
    while (end > begin && isSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

std::optional<Counts> ReadCounts(const QString &reply)
{
    // Without its key the total's cut starts at a fixed place in whatever text comes first,
    // which may happen to be digits.
    if (!reply.contains(VisitCountKey))
        return std::nullopt;
    const ValueViews values = valueViews(reply);
    std::optional<QString> total = countIn(values.total);
    std::optional<QString> today = countIn(values.today);
    if (!total || !today)
        return std::nullopt;
    return Counts{*std::move(total), *std::move(today)};
}

bool CountAbove(const QString &count, quint64 limit)
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

Verdict Judge(const Counts &counts)
{
    if (CountAbove(counts.today, 100))
        return Verdict::BothHigh;
    if (CountAbove(counts.total, 100000))
        return Verdict::TotalHigh;
    return Verdict::None;
}
