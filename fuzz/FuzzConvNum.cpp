// SPDX-License-Identifier: MIT
// ConvNum on any text: the trimmed text comes back grouped, and the caller's text is left
// trimmed.

#include "FuzzSupport.h"

#include "text/CounterText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (const QString &text : fuzzTexts(data, size)) {
        // Only the spaces U+0020 and U+3000 are trimmed, and only at the ends.
        auto isSpace = [](QChar c) { return c == u' ' || c == u'\u3000'; };
        qsizetype begin = 0;
        qsizetype end = text.size();
        while (begin < end && isSpace(text.at(begin)))
            ++begin;
        while (end > begin && isSpace(text.at(end - 1)))
            --end;
        const QString trimmed = text.mid(begin, end - begin);

        QString count = text;
        const QString shown = ConvNum(count);
        FUZZ_CHECK(count == trimmed, text);
        FUZZ_CHECK(isGrouped(trimmed, shown), text);
        FUZZ_CHECK(trimSpaces(text) == trimmed, text);
    }
    return 0;
}
