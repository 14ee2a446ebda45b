// SPDX-License-Identifier: MIT
#pragma once

#include "TransferInterface.h"

#include <QObject>
#include <QString>

#include <chrono>

namespace Runtime {

// The Internet transfer control: fetches a URL and hands back the body as text. The transfer
// itself is a plugin beside the program, loaded by its file name at the first transfer, so
// that nothing of it, nor Qt Network, is mapped before it is needed.
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

    // The folder that holds the transfer plugin: the program's own unless told otherwise.
    void setLibraryDirectory(const QString &directory) { m_libraryDirectory = directory; }

    // Fetches url with one GET and returns its body, decoded as UTF-8. An http address without
    // a port goes to remotePort(). Returns only when the transfer has ended; meanwhile windows
    // are painted but take no input. A failed transfer (network error, HTTP status outside 2xx,
    // time-out, a reply past the client's limits, the application quitting) returns empty text,
    // and so does a transfer plugin that is missing or isn't this program's: it is looked for
    // again at the next call.
    QString OpenURL(const QString &url);

    // How the last transfer ended, and why.
    const TransferEnd &lastError() const { return m_lastError; }

private:
    // The plugin, loaded now if it isn't yet; null, with the reason in m_lastError, when it
    // can't be.
    TransferInterface *transfer();

    int m_remotePort = 80;
    std::chrono::milliseconds m_requestTimeout = std::chrono::seconds(60);
    QString m_libraryDirectory; // empty: the program's own folder
    TransferInterface *m_transfer = nullptr;
    bool m_loadUnderOwnName = false; // a plugin was refused once loaded: see transfer()
    TransferEnd m_lastError;
};

} // namespace Runtime
