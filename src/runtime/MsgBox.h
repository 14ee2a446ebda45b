// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <functional>

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
// RuntimeError for a button set other than OK or Yes/No. While a MsgBoxAnswers lives, no box
// is shown and it gives the answer.
int MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title);

// prompt as the box shows it: CR LF and lone CR turned into LF.
QString msgBoxText(const QString &prompt);

// A seam for tests of a flow of boxes; the program never makes one. While one lives, MsgBox
// shows no box: it records what the box would have shown and answers with the next of the
// answers given, in order. A box with no answer left, or with an answer that isn't one of its
// buttons, is counted as unanswered and answered as closing it would: vbOK, or vbNo for
// Yes/No. Made and used on the GUI thread; one made while another lives stands in for it until
// it goes, in whatever order they go.
class MsgBoxAnswers
{
public:
    // What a box would have shown.
    struct Box
    {
        QString text; // as msgBoxText gives it, before the box fits it to the screen
        QString title;
        int style = 0; // as MsgBox was given it
    };

    explicit MsgBoxAnswers(const QList<int> &answers = {});
    ~MsgBoxAnswers();
    MsgBoxAnswers(const MsgBoxAnswers &) = delete;
    MsgBoxAnswers &operator=(const MsgBoxAnswers &) = delete;

    // Adds answers (vbOK, vbYes, vbNo) for the boxes after those already answered.
    void answer(const QList<int> &answers) { m_answers.append(answers); }

    // Has look called with each box as MsgBox is asked for it, before it is answered: what
    // the window shows then is what it shows while the box is up.
    void onAsked(std::function<void(const Box &)> look) { m_look = std::move(look); }

    // Every box so far, in order.
    const QList<Box> &boxes() const { return m_boxes; }
    // How many of them found no answer among their buttons.
    int unanswered() const { return m_unanswered; }

private:
    friend int MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title);

    // Records box and returns its answer.
    int take(const Box &box);

    QList<int> m_answers;
    QList<Box> m_boxes;
    int m_unanswered = 0;
    std::function<void(const Box &)> m_look;
    MsgBoxAnswers *m_outer = nullptr; // the one this stands in for, if any
};

} // namespace Runtime
