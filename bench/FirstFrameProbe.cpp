// SPDX-License-Identifier: MIT
#include "FirstFrameProbe.h"

#include "Figures.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

FirstFrameProbe::FirstFrameProbe(qint64 entered, QObject *parent)
    : QObject(parent), m_entered(entered), m_application(steadyNanoseconds())
{
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype settle = arguments.indexOf(QStringLiteral("--settle"));
    if (settle >= 0)
        m_settleMs = arguments.value(settle + 1).toInt();
}

void FirstFrameProbe::watch(QWidget *window)
{
    m_constructed = steadyNanoseconds();
    m_window = window;
    window->installEventFilter(this);
}

bool FirstFrameProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && m_shown == 0)
            m_shown = steadyNanoseconds();
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
    m_frame = steadyNanoseconds();
    m_peak = peakMemoryKiB();
    m_resident = residentMemoryKiB();
    if (m_settleMs < 0) {
        report();
        return;
    }
    const qint64 left = (m_entered - steadyNanoseconds()) / 1000000 + m_settleMs;
    QTimer::singleShot(int(qMax(qint64(0), left)), this, [this] {
        m_settledResident = residentMemoryKiB();
        report();
    });
}

void FirstFrameProbe::report()
{
    printFigure("entered", m_entered, FigureUnit::Nanoseconds);
    printFigure("application", m_application, FigureUnit::Nanoseconds);
    printFigure("constructed", m_constructed, FigureUnit::Nanoseconds);
    printFigure("shown", m_shown, FigureUnit::Nanoseconds);
    printFigure("frame", m_frame, FigureUnit::Nanoseconds);
    printFigure("peak_memory", m_peak, FigureUnit::KiB);
    printFigure("resident_memory", m_resident, FigureUnit::KiB);
    printFigure("settled_resident_memory", m_settledResident, FigureUnit::KiB);
    QCoreApplication::exit(0);
}
