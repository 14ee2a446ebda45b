// SPDX-License-Identifier: MIT
// The benchmark driver: the program's start-up, lookup and memory, each against a baseline
// measured in the same run, printed as a table.
//   vistameter-bench [--runs N] [--settle-runs N] [--lookups N]
// It starts itself, and vistameter-first-lookup, for the measurements that need a fresh process:
//   vistameter-bench --first-lookup HOST
//   vistameter-bench --warm N

#include "BenchWindow.h"
#include "FirstFrameProbe.h"
#include "LookupClock.h"
#include "ServiceThread.h"

#include "DemoService.h"
#include "text/CounterText.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

namespace {

// Two accounts taken in turn, so that each lookup writes counters that differ from the ones
// already shown.
const QStringList Accounts{QStringLiteral("10001"), QStringLiteral("10003")};

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "vistameter-bench: %s\n", qPrintable(why));
    std::exit(1);
}

QUrl statisticsUrl(const QString &host, const QString &account)
{
    return QUrl(QStringLiteral("http://%1/fcg-bin/cgi_emotion_list.fcg?uin=%2").arg(host, account));
}

// The counters as the program writes them for account.
std::pair<QString, QString> captionsFor(const QString &account)
{
    std::optional<Counts> counts = readCounts(QString::fromUtf8(DemoService::replyFor(account)));
    if (!counts)
        fail(QStringLiteral("account %1 has no counts").arg(account));
    return {ConvNum(counts->total), ConvNum(counts->today)};
}

// How the baseline GET treats its connection.
enum class Connection {
    KeptOpen, // reused from one GET to the next, as HTTP/1.1 allows
    New,      // one per GET, closed after it, as the program's transfer does
};

// The baseline lookup: a GET of the same URL with nothing around it, the body decoded.
qint64 plainGet(std::unique_ptr<QNetworkAccessManager> &network, const QUrl &url,
                Connection connection = Connection::KeptOpen)
{
    const qint64 start = FirstFrameProbe::Now();
    if (!network)
        network = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    if (connection == Connection::New)
        request.setRawHeader("Connection", "close");
    const std::unique_ptr<QNetworkReply> reply(network->get(request));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const QString body = QString::fromUtf8(reply->readAll());
    const qint64 elapsed = FirstFrameProbe::Now() - start;
    if (reply->error() != QNetworkReply::NoError || !readCounts(body))
        fail(QStringLiteral("plain GET of %1 failed").arg(url.toString()));
    return elapsed;
}

// The program's window, shown and talking to the service on host.
std::unique_ptr<Form1> showWindow(const QString &host)
{
    std::unique_ptr<Form1> form = ShowWindow(host);
    if (!form)
        fail(QStringLiteral("the window didn't load"));
    return form;
}

qint64 lookUp(LookupClock &clock, const QString &account)
{
    if (!clock.isComplete())
        fail(QStringLiteral("the window lacks a control"));
    const auto [total, today] = captionsFor(account);
    const qint64 elapsed = clock.time(account, total, today);
    if (elapsed < 0)
        fail(QStringLiteral("the lookup of %1 didn't write the counters").arg(account));
    return elapsed;
}

// The baseline's first lookup, in a process that links Qt Network as any program that makes a
// GET does: the library was mapped before main().
int firstPlainGet(const QString &host)
{
    std::unique_ptr<QNetworkAccessManager> network;
    std::printf("ns=%lld\n", plainGet(network, statisticsUrl(host, Accounts.first())));
    return 0;
}

