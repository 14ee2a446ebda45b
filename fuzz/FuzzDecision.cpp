// SPDX-License-Identifier: MIT
// The whole decision on a reply, as the lookup makes it: either both counts, shown grouped in
// Label7 and Label9, and a verdict on them, or the failure branch.

#include "FuzzSupport.h"

#include "text/CounterText.h"

#include <QHashFunctions>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

// One to twenty digits.
bool isCount(const QString &text)
{
    return !text.isEmpty() && text.size() <= 20 &&
           std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The value of a run of digits, when it fits in 64 bits.
std::optional<quint64> valueOf(const QString &count)
{
    quint64 value = 0;
    for (QChar c : count) {
        const auto digit = quint64(c.unicode() - u'0');
        if (value > (std::numeric_limits<quint64>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// A count too large for 64 bits is above every limit the verdict uses.
bool above(const QString &count, quint64 limit)
{
    const std::optional<quint64> value = valueOf(count);
    return !value || *value > limit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (const QString &reply : fuzzTexts(data, size)) {
        // Whatever comes before it, a record of both counts is read as it is: the text with
        // every key taken out, then the counts that the text's hash gives.
        QString noise = reply;
        while (noise.contains(VisitCountKey) || noise.contains(DayVisitKey) ||
               noise.contains(SpaceMarkKey)) {
            for (const QString &key : {VisitCountKey, DayVisitKey, SpaceMarkKey})
                noise.remove(key);
        }
        const QString total = QString::number(qHash(reply));
        const QString today = QString::number(qHash(reply) % 1000);
        const std::optional<Counts> recorded =
            readCounts(noise + VisitCountKey + total + u',' + DayVisitKey + today + u',' +
                       SpaceMarkKey + u'1');
        FUZZ_CHECK(recorded && recorded->total == total && recorded->today == today, reply);

        // Counts read from any text are runs of digits, cut between the three keys.
        const std::optional<Counts> counts = readCounts(reply);
        if (!counts)
            continue;
        FUZZ_CHECK(isCount(counts->total) && isCount(counts->today), reply);
        FUZZ_CHECK(reply.contains(VisitCountKey) && reply.contains(DayVisitKey) &&
                       reply.contains(SpaceMarkKey),
                   reply);

        // The labels, filled as the lookup fills them.
        QString totalCount = counts->total;
        QString todayCount = counts->today;
        const QString label7 = ConvNum(totalCount);
        const QString label9 = ConvNum(todayCount);
        FUZZ_CHECK(isGrouped(counts->total, label7), reply);
        FUZZ_CHECK(isGrouped(counts->today, label9), reply);

        const Verdict expected = above(counts->today, 100)      ? Verdict::BothHigh
                                 : above(counts->total, 100000) ? Verdict::TotalHigh
                                                                : Verdict::None;
        FUZZ_CHECK(judge(*counts) == expected, reply);
    }
    return 0;
}
