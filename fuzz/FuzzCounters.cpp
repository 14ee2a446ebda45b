// SPDX-License-Identifier: MIT
// Cutting the two value texts out of any reply and cleaning them with gl.

#include "FuzzSupport.h"

#include "text/CounterText.h"

namespace {

// A cut ends where the first occurrence of its closing key begins; when its opening key is
// there too, the cut is all that stands between the two keys.
void checkCut(const QString &reply, const QString &cut, const QString &openingKey,
              const QString &closingKey)
{
    const qsizetype opening = reply.indexOf(openingKey);
    const qsizetype closing = reply.indexOf(closingKey);
    if (!cut.isEmpty()) {
        FUZZ_CHECK(closing >= cut.size(), reply);
        FUZZ_CHECK(reply.mid(closing - cut.size(), cut.size()) == cut, reply);
    }
    if (opening >= 0 && closing >= 0) {
        const qsizetype start = opening + openingKey.size();
        FUZZ_CHECK(cut == (closing > start ? reply.mid(start, closing - start) : QString()), reply);
    }
}

// gl takes out exactly the double quotes and the commas, keeps the rest in order, and leaves
// its result in the caller's text too.
void checkGl(const QString &text)
{
    QString kept;
    for (QChar c : text) {
        if (c != u'"' && c != u',')
            kept += c;
    }
    QString cleaned = text;
    const QString result = gl(cleaned);
    FUZZ_CHECK(result == kept, text);
    FUZZ_CHECK(cleaned == kept, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (const QString &reply : fuzzTexts(data, size)) {
        const ValueTexts values = cutCounters(reply);
        checkCut(reply, values.total, VisitCountKey, DayVisitKey);
        checkCut(reply, values.today, DayVisitKey, SpaceMarkKey);
        checkGl(values.total);
        checkGl(values.today);
        checkGl(reply);
    }
    return 0;
}
