// SPDX-License-Identifier: MIT
#pragma once

#include "HttpReply.h"
#include "TransferError.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>

class QTcpSocket;

namespace Transfer {

// One HTTP GET and the redirects that follow it, driven by the event loop of the thread that
// owns it. Every limit is its own or the reply's, so that it can give up at any moment, at once,
// and it ends with the reason why.
class HttpGet : public QObject
{
    Q_OBJECT

public:
    using Error = TransferError;
    using Reason = Error::Reason;

    // A transfer's outcome: the body when it succeeded, and why it ended.
    struct Result
    {
        QByteArray body;
        Error error;
    };

    enum class State {
        Idle,       // not started
        Connecting, // to the server or the proxy, the name lookup included
        Tunnelling, // asking an HTTP proxy for a tunnel to an https server
        Encrypting, // the TLS handshake with the server
        Reading,    // the request is sent and its reply comes in
        Finished,   // ended; error() says why
    };

    static constexpr int MaxRedirects = 5;
    // The most taken from the connection in one event, so that other events get their turn
    // however fast the server sends; also the most the connection buffers.
    static constexpr qint64 ReadSlice = qint64(64) * 1024;

    explicit HttpGet(QObject *parent = nullptr);

    // Fetches url and returns when the transfer has ended, at the latest after deadline or when
    // the application quits; meanwhile the thread's windows are painted but take no input.
    static Result fetch(const QUrl &url, std::chrono::milliseconds deadline);

    // Starts fetching url, an http or https address; finished() follows once, when the body
    // is complete or the transfer has failed, at the latest when deadline has passed.
    void start(const QUrl &url, std::chrono::milliseconds deadline);
    // Ends the transfer at once; one that hasn't finished fails as Reason::Quit.
    void abort();

    State state() const { return m_state; }
    // Why the transfer ended; Reason::None while it runs and when it has succeeded.
    const Error &error() const { return m_error; }
    // The body of a transfer that succeeded; empty otherwise.
    QByteArray body() const;

signals:
    void finished();

private:
    void connectTo(const QUrl &url);
    void connected();
    void encrypted();
    void connectionError(QAbstractSocket::SocketError error);
    // What a fault of the connection means on this hop: whose name wasn't found, whose
    // address refused.
    Error socketError(QAbstractSocket::SocketError error) const;
    // What a failed reply means on this hop: a status through an HTTP proxy is the proxy's.
    Error replyError() const;
    // Whether what answers on this hop is an HTTP proxy rather than the server.
    bool proxyAnswers() const;
    // m_url's host and port, for the log.
    QString serverAddress() const;
    void readSlice();
    void continueReading();
    void settle(HttpReply::State replyState);
    void finish(const Error &error);
    void dropConnection();

    QTimer m_deadline;              // over the whole transfer, redirects included
    QElapsedTimer m_clock;          // since the start, for the log
    QUrl m_url;                     // the address asked for now
    QNetworkProxy m_proxy;          // the proxy that m_url goes through; NoProxy when none
    QNetworkProxy m_tunnel;         // the HTTP proxy that tunnels to m_url; NoProxy when none does
    QTcpSocket *m_socket = nullptr; // the connection for m_url
    QByteArray m_request;           // the GET, sent once the connection is open or encrypted
    HttpReply m_reply;              // what has come back on it
    State m_state = State::Idle;
    Error m_error;
    int m_redirects = 0;
    bool m_sliceQueued = false; // a continueReading() is on its way
};

} // namespace Transfer
