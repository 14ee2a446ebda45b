// SPDX-License-Identifier: MIT
#include "Label.h"

#include <QAccessible>
#include <QEvent>

namespace Runtime {

namespace {

// The width an empty caption leaves, so that the label can still be found on the form.
constexpr int EmptyWidth = 6;

} // namespace

Label::Label(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    fitCaption();
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    fitCaption();
    // A label without an accessible name is announced by its caption, and QLabel says when
    // that changes; a named one is announced with its caption too, and says so here.
    if (!accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void Label::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitCaption();
}

void Label::fitCaption()
{
    const QSize hint = sizeHint();
    resize(text().isEmpty() ? EmptyWidth : hint.width(), hint.height());
}

} // namespace Runtime
