// SPDX-License-Identifier: MIT
#pragma once

// The figures that the measured programs report to the benchmark driver, and the driver's
// reading of them.
//
// A measured program writes one line to stdout for each figure, and nothing else:
//   name=value unit
// for example "frame=81234567890123 ns" or "resident_memory=30512 KiB". The name is made of
// lower-case ASCII letters, digits and underscores; the value is a decimal count, never
// negative; the unit is "ns" or "KiB". A time named for a moment ("entered", "frame") is a
// reading of steadyNanoseconds(), the clock the driver reads just before it starts the
// process, so that the driver can tell the time from process start; any other time is a
// duration. A figure the program can't measure (the system doesn't say its memory) is left
// out. A program that can't measure at all says why on stderr and exits with 1
// (failMeasurement), and the driver stops with what it said.
//
// The driver reads a program's output as follows:
// - a line that is not of this form stops the run: something wrote to stdout that isn't a
//   figure, and it may have broken a figure's line;
// - a name that comes twice stops the run: it can't tell which one is meant;
// - a name that it doesn't ask for is passed over, so that a program may report more than
//   the table shows;
// - a figure that it asks for and doesn't find, or finds in another unit, stops the run,
//   naming the program and the figure.
// Empty lines are passed over.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The units a figure is given in.
enum class FigureUnit {
    Nanoseconds, // "ns"
    KiB,         // "KiB", 1024 bytes
};

// How unit is written in a figure's line.
const char *figureUnitName(FigureUnit unit);

// Writes the line of one figure to stdout; nothing when value is empty.
void printFigure(const char *name, std::optional<qint64> value, FigureUnit unit);

// Says on stderr why the program couldn't measure, and exits with 1.
[[noreturn]] void failMeasurement(const QString &why);

// Steady-clock time in nanoseconds, comparable between processes on one machine.
qint64 steadyNanoseconds();
// The process's peak resident memory (VmHWM) or its resident memory now (VmRSS), in KiB;
// empty where the system doesn't say.
std::optional<qint64> peakMemoryKiB();
std::optional<qint64> residentMemoryKiB();

// The middle value of values, or the mean of the two middle ones; values must not be empty.
qint64 median(QList<qint64> values);

// The figures in one program's output, read as described above.
class FigureReport
{
public:
    // Reads output; error() then says what was wrong with it.
    explicit FigureReport(const QByteArray &output);

    // Why the output is no report, or empty when it is one.
    QString error() const { return m_error; }
    // The value of the figure name in unit; empty when the report has no such figure, or has
    // it in another unit.
    std::optional<qint64> value(const QByteArray &name, FigureUnit unit) const;

private:
    struct Figure
    {
        qint64 value = 0;
        FigureUnit unit = FigureUnit::Nanoseconds;
    };

    QHash<QByteArray, Figure> m_figures;
    QString m_error;
};
