// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the message boxes that a test provokes and records what each one said. It looks for
// a box every few milliseconds; a box it has no answer for is rejected and counted, so that a
// test never hangs on it.
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

    // Called with each box as it appears, before it is answered.
    std::function<void(const Box &)> onShown;

    QList<Box> boxes;
    int unanswered = 0;

private:
    void poll();

    QTimer m_timer;
    QList<int> m_answers;
};
