// SPDX-License-Identifier: MIT
#include "DemoLookups.h"

#include "Figures.h"

#include "DemoService.h"
#include "text/CounterText.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <optional>

const QStringList &lookupAccounts()
{
    static const QStringList accounts{QStringLiteral("10001"), QStringLiteral("10003")};
    return accounts;
}

QUrl statisticsUrl(const QString &host, const QString &account)
{
    return QUrl(QStringLiteral("http://%1/fcg-bin/cgi_emotion_list.fcg?uin=%2").arg(host, account));
}

std::pair<QString, QString> expectedCaptions(const QString &account)
{
    std::optional<Counts> counts = readCounts(QString::fromUtf8(DemoService::replyFor(account)));
    if (!counts)
        failMeasurement(QStringLiteral("account %1 has no counts").arg(account));
    return {ConvNum(counts->total), ConvNum(counts->today)};
}

qint64 plainGet(std::unique_ptr<QNetworkAccessManager> &network, const QUrl &url,
                Connection connection)
{
    const qint64 start = steadyNanoseconds();
    if (!network)
        network = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    if (connection == Connection::New)
        request.setRawHeader("Connection", "close");
    const std::unique_ptr<QNetworkReply> reply(network->get(request));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const QString body = QString::fromUtf8(reply->readAll());
    const qint64 elapsed = steadyNanoseconds() - start;
    if (reply->error() != QNetworkReply::NoError || !readCounts(body))
        failMeasurement(QStringLiteral("plain GET of %1 failed").arg(url.toString()));
    return elapsed;
}
