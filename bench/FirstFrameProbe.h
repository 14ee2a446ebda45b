// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QtGlobal>

#include <optional>

class QWidget;

// Watches a window from its construction to its first frame, then reports the time each stage
// ended and the memory the process holds, in the figure lines of Figures.h, and ends the event
// loop:
//   entered, application, constructed, shown, frame (ns, steady-clock readings);
//   peak_memory, resident_memory (KiB).
// Given --settle MS on the command line, it goes on until MS milliseconds after main() was
// entered and reports the resident size then as well: settled_resident_memory (KiB).
class FirstFrameProbe : public QObject
{
    Q_OBJECT

public:
    // Notes the time the application object was ready; entered is when main() was.
    explicit FirstFrameProbe(qint64 entered, QObject *parent = nullptr);

    // Notes the time window was constructed and watches it from now on.
    void watch(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Takes the first frame's readings once its painting has been flushed.
    void frameDone();
    // Prints the readings and ends the event loop.
    void report();

    QWidget *m_window = nullptr;
    qint64 m_entered = 0;
    qint64 m_application = 0;
    qint64 m_constructed = 0;
    qint64 m_shown = 0;
    qint64 m_frame = 0;
    std::optional<qint64> m_peak;
    std::optional<qint64> m_resident;
    std::optional<qint64> m_settledResident;
    int m_settleMs = -1;
    bool m_painted = false;
};
