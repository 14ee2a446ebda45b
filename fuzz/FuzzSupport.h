// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The keys of a statistics reply, spelled out again here so that the checks don't lean on
// the code they check.
inline const QString VisitCountKey = QStringLiteral("\"visitcount\":");
inline const QString DayVisitKey = QStringLiteral("\"dayvisit\":");
inline const QString SpaceMarkKey = QStringLiteral("\"spacemark\":");

// The texts one fuzz input stands for. As UTF-8 it is what the transfer makes of a reply's
// bytes; as UTF-16 it also reaches code units that decoding UTF-8 never yields, such as lone
// surrogates, which the text work must carry through like any other character.
inline std::array<QString, 2> fuzzTexts(const std::uint8_t *data, std::size_t size)
{
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    if (!utf16.isEmpty())
        std::memcpy(utf16.data(), data, size / 2 * 2);
    return {QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)), utf16};
}

// Ends the run with what was seen, so that libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition, text)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: %s failed for \"%s\"\n", __FILE__, __LINE__, #condition,  \
                         qUtf8Printable(text));                                                    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Whether shown is count written in groups of ten thousands: every character of count once
// and in order, 万 before the last four of them when there are five or more, 亿 before the
// last eight when there are nine or more, and nothing else.
inline bool isGrouped(const QString &count, const QString &shown)
{
    const QChar wan(0x4E07);
    const QChar yi(0x4EBF);
    const qsizetype n = count.size();
    const qsizetype units = (n >= 5 ? 1 : 0) + (n >= 9 ? 1 : 0);
    if (shown.size() != n + units)
        return false;
    if (n >= 5 && shown.at(shown.size() - 5) != wan)
        return false;
    if (n >= 9 && shown.at(shown.size() - 10) != yi)
        return false;
    QString characters = shown;
    if (n >= 5)
        characters.remove(characters.size() - 5, 1);
    if (n >= 9)
        characters.remove(characters.size() - 9, 1);
    return characters == count;
}
