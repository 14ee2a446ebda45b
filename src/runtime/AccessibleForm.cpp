// SPDX-License-Identifier: MIT
#include "AccessibleForm.h"

#include "Accessibility.h"

#include <QWidget>

namespace Runtime {

// A window, so that a screen reader announces it as one when it gets the focus: a frame, to
// AT-SPI.
AccessibleForm::AccessibleForm(QWidget *form) : QAccessibleWidget(form, QAccessible::Window) {}

int AccessibleForm::childCount() const
{
    return int(announcedControls().size());
}

QAccessibleInterface *AccessibleForm::child(int index) const
{
    const QList<QWidget *> controls = announcedControls();
    return index >= 0 && index < controls.size()
               ? QAccessible::queryAccessibleInterface(controls.at(index))
               : nullptr;
}

int AccessibleForm::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    return int(announcedControls().indexOf(qobject_cast<QWidget *>(child->object())));
}

QList<QWidget *> AccessibleForm::announcedControls() const
{
    // Windows of their own, message boxes among them, are announced as windows.
    QList<QWidget *> controls;
    for (QObject *object : widget()->children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (control && !control->isWindow() && !isHiddenFromScreenReaders(control))
            controls << control;
    }
    return controls;
}

} // namespace Runtime
