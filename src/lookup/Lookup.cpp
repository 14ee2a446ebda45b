// SPDX-License-Identifier: MIT
#include "Lookup.h"

#include "LookupTransfer.h"

#include "text/AccountText.h"
#include "text/MessageText.h"

#include <QLoggingCategory>
#include <QUrl>

namespace {

// Quiet unless QT_LOGGING_RULES turns it on: each lookup logs its outcome at the info level.
Q_LOGGING_CATEGORY(lcLookup, "vistameter.lookup", QtWarningMsg)

// The most of an account that a message quotes. An account has a dozen digits at most; a text
// pasted at full length is shortened in its middle, and the request still carries all of it.
constexpr qsizetype QuotedAccountLength = 40;

const QString Failure = QStringLiteral("抱歉!读取信息失败!此空间未开通或已设置访问权限!") + u'\r' +
                        u' ' + u'\r' +
                        QStringLiteral("也有可能因您的网络不稳定!暂时不能读取人气信息!");

// What the window says of counts that deserve a word, quoting them as the counters show them.
std::optional<LookupMessage> comment(Verdict verdict, const QString &total, const QString &today)
{
    switch (verdict) {
    case Verdict::BothHigh:
        return LookupMessage{QStringLiteral("哇,空间总人气很高哦![") + total +
                                 QStringLiteral("]人!,空间今日人气也很高嘛![") + today +
                                 QStringLiteral("]人哦!"),
                             MessageTitle};
    case Verdict::TotalHigh:
        return LookupMessage{
            QStringLiteral("哎呦,空间今日人气不是很高哦![") + today + QStringLiteral("]人!") +
                u'\r' + QStringLiteral("不过空间总人气很高嘛![") + total + QStringLiteral("]人哦!"),
            QStringLiteral("Omble提示")};
    case Verdict::None:
        break;
    }
    return std::nullopt;
}

} // namespace

Lookup::Lookup(LookupTransfer &transfer, QString serviceHost, std::chrono::milliseconds deadline)
    : m_transfer(transfer), m_serviceHost(std::move(serviceHost)), m_deadline(deadline)
{}

LookupOutcome Lookup::lookUp(const QString &typed)
{
    LookupOutcome outcome;
    outcome.url = requestUrl(typed);
    const LookupTransfer::Reply reply = m_transfer.fetch(outcome.url, m_deadline);
    RespText = reply.succeeded ? reply.body : QString();

    // A reply without both counts means a closed or restricted space as much as a failed
    // transfer does.
    QString fault;
    outcome.counts = readCounts(RespText, &fault);
    if (!outcome.counts) {
        outcome.reason = reply.succeeded ? fault : reply.reason;
        outcome.total = outcome.today = QStringLiteral("0");
        outcome.result = {Failure, MessageTitle};
        qCInfo(lcLookup).noquote() << loggable(outcome.url) + u':' << loggable(outcome.reason);
        return outcome;
    }

    QString total = outcome.counts->total;
    QString today = outcome.counts->today;
    outcome.total = ConvNum(total);
    outcome.today = ConvNum(today);
    // As typed, spaces and all, but on one line; isolated, so that no character of the
    // account reorders the message around it.
    outcome.result = {QStringLiteral("获取【QQ:") +
                          isolate(elideMiddle(quotedAccount(typed), QuotedAccountLength)) +
                          QStringLiteral("】空间人气成功!"),
                      MessageTitle};
    // The counts decide; the message quotes them as the counters show them.
    outcome.verdict = judge(*outcome.counts);
    outcome.comment = comment(outcome.verdict, outcome.total, outcome.today);
    qCInfo(lcLookup).noquote()
        << loggable(outcome.url) + u':'
        << QStringLiteral("counts %1 and %2").arg(outcome.counts->total, outcome.counts->today);
    return outcome;
}

QString Lookup::requestUrl(const QString &typed) const
{
    // The account as the user means it, whatever an input method or a paste added. Digits pass
    // unchanged; anything else is encoded rather than allowed to end the query or start
    // another parameter.
    return QStringLiteral("http://") + m_serviceHost +
           QStringLiteral("/fcg-bin/cgi_emotion_list.fcg?uin=") +
           QString::fromLatin1(QUrl::toPercentEncoding(meantAccount(typed)));
}
