// SPDX-License-Identifier: MIT
#include "MsgBox.h"

#include "FittedMessageBox.h"
#include "RuntimeError.h"

#include <QPushButton>

#include <utility>

namespace Runtime {

namespace {

// The answers that stand in for every box, in a test; null in the program.
MsgBoxAnswers *standIn = nullptr;

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0xF0) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QString msgBoxText(const QString &prompt)
{
    // Some styles show a lone CR as a space, so every line break goes in as LF.
    return QString(prompt)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(u'\r', u'\n');
}

int MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title)
{
    const int buttons = style & 0x0F;
    if (buttons != vbOKOnly && buttons != vbYesNo)
        throw RuntimeError(5, QStringLiteral("无效的过程调用或参数: 消息框样式 %1").arg(style));
    if (standIn)
        return standIn->take({msgBoxText(prompt), title, style});

    FittedMessageBox box(parent);
    box.setWindowTitle(title);
    // A typed account must never be read as markup (an <img> would even load a file).
    box.setTextFormat(Qt::PlainText);
    box.setText(msgBoxText(prompt));
    box.setIcon(iconOf(style));
    // Every other text of the program is Chinese, so the buttons are too, whatever the locale.
    if (buttons == vbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    }
    box.exec();

    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return vbYes;
    case QMessageBox::No:
        return vbNo;
    default:
        return vbOK;
    }
}

MsgBoxAnswers::MsgBoxAnswers(const QList<int> &answers)
    : m_answers(answers), m_outer(std::exchange(standIn, this))
{}

MsgBoxAnswers::~MsgBoxAnswers()
{
    // Taken out of the chain wherever it is: one that goes before a later one must neither
    // leave the later one without its turn nor hand the turn back to itself once gone.
    MsgBoxAnswers **link = &standIn;
    while (*link && *link != this)
        link = &(*link)->m_outer;
    if (*link)
        *link = m_outer;
}

int MsgBoxAnswers::take(const Box &box)
{
    m_boxes.append(box);
    if (m_look)
        m_look(box);
    const bool yesNo = (box.style & 0x0F) == vbYesNo;
    const int given = m_answers.isEmpty() ? 0 : m_answers.takeFirst();
    if (yesNo ? given == vbYes || given == vbNo : given == vbOK)
        return given;
    ++m_unanswered;
    return yesNo ? vbNo : vbOK;
}

} // namespace Runtime
