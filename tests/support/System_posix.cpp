// SPDX-License-Identifier: MIT
#include "System.h"

#include <QByteArray>
#include <QFile>

#include <sys/socket.h>
#include <sys/stat.h>

namespace {

// A size from /proc/self/status in bytes: VmRSS, the resident size now, or VmHWM, its peak.
std::optional<qint64> statusBytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':')) {
            bool ok = false;
            const qint64 kib =
                line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? std::optional<qint64>(kib * 1024) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

namespace TestSystem {

QString wineVersion()
{
    return QString();
}

void resetOnClose(qintptr descriptor)
{
    const linger reset{1, 0};
    ::setsockopt(int(descriptor), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
}

QString makeFifo(const QString &path)
{
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
        return QString();
    return QStringLiteral("mkfifo %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
}

QString makeEndlessDevice(const QString &path)
{
    if (QFile::link(QStringLiteral("/dev/zero"), path))
        return QString();
    return QStringLiteral("no link %1 to /dev/zero").arg(path);
}

std::optional<qint64> residentBytes()
{
    return statusBytes("VmRSS");
}

std::optional<qint64> peakResidentBytes()
{
    return statusBytes("VmHWM");
}

bool restartPeak()
{
    // Linux starts VmHWM again from the resident size now.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

} // namespace TestSystem
