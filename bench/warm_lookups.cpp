// SPDX-License-Identifier: MIT
// Warm lookups in one process, against the demo service on a thread of its own: the program's
// window from the click to both counters written, a plain GET that keeps its connection open
// and one that opens a new connection for every GET, as the program's transfer does. They
// take turns, after ten rounds that open the connections and fill the caches. Reports the
// medians and the peak memory after them (Figures.h):
//   vistameter-warm-lookups N       program_lookup, plain_get, plain_get_new_connection (ns);
//                                   peak_memory (KiB)

#include "BenchWindow.h"
#include "DemoLookups.h"
#include "Figures.h"
#include "LookupClock.h"
#include "ServiceThread.h"

#include <QApplication>
#include <QNetworkAccessManager>

#include <algorithm>

namespace {

qint64 lookUp(LookupClock &clock, const QString &account)
{
    const auto [total, today] = expectedCaptions(account);
    const qint64 elapsed = clock.time(account, total, today);
    if (elapsed < 0)
        failMeasurement(QStringLiteral("the lookup of %1 didn't write the counters").arg(account));
    return elapsed;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistameter"));
    const int count = std::max(1, QApplication::arguments().value(1).toInt());

    ServiceThread service;
    if (service.host().isEmpty())
        failMeasurement(QStringLiteral("the demo service couldn't listen"));
    const std::unique_ptr<Form1> form = showWindow(service.host());
    if (!form)
        failMeasurement(QStringLiteral("the window didn't load"));
    LookupClock clock(form.get());
    if (!clock.isComplete())
        failMeasurement(QStringLiteral("the window lacks a control"));

    std::unique_ptr<QNetworkAccessManager> network;
    QList<qint64> program;
    QList<qint64> plain;
    QList<qint64> fresh;
    const int warmUp = 10;
    for (int i = -warmUp; i < count; ++i) {
        const QString &account = lookupAccounts()[(i + warmUp) % 2];
        const QUrl url = statisticsUrl(service.host(), account);
        qint64 programTime = 0;
        qint64 plainTime = 0;
        qint64 freshTime = 0;
        // Each round turns the order round, so that what one leaves behind falls on all alike.
        if ((i + warmUp) % 2) {
            plainTime = plainGet(network, url);
            freshTime = plainGet(network, url, Connection::New);
            programTime = lookUp(clock, account);
        } else {
            programTime = lookUp(clock, account);
            freshTime = plainGet(network, url, Connection::New);
            plainTime = plainGet(network, url);
        }
        if (i >= 0) {
            program << programTime;
            plain << plainTime;
            fresh << freshTime;
        }
    }
    printFigure("program_lookup", median(program), FigureUnit::Nanoseconds);
    printFigure("plain_get", median(plain), FigureUnit::Nanoseconds);
    printFigure("plain_get_new_connection", median(fresh), FigureUnit::Nanoseconds);
    printFigure("peak_memory", peakMemoryKiB(), FigureUnit::KiB);
    return 0;
}
