// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

namespace Runtime {

// What a screen reader is told of a form: a window, with its controls, less those hidden from
// screen readers.
class AccessibleForm : public QAccessibleWidget
{
public:
    explicit AccessibleForm(QWidget *form);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

private:
    QList<QWidget *> announcedControls() const;
};

} // namespace Runtime
