// SPDX-License-Identifier: MIT
#include "Accessibility.h"

#include "AccessibleForm.h"
#include "AccessibleLabel.h"
#include "Form.h"
#include "Label.h"

#include <QAccessible>
#include <QVariant>

namespace Runtime {

namespace {

const char *const HiddenProperty = "hiddenFromScreenReaders";

// Screen readers see forms and labels through the runtime's own interfaces.
QAccessibleInterface *accessibleControl(const QString &className, QObject *object)
{
    if (className == QLatin1String(Form::staticMetaObject.className()))
        return new AccessibleForm(qobject_cast<QWidget *>(object));
    if (className == QLatin1String(Label::staticMetaObject.className()))
        return new AccessibleLabel(qobject_cast<Label *>(object));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(accessibleControl);
}

void hideFromScreenReaders(QWidget *control)
{
    control->setProperty(HiddenProperty, true);
}

bool isHiddenFromScreenReaders(const QWidget *control)
{
    return control->property(HiddenProperty).toBool();
}

} // namespace Runtime
