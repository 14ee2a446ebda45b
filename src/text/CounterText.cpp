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

bool isDigits(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A count is a run of 1 to MaxCountDigits digits. A longer run is no count: grouping it and
// showing it would only cost time.
bool isCount(const QString &text)
{
    return !text.isEmpty() && text.size() <= MaxCountDigits && isDigits(text);
}

// What a value that is no count is, without quoting it.
QString whatItIs(const QString &value)
{
    if (value.isEmpty())
        return QStringLiteral("empty");
    if (isDigits(value))
        return QStringLiteral("%1 digits").arg(value.size());
    return QStringLiteral("%1 characters, not all digits").arg(value.size());
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

QString gl(QString &value)
{
    value.remove(u'"');
    value.remove(u',');
    return value;
}

QString ConvNum(QString &count)
{
    count = trimSpaces(count);
    const QString &s = count;
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

std::optional<Counts> readCounts(const QString &reply, QString *fault)
{
    const auto failed = [fault](const QString &why) {
        if (fault)
            *fault = why;
        return std::nullopt;
    };
    // Without its key the total's cut starts at a fixed place in whatever text comes first,
    // which may happen to be digits.
    if (!reply.contains(VisitCountKey))
        return failed(QStringLiteral("the reply held no counts"));
    ValueTexts values = cutCounters(reply);
    Counts counts{trimSpaces(gl(values.total)), trimSpaces(gl(values.today))};
    if (counts.total.isEmpty() && counts.today.isEmpty())
        return failed(QStringLiteral("the reply held no counts"));
    if (!isCount(counts.total))
        return failed(QStringLiteral("the total is no count: ") + whatItIs(counts.total));
    if (!isCount(counts.today))
        return failed(QStringLiteral("today's count is no count: ") + whatItIs(counts.today));
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
