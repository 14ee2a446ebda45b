// SPDX-License-Identifier: MIT
#pragma once

#include "HttpReply.h"

#include <QAbstractSocket>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>

class QTcpSocket;

namespace Transfer {

// One HTTP GET and the redirects that follow it, driven by the event loop of the thread that
// owns it. Every limit is its own or the reply's, so that it can give up at any moment, at once.
class HttpGet : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRedirects = 5;
    // The most taken from the connection in one event, so that other events get their turn
    // however fast the server sends; also the most the connection buffers.
    static constexpr qint64 ReadSlice = qint64(64) * 1024;

    explicit HttpGet(QObject *parent = nullptr);

    // Starts fetching url, an http or https address; finished() follows once, when the body
    // is complete or the transfer has failed, at the latest when deadline has passed.
    void start(const QUrl &url, std::chrono::milliseconds deadline);
    // Ends the transfer at once; one that hasn't finished fails.
    void abort();

    bool isFinished() const { return m_finished; }
    // The body of a transfer that succeeded; empty otherwise.
    QByteArray body() const;

signals:
    void finished();

private:
    void connectTo(const QUrl &url);
    void send();
    void connectionError(QAbstractSocket::SocketError error);
    void readSlice();
    void continueReading();
    void settle(HttpReply::State state);
    void finish(bool succeeded);
    void dropConnection();

    QTimer m_deadline;              // over the whole transfer, redirects included
    QUrl m_url;                     // the address asked for now
    QTcpSocket *m_socket = nullptr; // the connection for m_url
    QByteArray m_request;           // what is sent on it once it is open
    HttpReply m_reply;              // what has come back on it
    int m_redirects = 0;
    bool m_closed = false; // the connection has ended, or broken when m_broken
    bool m_broken = false;
    bool m_sliceQueued = false; // a continueReading() is on its way
    bool m_finished = false;
    bool m_succeeded = false;
};

} // namespace Transfer
