// SPDX-License-Identifier: MIT
#pragma once

#include "App.h"
#include "InetTransfer.h"

#include <QObject>
#include <QString>

#include <chrono>

namespace Runtime {

// The Internet transfer control: fetches a URL and hands back the body as text. The transfer
// itself lies in a library of its own beside the program, loaded by its file name at the first
// transfer, so that nothing of it is mapped before it is needed.
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

    // The folder that holds the transfer library: the program's own unless told otherwise.
    void setLibraryDirectory(const QString &directory) { m_libraryDirectory = directory; }

    // Fetches url with one GET and returns its body, decoded as UTF-8. Returns only when the
    // transfer has ended; meanwhile windows are painted but take no input. A failed transfer
    // (network error, HTTP status outside 2xx, time-out, a reply past HttpReply's limits, the
    // application quitting) returns empty text, and so does a transfer library that is missing
    // or isn't one: it is looked for again at the next call.
    QString OpenURL(const QString &url);

private:
    // The library's entry point, loaded now if it isn't yet; null when it can't be.
    InetTransfer::OpenURL transfer();

    int m_remotePort = 80;
    std::chrono::milliseconds m_requestTimeout = std::chrono::seconds(60);
    QString m_libraryDirectory = App::Path();
    InetTransfer::OpenURL m_openUrl = nullptr;
};

} // namespace Runtime
