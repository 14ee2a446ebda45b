// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

// Text work on the statistics reply and on the counts shown. Positions and lengths are
// QString's (UTF-16 code units); every search and replacement compares code units exactly.

// The two value texts cut out of a statistics reply: what stands between "visitcount": and
// "dayvisit":, and between "dayvisit": and "spacemark":. A cut whose closing key is missing,
// or stands before its opening key, gives empty text; a missing opening key counts as found
// at position 0, so the cut starts at a fixed place (character 13 or 11) of the reply.
struct ValueTexts
{
    QString total;
    QString today;
};

ValueTexts cutCounters(const QString &reply);

// Removes every double quote and every comma from value, leaves the result in value and
// returns it.
QString gl(QString &value);

// Writes a count in Chinese grouping by ten thousands: 12345 -> 1万2345, 123456789 ->
// 1亿2345万6789. Counts characters only; digits are not checked. Leaves count trimmed as
// trimSpaces trims.
QString ConvNum(QString &count);

// text without the spaces at its ends, the space U+0020 and the ideographic space U+3000 alike,
// as the account is trimmed of them; tabs and line breaks stay.
QString trimSpaces(const QString &text);

// The most digits a count has: 20 hold every 64-bit number, far beyond the visits of any space.
constexpr qsizetype MaxCountDigits = 20;

// The two counts a reply carries, as trimmed runs of the digits 0-9.
struct Counts
{
    QString total;
    QString today;
};

// The counts of a statistics reply, or nothing when the reply doesn't carry both of them:
// the "visitcount": key is missing, or a value isn't a run of 1 to MaxCountDigits digits. Then
// *fault, when asked for, says which, for the log: "the reply held no counts", "the total is no
// count: 21 digits", "today's count is no count: 3 characters, not all digits"; it quotes
// nothing of the reply.
std::optional<Counts> readCounts(const QString &reply, QString *fault = nullptr);

// Whether a run of digits, of any length, stands for a number greater than limit.
bool countAbove(const QString &count, quint64 limit);

// What the program makes of two counts: today's count above 100 is worth a word, failing
// that a total above 100000.
enum class Verdict {
    None,
    BothHigh,
    TotalHigh,
};

Verdict judge(const Counts &counts);
