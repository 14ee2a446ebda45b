// SPDX-License-Identifier: MIT
#include "FirstFrameProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

FirstFrameProbe::FirstFrameProbe(QObject *parent) : QObject(parent), m_application(Now()) {}

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
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
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
            QTimer::singleShot(0, this, &FirstFrameProbe::report);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FirstFrameProbe::report()
{
    const qint64 frame = Now();
    std::printf("application=%lld constructed=%lld shown=%lld frame=%lld peak_kib=%lld\n",
                m_application, m_constructed, m_shown, frame, PeakMemoryKiB());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}
