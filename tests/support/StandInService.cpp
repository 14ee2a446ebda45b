// SPDX-License-Identifier: MIT
#include "StandInService.h"

#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

StandInService::StandInService(QObject *parent) : QObject(parent)
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                // Everything up to the blank line is the request; the rest is ignored.
                if (socket->property("served").toBool() ||
                    !socket->peek(64 * 1024).contains("\r\n\r\n"))
                    return;
                socket->setProperty("served", true);
                const QByteArray requestLine = socket->readLine().trimmed();
                requestLines.append(requestLine);
                serve(socket, requestLine);
            });
        }
    });
}

QString StandInService::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort());
}

void StandInService::sendHead(QTcpSocket *socket, int status, const QByteArray &extraHeaders)
{
    socket->write("HTTP/1.1 " + QByteArray::number(status) +
                  " Stand-in\r\n"
                  "Content-Type: text/plain; charset=utf-8\r\nConnection: close\r\n" +
                  extraHeaders + "\r\n");
}

void StandInService::serve(QTcpSocket *socket, const QByteArray &requestLine)
{
    const QByteArray length = "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n";
    switch (m_fault) {
    case Fault::Moved:
        if (!requestLine.startsWith("GET /moved ")) {
            sendHead(socket, 301, "Location: /moved\r\nContent-Length: 0\r\n");
            socket->disconnectFromHost();
            break;
        }
        Q_FALLTHROUGH();
    case Fault::None:
        sendHead(socket, m_status, length);
        socket->write(m_body);
        bodyBytesSent += m_body.size();
        socket->disconnectFromHost();
        break;
    case Fault::CloseAtOnce:
        socket->disconnectFromHost();
        break;
    case Fault::ResetMidBody: {
        sendHead(socket, 200, length);
        socket->write(m_body.left(m_body.size() / 2));
        socket->flush();
        // Linger 0 makes the close a reset rather than an orderly end.
        const linger reset{1, 0};
        ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        socket->abort();
        break;
    }
    case Fault::NeverAnswer:
        break;
    case Fault::Drip:
        sendHead(socket, 200, length);
        drip(socket, m_body);
        break;
    case Fault::Endless:
        sendHead(socket, 200, {});
        keepSending(socket, -1);
        break;
    case Fault::Huge: {
        const qint64 gib = qint64(1) << 30;
        sendHead(socket, 200, "Content-Length: " + QByteArray::number(gib) + "\r\n");
        keepSending(socket, gib);
        break;
    }
    case Fault::RedirectLoop:
        sendHead(socket, 302,
                 "Location: /fcg-bin/cgi_emotion_list.fcg?uin=loop\r\nContent-Length: 0\r\n");
        socket->disconnectFromHost();
        break;
    }
}

void StandInService::keepSending(QTcpSocket *socket, qint64 total)
{
    // Written as the client drains it, so that the stand-in itself holds little memory.
    auto refill = [this, socket, total] {
        const qint64 chunk = 64 * 1024;
        static const QByteArray bytes(chunk, '7');
        qint64 sent = socket->property("bodySent").toLongLong();
        while (socket->bytesToWrite() < 2 * chunk && (total < 0 || sent < total)) {
            const qint64 n = total < 0 ? chunk : qMin(chunk, total - sent);
            socket->write(bytes.constData(), n);
            sent += n;
            bodyBytesSent += n;
        }
        socket->setProperty("bodySent", sent);
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, refill);
    refill();
}

void StandInService::drip(QTcpSocket *socket, QByteArray rest)
{
    auto *timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket, [this, socket, timer, rest]() mutable {
        if (rest.isEmpty()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(rest.left(1));
        rest.remove(0, 1);
        ++bodyBytesSent;
    });
    timer->start(m_dripInterval);
}
