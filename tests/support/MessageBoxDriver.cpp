// SPDX-License-Identifier: MIT
#include "MessageBoxDriver.h"

#include "runtime/MsgBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

using namespace Runtime;

namespace {

int styleOf(const QMessageBox &box)
{
    int style = box.button(QMessageBox::Yes) ? vbYesNo : vbOKOnly;
    switch (box.icon()) {
    case QMessageBox::Critical:
        return style + vbCritical;
    case QMessageBox::Question:
        return style + vbQuestion;
    case QMessageBox::Warning:
        return style + vbExclamation;
    case QMessageBox::Information:
        return style + vbInformation;
    default:
        return style;
    }
}

QMessageBox::StandardButton buttonFor(int answer)
{
    switch (answer) {
    case vbYes:
        return QMessageBox::Yes;
    case vbNo:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

} // namespace

MessageBoxDriver::MessageBoxDriver(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool MessageBoxDriver::eventFilter(QObject *watched, QEvent *event)
{
    // Shown, the box is not yet laid out nor placed, and an answer given now would come before
    // its event loop starts and leave that loop running: both wait for the loop.
    if (event->type() == QEvent::Show) {
        if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            QMetaObject::invokeMethod(
                this,
                [this, box = QPointer<QMessageBox>(box)] {
                    if (box && box->isVisible())
                        handle(*box);
                },
                Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void MessageBoxDriver::handle(QMessageBox &box)
{
    Box seen;
    seen.text = box.text();
    seen.title = box.windowTitle();
    seen.style = styleOf(box);
    seen.plainText = box.textFormat() == Qt::PlainText;
    for (const QAbstractButton *button : box.buttons()) {
        seen.buttons << button->text();
        // The one that Enter presses, whether chosen or the box's first.
        if (qobject_cast<const QPushButton *>(button)->isDefault())
            seen.defaultButton = button->text();
    }
    seen.flags = box.windowFlags();
    seen.frame = box.frameGeometry();
    seen.screen = box.screen()->availableGeometry();
    boxes.append(seen);

    QAbstractButton *button =
        m_answers.isEmpty() ? nullptr : box.button(buttonFor(m_answers.takeFirst()));
    if (button) {
        button->click();
    } else {
        ++unanswered;
        box.reject();
    }
}
