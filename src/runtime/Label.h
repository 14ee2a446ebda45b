// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

namespace Runtime {

// A label that sizes itself to its caption: the top-left corner stays, the width follows the
// text, the height is one line of the label's font. Sizing follows font and style changes too.
// Given an accessible name, it shows a value: a screen reader hears the name, then the caption.
class Label : public QLabel
{
    Q_OBJECT

public:
    explicit Label(QWidget *parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString &caption);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitCaption();
};

} // namespace Runtime
