// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

class QMessageBox;

// Answers the real message boxes that a test lets show and records what each one showed
// and where, for the tests of the box itself; a flow of boxes is answered through
// MsgBox's answer seam instead. It sees each box by the show event and answers it once the
// box's own event loop runs; a box it has no answer for is rejected and counted, so that a test
// never hangs on it.
class MessageBoxDriver : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString text; // as shown: line breaks are LF
        QString title;
        int style = 0; // button set plus icon, read off the box itself
        bool plainText = false;
        QStringList buttons;   // their texts, as the box lists them
        QString defaultButton; // the one Enter presses
        Qt::WindowFlags flags;
        QRect frame;  // where the box lies, frame included
        QRect screen; // the free area of the screen it is on
    };

    explicit MessageBoxDriver(QObject *parent = nullptr);

    // Answers the next boxes with these buttons, in order (vbOK, vbYes, vbNo).
    void answer(std::initializer_list<int> buttons) { m_answers.append(buttons); }

    QList<Box> boxes;
    int unanswered = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Records box and answers it.
    void handle(QMessageBox &box);

    QList<int> m_answers;
};
