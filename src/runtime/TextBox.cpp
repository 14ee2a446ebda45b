// SPDX-License-Identifier: MIT
#include "TextBox.h"

namespace Runtime {

TextBox::TextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QString TextBox::text() const
{
    return toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void TextBox::setText(const QString &text)
{
    setPlainText(text);
}

} // namespace Runtime
