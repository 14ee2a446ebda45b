// SPDX-License-Identifier: MIT
// The benchmark driver: starts the programs that measure Vistameter's start-up, lookups and
// memory and their baselines, reads the figures they report (Figures.h) and prints them as a
// table, each beside its baseline measured in the same run. It judges nothing: the targets
// are in docs/PERFORMANCE.md.
//   vistameter-bench [--runs N] [--settle-runs N] [--lookups N]

#include "DemoLookups.h"
#include "Figures.h"
#include "ServiceThread.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace {

// What one measured program reported, and when the driver started it.
struct Run
{
    QString program;
    FigureReport figures;
    qint64 started = 0;
};

// The measured program called name, which lies beside the driver.
QString beside(const QString &name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

// Runs program to its end and reads what it reported; with a platform, on that Qt platform.
Run run(const QString &program, const QStringList &arguments, const QString &platform = QString())
{
    QProcess process;
    if (!platform.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        process.setProcessEnvironment(environment);
    }
    const QString command = QFileInfo(program).fileName() + u' ' + arguments.join(u' ');
    // Qt's warnings (the offscreen platform has a few) only matter when something failed.
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const qint64 started = steadyNanoseconds();
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        failMeasurement(QStringLiteral("%1 didn't finish").arg(command));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fputs(process.readAllStandardError().constData(), stderr);
        failMeasurement(QStringLiteral("%1 failed").arg(command));
    }
    Run done{command, FigureReport(process.readAllStandardOutput()), started};
    if (!done.figures.error().isEmpty())
        failMeasurement(QStringLiteral("%1: %2").arg(command, done.figures.error()));
    return done;
}

// The figure name that run reported in unit; the driver stops when it is missing.
qint64 figure(const Run &run, const char *name, FigureUnit unit)
{
    const std::optional<qint64> value = run.figures.value(name, unit);
    if (!value) {
        failMeasurement(
            QStringLiteral("%1 reported no %2 in %3")
                .arg(run.program, QLatin1String(name), QLatin1String(figureUnitName(unit))));
    }
    return *value;
}

