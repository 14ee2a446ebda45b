// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <chrono>

namespace Runtime {

// The Internet transfer control: fetches a URL and hands back the body as text.
class Inet : public QObject
{
    Q_OBJECT

public:
    explicit Inet(QObject *parent = nullptr);

    int remotePort() const { return m_remotePort; }
    void setRemotePort(int port) { m_remotePort = port; }

    // The whole transfer, name lookup and redirects included, must end within this time.
    std::chrono::milliseconds requestTimeout() const { return m_requestTimeout; }
    void setRequestTimeout(std::chrono::milliseconds timeout) { m_requestTimeout = timeout; }

    // Fetches url with one GET and returns its body, decoded as UTF-8. Returns only when the
    // transfer has ended; meanwhile windows are painted but take no input. A failed transfer
    // (network error, HTTP status outside 2xx, time-out, a reply past HttpReply's limits, the
    // application quitting) returns empty text.
    QString OpenURL(const QString &url);

private:
    int m_remotePort = 80;
    std::chrono::milliseconds m_requestTimeout = std::chrono::seconds(60);
};

} // namespace Runtime
