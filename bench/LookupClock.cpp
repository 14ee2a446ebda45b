// SPDX-License-Identifier: MIT
#include "LookupClock.h"

#include "Figures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

LookupClock::LookupClock(QWidget *form, QObject *parent)
    : QObject(parent), m_form(form),
      m_account(form->findChild<QLineEdit *>(QStringLiteral("Text1"))),
      m_button(form->findChild<QPushButton *>(QStringLiteral("Command1"))),
      m_total(form->findChild<QLabel *>(QStringLiteral("Label7"))),
      m_today(form->findChild<QLabel *>(QStringLiteral("Label9")))
{
    qApp->installEventFilter(this);
}

qint64 LookupClock::time(const QString &account, const QString &total, const QString &today)
{
    m_account->setText(account);
    m_expectedTotal = total;
    m_expectedToday = today;
    m_written = -1;
    const qint64 start = steadyNanoseconds();
    // The whole lookup, boxes included, runs within the click.
    m_button->click();
    return m_written < 0 ? -1 : m_written - start;
}

bool LookupClock::eventFilter(QObject *watched, QEvent *event)
{
    // A message box is created as a child of the form. The counters are compared as well, so
    // that nothing else created during the lookup stops the clock early.
    if (event->type() == QEvent::ChildAdded && watched == m_form && m_written < 0 &&
        m_total->text() == m_expectedTotal && m_today->text() == m_expectedToday)
        m_written = steadyNanoseconds();

    if (event->type() == QEvent::Show) {
        if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            QMetaObject::invokeMethod(
                box,
                [box] {
                    if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                        ok->click();
                    else
                        box->reject();
                },
                Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}
