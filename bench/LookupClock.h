// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

// Times a lookup in the program's window as the user sees it: from the click to both counters
// written. The lookup's message boxes come after the counters, so the clock stops when the
// first of them is created, and every box is then answered with OK so that the click can
// return.
class LookupClock : public QObject
{
    Q_OBJECT

public:
    explicit LookupClock(QWidget *form, QObject *parent = nullptr);

    // Whether the window has the controls a lookup needs.
    bool isComplete() const { return m_account && m_button && m_total && m_today; }

    // Types account, clicks the lookup button and returns the nanoseconds until the counters
    // read total and today, or -1 when the lookup ended without writing them.
    qint64 time(const QString &account, const QString &total, const QString &today);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_form;
    QLineEdit *m_account;
    QAbstractButton *m_button;
    QLabel *m_total;
    QLabel *m_today;
    QString m_expectedTotal;
    QString m_expectedToday;
    qint64 m_written = -1;
};
