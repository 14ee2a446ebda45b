// SPDX-License-Identifier: MIT
#include "Figures.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

std::optional<FigureUnit> unitOf(const QByteArray &text)
{
    for (FigureUnit unit : {FigureUnit::Nanoseconds, FigureUnit::KiB}) {
        if (text == figureUnitName(unit))
            return unit;
    }
    return std::nullopt;
}

bool isName(const QByteArray &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// A count written in decimal digits alone, within qint64.
std::optional<qint64> countOf(const QByteArray &text)
{
    if (text.isEmpty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 count = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(count) : std::nullopt;
}

// A field of /proc/self/status in KiB.
std::optional<qint64> statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field))
            return countOf(line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first());
    }
    return std::nullopt;
}

} // namespace

const char *figureUnitName(FigureUnit unit)
{
    return unit == FigureUnit::KiB ? "KiB" : "ns";
}

void printFigure(const char *name, std::optional<qint64> value, FigureUnit unit)
{
    if (!value)
        return;
    std::printf("%s=%lld %s\n", name, static_cast<long long>(*value), figureUnitName(unit));
    std::fflush(stdout);
}

void failMeasurement(const QString &why)
{
    std::fprintf(stderr, "%s: %s\n",
                 qPrintable(QFileInfo(QCoreApplication::applicationFilePath()).fileName()),
                 qPrintable(why));
    std::exit(1);
}

qint64 steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::optional<qint64> peakMemoryKiB()
{
    return statusKiB("VmHWM:");
}

std::optional<qint64> residentMemoryKiB()
{
    return statusKiB("VmRSS:");
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

FigureReport::FigureReport(const QByteArray &output)
{
    for (const QByteArray &line : output.split('\n')) {
        if (line.isEmpty())
            continue;
        const qsizetype equals = line.indexOf('=');
        const QByteArray name = line.left(std::max(equals, qsizetype(0)));
        const QList<QByteArray> valueAndUnit = line.mid(equals + 1).split(' ');
        const std::optional<qint64> value = countOf(valueAndUnit.first());
        const std::optional<FigureUnit> unit =
            valueAndUnit.size() == 2 ? unitOf(valueAndUnit.last()) : std::nullopt;
        if (equals < 0 || !isName(name) || !value || !unit)
            m_error = QStringLiteral("not a figure: \"%1\"").arg(QString::fromUtf8(line));
        else if (m_figures.contains(name))
            m_error = QStringLiteral("%1 comes twice").arg(QString::fromUtf8(name));
        else
            m_figures.insert(name, {*value, *unit});
        if (!m_error.isEmpty()) {
            m_figures.clear();
            return;
        }
    }
}

std::optional<qint64> FigureReport::value(const QByteArray &name, FigureUnit unit) const
{
    const auto figure = m_figures.constFind(name);
    if (figure == m_figures.constEnd() || figure->unit != unit)
        return std::nullopt;
    return figure->value;
}