// The moment name that run reported, in nanoseconds from the start of its process.
qint64 sinceStart(const Run &run, const char *name)
{
    return figure(run, name, FigureUnit::Nanoseconds) - run.started;
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
    std::fprintf(stderr,
                 "start-up on %s: %d runs of each, after one to warm the caches, "
                 "and %d that last two seconds\n",
                 qPrintable(platform), runs, settleRuns);
    const QStringList settle{QStringLiteral("--settle"), QStringLiteral("2000")};
    const QList<std::pair<QString, QStringList>> kinds{
        {beside(QStringLiteral("vistameter-startup")), {}},
        {beside(QStringLiteral("bare-window-startup")), {QStringLiteral("--chinese")}}};
    std::array<StartUp, 2> measured;
    // The kinds take turns, each round starting with the next one, so that a slow spell of
    // the machine falls on both alike.
    for (int round = 0; round <= runs + settleRuns; ++round) {
        const bool settling = round > runs;
        for (int turn = 0; turn < 2; ++turn) {
            const int kind = (round + turn) % 2;
            const Run started =
                run(kinds[kind].first, kinds[kind].second + (settling ? settle : QStringList()),
                    platform);
            StartUp &into = measured.at(std::size_t(kind));
            if (settling) {
                into.settled << figure(started, "settled_resident_memory", FigureUnit::KiB);
            } else if (round > 0) {
                into.entered << sinceStart(started, "entered");
                into.application << sinceStart(started, "application");
                into.constructed << sinceStart(started, "constructed");
                into.shown << sinceStart(started, "shown");
                into.frame << sinceStart(started, "frame");
                into.peak << figure(started, "peak_memory", FigureUnit::KiB);
                into.resident << figure(started, "resident_memory", FigureUnit::KiB);
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

// A table row: measured against baseline, both written in unit, and their ratio.
void compare(const QString &what, qint64 measured, qint64 baseline, const QString &baselineName,
             QString (*unit)(qint64))
{
    std::printf("| %s | %s | %s (%s) | %.2f× |\n", qPrintable(what), qPrintable(unit(measured)),
                qPrintable(unit(baseline)), qPrintable(baselineName),
                double(measured) / double(baseline));
}

int drive(int runs, int settleRuns, int lookups)
{
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
        failMeasurement(QStringLiteral("the demo service couldn't listen"));
    const QString &account = lookupAccounts().first();
    const auto [total, today] = expectedCaptions(account);
    const QStringList programLookup{service.host(), account, total, today};
    const QList<std::pair<QString, QStringList>> firstKinds{
        {beside(QStringLiteral("vistameter-first-lookup")), programLookup},
        {beside(QStringLiteral("vistameter-first-lookup")),
         programLookup + QStringList{QStringLiteral("--preloaded")}},
        {beside(QStringLiteral("plain-get-first-lookup")), {service.host(), account}}};
    std::array<QList<qint64>, 3> first;
    for (int round = 0; round < runs; ++round) {
        for (std::size_t turn = 0; turn < first.size(); ++turn) {
            const std::size_t kind = (std::size_t(round) + turn) % first.size();
            const auto &[program, arguments] = firstKinds[qsizetype(kind)];
            first.at(kind) << figure(run(program, arguments), "lookup", FigureUnit::Nanoseconds);
        }
    }

    std::fprintf(stderr, "warm lookups: %d of each in one process\n", lookups);
    const Run warm =
        run(beside(QStringLiteral("vistameter-warm-lookups")), {QString::number(lookups)});
    const qint64 warmProgram = figure(warm, "program_lookup", FigureUnit::Nanoseconds);

    std::printf("| Measure | Vistameter | Baseline | Ratio |\n");
    std::printf("| --- | --- | --- | --- |\n");
    const QString bareWindow = QStringLiteral("bare window, Chinese label");
    const QString plainRequest = QStringLiteral("plain GET");
    for (qsizetype i = 0; i < platforms.size(); ++i) {
        const auto &[program, bare] = startUps[i];
        const QString on = platforms[i] == QLatin1String("xcb") ? QStringLiteral("Xvfb")
                                                                : QStringLiteral("offscreen");
        compare(QStringLiteral("Start-up to first frame, %1 (median of %2)").arg(on).arg(runs),
                median(program.frame), median(bare.frame), bareWindow, ms);
        compare(QStringLiteral("Resident memory at first frame, %1").arg(on),
                median(program.resident), median(bare.resident), bareWindow, mib);
        compare(QStringLiteral("Peak memory (VmHWM) at first frame, %1").arg(on),
                median(program.peak), median(bare.peak), bareWindow, mib);
        compare(QStringLiteral("Resident memory 2 s after start, %1 (median of %2)")
                    .arg(on)
                    .arg(settleRuns),
                median(program.settled), median(bare.settled), bareWindow, mib);
    }
    compare(QStringLiteral("First lookup, click to counters (median of %1)").arg(runs),
            median(first[0]), median(first[2]), plainRequest, ms);
    compare(QStringLiteral("First lookup, transfer library loaded before the click"),
            median(first[1]), median(first[2]), plainRequest, ms);
    compare(QStringLiteral("Warm lookup, click to counters (median of %1)").arg(lookups),
            warmProgram, figure(warm, "plain_get", FigureUnit::Nanoseconds), plainRequest, ms);
    // The program opens a connection for every lookup; so does this baseline.
    compare(QStringLiteral("Warm lookup, against a GET on a new connection"), warmProgram,
            figure(warm, "plain_get_new_connection", FigureUnit::Nanoseconds),
            QStringLiteral("plain GET, new connection"), ms);

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
                qPrintable(mib(figure(warm, "peak_memory", FigureUnit::KiB))));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

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
    parser.addOptions({runsOption, settleOption, lookupsOption});
    parser.process(app);

    return drive(std::max(1, parser.value(runsOption).toInt()),
                 std::max(1, parser.value(settleOption).toInt()),
                 std::max(1, parser.value(lookupsOption).toInt()));
}
