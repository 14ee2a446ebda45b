// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>

namespace Runtime {

// A multi-line text box without scroll bars. Its text ends every line with CR LF, as it was
// given, whatever the editor keeps inside.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
};

} // namespace Runtime
