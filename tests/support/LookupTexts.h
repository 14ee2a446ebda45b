// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// What the lookup is given and what it says, as the tests of the lookup and of the window
// expect them. The messages are as the lookup writes them, a CR between their lines.

// A statistics reply in the service's shape.
inline QByteArray statisticsReply(const char *total, const char *today)
{
    return QByteArray("_Callback({\"data\":{\"visitcount\":") + total + ",\"dayvisit\":" + today +
           ",\"spacemark\":1}});";
}

inline const QString FailureMessage =
    QStringLiteral("抱歉!读取信息失败!此空间未开通或已设置访问权限!\r \r"
                   "也有可能因您的网络不稳定!暂时不能读取人气信息!");

// quoted: the account as the message quotes it, without its isolating marks.
inline QString successMessage(const QString &quoted)
{
    return QStringLiteral("获取【QQ:\u2068%1\u2069】空间人气成功!").arg(quoted);
}

inline QString bothHighMessage(const QString &total, const QString &today)
{
    return QStringLiteral("哇,空间总人气很高哦![%1]人!,空间今日人气也很高嘛![%2]人哦!")
        .arg(total, today);
}

// Its title is TotalHighTitle; every other message's is MessageTitle.
inline QString totalHighMessage(const QString &total, const QString &today)
{
    return QStringLiteral("哎呦,空间今日人气不是很高哦![%1]人!\r不过空间总人气很高嘛![%2]人哦!")
        .arg(today, total);
}

inline const QString TotalHighTitle = QStringLiteral("Omble提示");
