// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace Runtime {

// A message box's style is a button set plus an icon.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

// The button that answered a message box.
enum MsgBoxResult : int {
    vbOK = 1,
    vbYes = 6,
    vbNo = 7,
};

// Shows prompt in a box modal to the application, over parent's window, and returns the
// button pressed. The prompt is shown as plain text; CR LF and a lone CR each break the line.
// The buttons read "确定", or "是(&Y)" and "否(&N)" with Yes the default; closing a Yes/No box
// without choosing answers No. The box keeps to the screen (see FittedMessageBox). Throws
// RuntimeError for a button set other than OK or Yes/No.
int MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title);

// prompt as the box shows it: CR LF and lone CR turned into LF.
QString msgBoxText(const QString &prompt);

} // namespace Runtime
