// SPDX-License-Identifier: MIT
#include "FirstFrameProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {

// A field of /proc/self/status in KiB, or -1.
qint64 statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

} // namespace

FirstFrameProbe::FirstFrameProbe(qint64 entered, QObject *parent)
    : QObject(parent), m_entered(entered), m_application(Now())
{
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype settle = arguments.indexOf(QStringLiteral("--settle"));
    if (settle >= 0)
        m_settleMs = arguments.value(settle + 1).toInt();
}

void FirstFrameProbe::watch(QWidget *window)
{
    m_constructed = Now();
    m_window = window;
    window->installEventFilter(this);
}

qint64 FirstFrameProbe::Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 FirstFrameProbe::PeakMemoryKiB()
{
    return statusKiB("VmHWM:");
}

qint64 FirstFrameProbe::ResidentMemoryKiB()
{
    return statusKiB("VmRSS:");
}

bool FirstFrameProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && m_shown == 0)
            m_shown = Now();
        // The paint event comes before the window's contents reach the screen: the frame is
        // done when the painting that it started has been flushed, which is when the event
        // loop next gets to run.
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, this, &FirstFrameProbe::frameDone);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FirstFrameProbe::frameDone()
{
    const qint64 frame = Now();
    m_line = QStringLiteral("entered=%1 application=%2 constructed=%3 shown=%4 frame=%5 "
                            "peak_kib=%6 rss_kib=%7")
                 .arg(m_entered)
                 .arg(m_application)
                 .arg(m_constructed)
                 .arg(m_shown)
                 .arg(frame)
                 .arg(PeakMemoryKiB())
                 .arg(ResidentMemoryKiB());
    if (m_settleMs < 0) {
        report();
        return;
    }
    const qint64 left = (m_entered - Now()) / 1000000 + m_settleMs;
    QTimer::singleShot(int(qMax(qint64(0), left)), this, [this] {
        m_line += QStringLiteral(" settled_rss_kib=%1").arg(ResidentMemoryKiB());
        report();
    });
}

void FirstFrameProbe::report()
{
    std::printf("%s\n", qPrintable(m_line));
    std::fflush(stdout);
    QCoreApplication::exit(0);
}
