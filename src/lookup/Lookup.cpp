// SPDX-License-Identifier: MIT
#include "Lookup.h"

#include "runtime/Inet.h"
#include "runtime/Label.h"
#include "runtime/MsgBox.h"
#include "text/AccountText.h"
#include "text/CounterText.h"
#include "text/MessageText.h"

#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

using namespace Runtime;

namespace {

const QString IdleCaption = QStringLiteral("获取空间人气");
const QString BusyCaption = QStringLiteral("获取人气信息中");
const QString RetryCaption = QStringLiteral("重新尝试获取");

// The most of an account that a message quotes. An account has a dozen digits at most; a text
// pasted at full length is shortened in its middle, and the request still carries all of it.
constexpr qsizetype QuotedAccountLength = 40;

} // namespace

Lookup::Lookup(QLineEdit *Text1, QPushButton *Command1, Label *Label7, Label *Label9, Inet *In2,
               QString serviceHost)
    : Text1(Text1), Command1(Command1), Label7(Label7), Label9(Label9), In2(In2),
      m_serviceHost(std::move(serviceHost))
{}

void Lookup::Command1_Click()
{
    // The focus stays with the button as it is disabled (Form::focusNextPrevChild), so that
    // Space looks up again afterwards rather than opening the web page.
    Command1->setEnabled(false);
    Command1->setText(BusyCaption);
    QueryPopularity();
}

void Lookup::QueryPopularity()
{
    RespText.clear();
    RespText = In2->OpenURL(requestUrl());

    // A reply without both counts means a closed or restricted space as much as a failed
    // transfer does.
    const std::optional<Counts> counts = readCounts(RespText);
    if (!counts) {
        MsgBox(Command1->window(),
               QStringLiteral("抱歉!读取信息失败!此空间未开通或已设置访问权限!") + u'\r' + u' ' +
                   u'\r' + QStringLiteral("也有可能因您的网络不稳定!暂时不能读取人气信息!"),
               vbCritical, MessageTitle);
        Command1->setEnabled(true);
        Command1->setText(RetryCaption);
        Label9->setCaption(QStringLiteral("0"));
        Label7->setCaption(QStringLiteral("0"));
        return;
    }

    Label7->setCaption(counts->total);
    QString today = counts->today;
    Label9->setCaption(ConvNum(today));
    QString total = Label7->caption();
    Label7->setCaption(ConvNum(total));
    // As typed, spaces and all, but on one line; isolated, so that no character of the
    // account reorders the message around it.
    MsgBox(Command1->window(),
           QStringLiteral("获取【QQ:") +
               isolate(elideMiddle(quotedAccount(Text1->text()), QuotedAccountLength)) +
               QStringLiteral("】空间人气成功!"),
           vbInformation, MessageTitle);
    Command1->setEnabled(true);
    Command1->setText(IdleCaption);
    showVerdict(*counts);
}

void Lookup::showVerdict(const Counts &counts)
{
    // The counts decide; the messages quote the labels as they read now.
    switch (judge(counts)) {
    case Verdict::BothHigh:
        MsgBox(Command1->window(),
               QStringLiteral("哇,空间总人气很高哦![") + Label7->caption() +
                   QStringLiteral("]人!,空间今日人气也很高嘛![") + Label9->caption() +
                   QStringLiteral("]人哦!"),
               vbInformation, MessageTitle);
        break;
    case Verdict::TotalHigh:
        MsgBox(Command1->window(),
               QStringLiteral("哎呦,空间今日人气不是很高哦![") + Label9->caption() +
                   QStringLiteral("]人!") + u'\r' + QStringLiteral("不过空间总人气很高嘛![") +
                   Label7->caption() + QStringLiteral("]人哦!"),
               vbInformation, QStringLiteral("Omble提示"));
        break;
    case Verdict::None:
        break;
    }
}

QString Lookup::requestUrl() const
{
    // The account as the user means it, whatever an input method or a paste added. Digits pass
    // unchanged; anything else is encoded rather than allowed to end the query or start
    // another parameter.
    return QStringLiteral("http://") + m_serviceHost +
           QStringLiteral("/fcg-bin/cgi_emotion_list.fcg?uin=") +
           QString::fromLatin1(QUrl::toPercentEncoding(meantAccount(Text1->text())));
}
