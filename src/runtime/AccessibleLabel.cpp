// SPDX-License-Identifier: MIT
#include "AccessibleLabel.h"

#include "Label.h"

namespace Runtime {

AccessibleLabel::AccessibleLabel(Label *label) : QAccessibleWidget(label, QAccessible::StaticText)
{}

QString AccessibleLabel::text(QAccessible::Text t) const
{
    const QString name = label()->accessibleName();
    QString caption = label()->caption();
    switch (t) {
    case QAccessible::Name:
        // Never the title of the frame around the label, which is what an empty caption would
        // otherwise be announced as.
        if (name.isEmpty())
            return caption;
        return name + QStringLiteral("：") + (caption.isEmpty() ? QStringLiteral("暂无") : caption);
    case QAccessible::Value:
        return name.isEmpty() ? QString() : caption;
    default:
        return QAccessibleWidget::text(t);
    }
}

QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
AccessibleLabel::relations(QAccessible::Relation match) const
{
    // The control whose caption this label is: told from this side as well as from the other.
    auto related = QAccessibleWidget::relations(match);
    if ((match & QAccessible::Labelled) && label()->buddy())
        related.append(
            {QAccessible::queryAccessibleInterface(label()->buddy()), QAccessible::Labelled});
    return related;
}

Label *AccessibleLabel::label() const
{
    return static_cast<Label *>(widget());
}

} // namespace Runtime