int warmLookups(int count)
{
    ServiceThread service;
    if (service.host().isEmpty())
        fail(QStringLiteral("the demo service couldn't listen"));
    const std::unique_ptr<Form1> form = showWindow(service.host());
    LookupClock clock(form.get());
    std::unique_ptr<QNetworkAccessManager> network;
    QList<qint64> program;
    QList<qint64> plain;
    QList<qint64> fresh;
    // Ten rounds first, which open the connections and fill the caches.
    const int warmUp = 10;
    for (int i = -warmUp; i < count; ++i) {
        const QString &account = Accounts[(i + warmUp) % 2];
        const QUrl url = statisticsUrl(service.host(), account);
        qint64 programTime = 0;
        qint64 plainTime = 0;
        qint64 freshTime = 0;
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
    std::printf("program=%lld plain=%lld fresh=%lld peak_kib=%lld\n", median(program),
                median(plain), median(fresh), FirstFrameProbe::PeakMemoryKiB());
    return 0;
}

// Runs a program to its end and returns what it printed; started is when it was started.
// With a platform, the program runs on that Qt platform.
QByteArray runChild(const QString &program, const QStringList &arguments, qint64 &started,
                    const QString &platform = QString())
{
    QProcess process;
    if (!platform.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        process.setProcessEnvironment(environment);
    }
    // Qt's warnings (the offscreen platform has a few) only matter when something failed.
    process.setProcessChannelMode(QProcess::SeparateChannels);
    started = FirstFrameProbe::Now();
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        fail(QStringLiteral("%1 %2 didn't finish").arg(program, arguments.join(u' ')));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fputs(process.readAllStandardError().constData(), stderr);
        fail(QStringLiteral("%1 %2 failed").arg(program, arguments.join(u' ')));
    }
    return process.readAllStandardOutput();
}

// The value of key=VALUE in line.
qint64 valueOf(const QByteArray &line, const QByteArray &key)
{
    for (const QByteArray &pair : line.trimmed().split(' ')) {
        if (pair.startsWith(key + '='))
            return pair.mid(key.size() + 1).toLongLong();
    }
    fail(
        QStringLiteral("no %1 in \"%2\"").arg(QString::fromLatin1(key), QString::fromLatin1(line)));
}

// What the start-ups of one kind on one platform measured, each time from process start.
struct StartUp
{
    QList<qint64> entered, application, constructed, shown, frame, peak, resident, settled;
};

// The program and the bare window, each started runs times on platform in turns, then
// settleRuns times more to see their resident size two seconds after start.
std::pair<StartUp, StartUp> measureStartUps(const QString &platform, int runs, int settleRuns)
{
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString programStartUp = bin.filePath(QStringLiteral("vistameter-startup"));
    const QString bareStartUp = bin.filePath(QStringLiteral("bare-window-startup"));
    std::fprintf(stderr,
                 "start-up on %s: %d runs of each, after one to warm the caches, "
                 "and %d that last two seconds\n",
                 qPrintable(platform), runs, settleRuns);
    const QStringList settle{QStringLiteral("--settle"), QStringLiteral("2000")};
    const QList<std::pair<QString, QStringList>> kinds{
        {programStartUp, {}}, {bareStartUp, {QStringLiteral("--chinese")}}};
    std::array<StartUp, 2> measured;
    // The kinds take turns, each round starting with the next one, so that a slow spell of
    // the machine falls on both alike.
    for (int round = 0; round <= runs + settleRuns; ++round) {
        const bool settling = round > runs;
        for (int turn = 0; turn < 2; ++turn) {
            const int kind = (round + turn) % 2;
            qint64 started = 0;
            const QByteArray line = runChild(
                kinds[kind].first, kinds[kind].second + (settling ? settle : QStringList()),
                started, platform);
            StartUp &into = measured.at(std::size_t(kind));
            if (settling) {
                into.settled << valueOf(line, "settled_rss_kib");
            } else if (round > 0) {
                into.entered << valueOf(line, "entered") - started;
                into.application << valueOf(line, "application") - started;
                into.constructed << valueOf(line, "constructed") - started;
                into.shown << valueOf(line, "shown") - started;
                into.frame << valueOf(line, "frame") - started;
                into.peak << valueOf(line, "peak_kib");
                into.resident << valueOf(line, "rss_kib");
            }
        }
    }
    return {measured[0], measured[1]};
}

