// SPDX-License-Identifier: MIT
// The cost of reading a reply: readCounts and ConvNum on replies of 1 KiB, 64 KiB and 1 MiB.
// The counters sit at the end, after other fields, so every search runs over the whole reply;
// a reply without counters is searched through once and given up.

#include "text/CounterText.h"

#include <benchmark/benchmark.h>

namespace {

QString reply(qsizetype size, bool withCounters)
{
    const QString head = QStringLiteral("_Callback({\"code\":0,\"data\":{");
    const QString tail = withCounters ? QStringLiteral("\"visitcount\":123456789,\"dayvisit\":4321,"
                                                       "\"spacemark\":0}});")
                                      : QStringLiteral("\"message\":\"closed\"}});");
    QString text = head;
    for (int field = 0; text.size() + tail.size() < size; ++field)
        text += QStringLiteral("\"field%1\":\"value of field %1\",").arg(field);
    text.truncate(size - tail.size());
    return text + tail;
}

void readAndConvert(benchmark::State &state, bool withCounters)
{
    const QString text = reply(state.range(0), withCounters);
    for (auto _ : state) {
        std::optional<Counts> counts = readCounts(text);
        if (counts) {
            benchmark::DoNotOptimize(ConvNum(counts->total));
            benchmark::DoNotOptimize(ConvNum(counts->today));
        }
        benchmark::DoNotOptimize(counts);
    }
    if (readCounts(text).has_value() != withCounters)
        state.SkipWithError("the reply doesn't read as meant");
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
    // Nanoseconds per byte of reply: flat when the cost grows linearly.
    state.counters["ns_per_byte"] =
        benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

void BM_ReadCounts_WithCounters(benchmark::State &state)
{
    readAndConvert(state, true);
}

void BM_ReadCounts_ClosedSpace(benchmark::State &state)
{
    readAndConvert(state, false);
}

} // namespace

// 1 KiB, 64 KiB and 1 MiB; the fit to a straight line is reported after each family.
BENCHMARK(BM_ReadCounts_WithCounters)
    ->Arg(1 << 10)
    ->Arg(1 << 16)
    ->Arg(1 << 20)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ReadCounts_ClosedSpace)
    ->Arg(1 << 10)
    ->Arg(1 << 16)
    ->Arg(1 << 20)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
