// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

namespace Runtime {

class Label;

// What a screen reader is told of a label. An unnamed label is its caption. A label given an
// accessible name shows a value: it is announced as that name followed by the caption, or by
// "暂无" (none yet) while the caption is empty, and the caption is its value.
class AccessibleLabel : public QAccessibleWidget
{
public:
    explicit AccessibleLabel(Label *label);

    QString text(QAccessible::Text t) const override;
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override;

private:
    Label *label() const;
};

} // namespace Runtime