QString ms(qint64 ns)
{
    const double milliseconds = double(ns) / 1e6;
    return QString::number(milliseconds, 'f', milliseconds < 10 ? 2 : 1) + QStringLiteral(" ms");
}

QString mib(qint64 kib)
{
    return QString::number(double(kib) / 1024, 'f', 1) + QStringLiteral(" MiB");
}

QString ratio(qint64 measured, qint64 baseline)
{
    return QString::number(double(measured) / double(baseline), 'f', 2) + QStringLiteral("×");
}

// A table row: measured against baseline, both written in unit, and their ratio.
void compare(const QString &what, qint64 measured, qint64 baseline, const QString &baselineName,
             QString (*unit)(qint64), const QString &target)
{
    std::printf("| %s | %s | %s (%s) | %s | %s |\n", qPrintable(what), qPrintable(unit(measured)),
                qPrintable(unit(baseline)), qPrintable(baselineName),
                qPrintable(ratio(measured, baseline)), qPrintable(target));
}

int drive(int runs, int settleRuns, int lookups)
{
    const QString self = QCoreApplication::applicationFilePath();
    // Xvfb, when there is an X display: scripts/bench starts the driver under xvfb-run.
    QStringList platforms{QStringLiteral("offscreen")};
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        platforms << QStringLiteral("xcb");
    QList<std::pair<StartUp, StartUp>> startUps;
    for (const QString &platform : std::as_const(platforms))
        startUps << measureStartUps(platform, runs, settleRuns);

    // The service answers from this process, so that the processes measured map nothing for
    // it: the program's first lookup loads Qt Network with the transfer library.
    std::fprintf(stderr, "first lookup: %d fresh processes of each kind\n", runs);
    ServiceThread service;
    if (service.host().isEmpty())
        fail(QStringLiteral("the demo service couldn't listen"));
    const auto [total, today] = captionsFor(Accounts.first());
    const QStringList programLookup{service.host(), Accounts.first(), total, today};
    const QString firstLookupProgram = QDir(QCoreApplication::applicationDirPath())
                                           .filePath(QStringLiteral("vistameter-first-lookup"));
    const QList<std::pair<QString, QStringList>> firstKinds{
        {firstLookupProgram, programLookup},
        {firstLookupProgram, programLookup + QStringList{QStringLiteral("--preloaded")}},
        {self, {QStringLiteral("--first-lookup"), service.host()}}};
    std::array<QList<qint64>, 3> first;
    for (int round = 0; round < runs; ++round) {
        for (std::size_t turn = 0; turn < first.size(); ++turn) {
            const std::size_t kind = (std::size_t(round) + turn) % first.size();
            qint64 started = 0;
            const QByteArray line = runChild(firstKinds[qsizetype(kind)].first,
                                             firstKinds[qsizetype(kind)].second, started);
            first.at(kind) << valueOf(line, "ns");
        }
    }

    std::fprintf(stderr, "warm lookups: %d of each in one process\n", lookups);
    qint64 started = 0;
    const QByteArray warm =
        runChild(self, {QStringLiteral("--warm"), QString::number(lookups)}, started);

    std::printf("| Measure | Vistameter | Baseline | Ratio | Target |\n");
    std::printf("| --- | --- | --- | --- | --- |\n");
    const QString bareWindow = QStringLiteral("bare window, Chinese label");
    const QString plainRequest = QStringLiteral("plain GET");
    const QString none = QStringLiteral("—");
    for (qsizetype i = 0; i < platforms.size(); ++i) {
        const auto &[program, bare] = startUps[i];
        const QString on = platforms[i] == QLatin1String("xcb") ? QStringLiteral("Xvfb")
                                                                : QStringLiteral("offscreen");
        compare(QStringLiteral("Start-up to first frame, %1 (median of %2)").arg(on).arg(runs),
                median(program.frame), median(bare.frame), bareWindow, ms,
                QStringLiteral("≤ 1.15×"));
        compare(QStringLiteral("Resident memory at first frame, %1").arg(on),
                median(program.resident), median(bare.resident), bareWindow, mib, none);
        compare(QStringLiteral("Peak memory (VmHWM) at first frame, %1").arg(on),
                median(program.peak), median(bare.peak), bareWindow, mib, none);
        compare(QStringLiteral("Resident memory 2 s after start, %1 (median of %2)")
                    .arg(on)
                    .arg(settleRuns),
                median(program.settled), median(bare.settled), bareWindow, mib,
                QStringLiteral("≤ 1.2×"));
    }
    compare(QStringLiteral("First lookup, click to counters (median of %1)").arg(runs),
            median(first[0]), median(first[2]), plainRequest, ms, none);
    compare(QStringLiteral("First lookup, transfer library loaded before the click"),
            median(first[1]), median(first[2]), plainRequest, ms, none);
    compare(QStringLiteral("Warm lookup, click to counters (median of %1)").arg(lookups),
            valueOf(warm, "program"), valueOf(warm, "plain"), plainRequest, ms,
            QStringLiteral("≤ 1.5×"));
    // The program opens a connection for every lookup; so does this baseline.
    compare(QStringLiteral("Warm lookup, against a GET on a new connection"),
            valueOf(warm, "program"), valueOf(warm, "fresh"),
            QStringLiteral("plain GET, new connection"), ms, none);

    for (qsizetype i = 0; i < platforms.size(); ++i) {
        const StartUp &program = startUps[i].first;
        const StartUp &bare = startUps[i].second;
        std::printf("\nStart-up stages on %s, median time from process start "
                    "(Vistameter / bare window):\n",
                    qPrintable(platforms[i]));
        const auto stage = [&](const char *name, QList<qint64> StartUp::*times) {
            std::printf("  %-26s %s / %s\n", name, qPrintable(ms(median(program.*times))),
                        qPrintable(ms(median(bare.*times))));
        };
        stage("main() entered", &StartUp::entered);
        stage("application object ready", &StartUp::application);
        stage("window constructed", &StartUp::constructed);
        stage("loaded (skin) and shown", &StartUp::shown);
        stage("first frame", &StartUp::frame);
    }
    std::printf("Peak memory after the warm lookups: %s\n",
                qPrintable(mib(valueOf(warm, "peak_kib"))));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistameter"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures Vistameter's start-up, lookup and memory against baselines."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"),
                                        QStringLiteral("Processes of each kind (default 21)."),
                                        QStringLiteral("N"), QStringLiteral("21"));
    const QCommandLineOption settleOption(
        QStringLiteral("settle-runs"),
        QStringLiteral("Start-ups of each kind that last two seconds (default 5)."),
        QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption lookupsOption(
        QStringLiteral("lookups"), QStringLiteral("Warm lookups of each kind (default 200)."),
        QStringLiteral("N"), QStringLiteral("200"));
    const QCommandLineOption firstOption(QStringLiteral("first-lookup"),
                                         QStringLiteral("Internal: one first plain GET."),
                                         QStringLiteral("HOST"));
    const QCommandLineOption warmOption(QStringLiteral("warm"),
                                        QStringLiteral("Internal: N warm lookups of each kind."),
                                        QStringLiteral("N"));
    parser.addOptions({runsOption, settleOption, lookupsOption, firstOption, warmOption});
    parser.process(app);

    if (parser.isSet(firstOption))
        return firstPlainGet(parser.value(firstOption));
    if (parser.isSet(warmOption))
        return warmLookups(std::max(1, parser.value(warmOption).toInt()));
    return drive(std::max(1, parser.value(runsOption).toInt()),
                 std::max(1, parser.value(settleOption).toInt()),
                 std::max(1, parser.value(lookupsOption).toInt()));
}
