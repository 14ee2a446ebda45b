// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QtGlobal>

class QWidget;

// Watches a window from its construction to its first frame, then prints one line with the
// times each stage ended and the peak memory so far, and ends the event loop:
//   application=NS constructed=NS shown=NS frame=NS peak_kib=KIB
// Times are steady-clock nanoseconds, the clock that the benchmark driver reads before it
// starts the process, so that the driver can tell the time from process start.
class FirstFrameProbe : public QObject
{
    Q_OBJECT

public:
    // Notes the time the application object was ready.
    explicit FirstFrameProbe(QObject *parent = nullptr);

    // Notes the time window was constructed and watches it from now on.
    void watch(QWidget *window);

    // Steady-clock time in nanoseconds, comparable between processes on one machine.
    static qint64 Now();
    // The process's peak resident memory (VmHWM) in KiB, or -1 where the system doesn't say.
    static qint64 PeakMemoryKiB();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void report();

    QWidget *m_window = nullptr;
    qint64 m_application = 0;
    qint64 m_constructed = 0;
    qint64 m_shown = 0;
    bool m_painted = false;
};
