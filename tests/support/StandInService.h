// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <chrono>

class QTcpSocket;

// A statistics service on loopback that answers as a test tells it: properly, or with one of
// the faults a real network shows. It records the request lines it receives.
class StandInService : public QObject
{
    Q_OBJECT

public:
    enum class Fault {
        None,         // the status and body given
        CloseAtOnce,  // closes the connection without answering
        ResetMidBody, // sends half the body, then resets the connection
        NeverAnswer,  // keeps the connection open and says nothing
        Drip,         // sends the body one byte at a time
        Endless,      // sends body bytes for as long as the client reads
        Huge,         // announces a 1 GiB body and sends it
        RedirectLoop, // redirects to itself
        Moved,        // redirects once, then answers with the body given
    };

    explicit StandInService(QObject *parent = nullptr);

    // "127.0.0.1:port", to stand where the service host goes.
    QString host() const;

    void answer(const QByteArray &body, int status = 200)
    {
        m_fault = Fault::None;
        m_body = body;
        m_status = status;
    }
    void fail(Fault fault, const QByteArray &body = QByteArray(64, 'x'))
    {
        m_fault = fault;
        m_body = body;
        m_status = 200;
    }
    void setDripInterval(std::chrono::milliseconds interval) { m_dripInterval = interval; }

    QList<QByteArray> requestLines;
    // Body bytes handed to the network so far, over every connection.
    qint64 bodyBytesSent = 0;

private:
    void serve(QTcpSocket *socket, const QByteArray &requestLine);
    void sendHead(QTcpSocket *socket, int status, const QByteArray &extraHeaders);
    void keepSending(QTcpSocket *socket, qint64 total);
    void drip(QTcpSocket *socket, QByteArray rest);

    QTcpServer m_server;
    Fault m_fault = Fault::None;
    QByteArray m_body;
    int m_status = 200;
    std::chrono::milliseconds m_dripInterval{50};
};
