// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

class QWidget;

// Watches a window from its construction to its first frame, then prints one line with the
// times each stage ended and the memory the process holds, and ends the event loop:
//   entered=NS application=NS constructed=NS shown=NS frame=NS peak_kib=KIB rss_kib=KIB
// Times are steady-clock nanoseconds, the clock that the benchmark driver reads before it
// starts the process, so that the driver can tell the time from process start. Given
// --settle MS on the command line, it goes on until MS milliseconds after main() was entered
// and adds the resident size then: settled_rss_kib=KIB.
class FirstFrameProbe : public QObject
{
    Q_OBJECT

public:
    // Notes the time the application object was ready; entered is when main() was.
    explicit FirstFrameProbe(qint64 entered, QObject *parent = nullptr);

    // Notes the time window was constructed and watches it from now on.
    void watch(QWidget *window);

    // Steady-clock time in nanoseconds, comparable between processes on one machine.
    static qint64 Now();
    // The process's peak resident memory (VmHWM), or its resident memory now (VmRSS), in KiB;
    // -1 where the system doesn't say.
    static qint64 PeakMemoryKiB();
    static qint64 ResidentMemoryKiB();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void frameDone();
    void report();

    QWidget *m_window = nullptr;
    QString m_line;
    qint64 m_entered = 0;
    qint64 m_application = 0;
    qint64 m_constructed = 0;
    qint64 m_shown = 0;
    int m_settleMs = -1;
    bool m_painted = false;
};
