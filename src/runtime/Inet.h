// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <chrono>

class QNetworkAccessManager;

namespace Runtime {

// The Internet transfer control: fetches a URL and hands back the body as text.
class Inet : public QObject
{
    Q_OBJECT

public:
    // The largest body taken; a longer one fails the transfer.
    static constexpr qint64 MaxBodySize = qint64(1024) * 1024;
    static constexpr int MaxRedirects = 5;

    explicit Inet(QObject *parent = nullptr);

    int remotePort() const { return m_remotePort; }
    void setRemotePort(int port) { m_remotePort = port; }

    // The whole transfer, redirects included, must end within this time.
    std::chrono::milliseconds requestTimeout() const { return m_requestTimeout; }
    void setRequestTimeout(std::chrono::milliseconds timeout) { m_requestTimeout = timeout; }

    // Fetches url and returns its body, decoded as UTF-8. Returns only when the transfer has
    // ended; meanwhile windows are painted but take no input. A failed transfer (network
    // error, HTTP status outside 2xx, time-out, body over MaxBodySize) returns empty text.
    QString OpenURL(const QString &url);

private:
    QNetworkAccessManager *m_network = nullptr;
    int m_remotePort = 80;
    std::chrono::milliseconds m_requestTimeout = std::chrono::seconds(60);
};

} // namespace Runtime
