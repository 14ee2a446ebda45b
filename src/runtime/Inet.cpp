// SPDX-License-Identifier: MIT
#include "Inet.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace Runtime {

Inet::Inet(QObject *parent) : QObject(parent) {}

QString Inet::OpenURL(const QString &url)
{
    QUrl target(url);
    if (!target.isValid())
        return {};
    if (target.port() == -1 && m_remotePort != 80)
        target.setPort(m_remotePort);

    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    const std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> reply(
        m_network->get(request), [](QNetworkReply *r) { r->deleteLater(); });

    QByteArray body;
    bool failed = false;
    QEventLoop loop;
    // A precise timer: a coarse one may fire up to 5 % early. The reply's own transfer
    // time-out measures only silence, and a server that drips a byte at a time never falls
    // silent.
    QTimer deadline;
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, [&] {
        failed = true;
        reply->abort();
    });
    connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        body += reply->readAll();
        if (body.size() > MaxBodySize) {
            failed = true;
            reply->abort();
        }
    });
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(m_requestTimeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    // The loop also ends when the whole application is told to quit. cppcheck takes this for a
    // repeat of the test above, not seeing the loop in between move the transfer on.
    // cppcheck-suppress duplicateCondition
    if (!reply->isFinished()) {
        failed = true;
        reply->abort();
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (failed || reply->error() != QNetworkReply::NoError || status < 200 || status > 299)
        return {};
    body += reply->readAll();
    if (body.size() > MaxBodySize)
        return {};
    return QString::fromUtf8(body);
}

} // namespace Runtime
