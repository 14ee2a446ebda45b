// SPDX-License-Identifier: MIT
#include "Inet.h"

#include "HttpGet.h"

#include <QEventLoop>
#include <QUrl>

namespace Runtime {

Inet::Inet(QObject *parent) : QObject(parent) {}

QString Inet::OpenURL(const QString &url)
{
    QUrl target(url);
    if (target.port() == -1 && m_remotePort != 80)
        target.setPort(m_remotePort);

    HttpGet transfer;
    QEventLoop loop;
    connect(&transfer, &HttpGet::finished, &loop, &QEventLoop::quit);
    transfer.start(target, m_requestTimeout);
    if (!transfer.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the whole application is told to quit.
    transfer.abort();
    return QString::fromUtf8(transfer.body());
}

} // namespace Runtime
