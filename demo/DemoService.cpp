// SPDX-License-Identifier: MIT
#include "DemoService.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include <memory>

namespace {

const QByteArray StatisticsPath = QByteArrayLiteral("/fcg-bin/cgi_emotion_list.fcg");
// Enough for any request the program sends; a client that sends more is not the program.
constexpr qsizetype MaxHeadSize = 16 * 1024;

QByteArray counted(quint64 total, quint64 today)
{
    return "_Callback({\"code\":0,\"data\":{\"visitcount\":" + QByteArray::number(total) +
           ",\"dayvisit\":" + QByteArray::number(today) + ",\"spacemark\":0}});";
}

const QByteArray Closed =
    QByteArrayLiteral("_Callback({\"code\":-4009,\"message\":\"没有访问权限\"});");

QByteArray reasonOf(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    default:
        return "Request Header Fields Too Large";
    }
}

} // namespace

const QList<DemoService::Space> &DemoService::spaces()
{
    static const QList<Space> spaces{
        {QStringLiteral("10001"), QStringLiteral("1万2345 in total, 56 today: no comment"),
         counted(12345, 56)},
        {QStringLiteral("10002"), QStringLiteral("9万8765 in total, 321 today: busy today"),
         counted(98765, 321)},
        {QStringLiteral("10003"), QStringLiteral("234万5678 in total, 89 today: busy in total"),
         counted(2345678, 89)},
        {QStringLiteral("10004"), QStringLiteral("1亿2345万6789 in total, 1万2345 today"),
         counted(123456789, 12345)},
        {QStringLiteral("10005"), QStringLiteral("a closed space: the failure message"), Closed},
    };
    return spaces;
}

QByteArray DemoService::replyFor(const QString &account)
{
    for (const Space &space : spaces()) {
        if (space.account == account)
            return space.reply;
    }
    return Closed;
}

DemoService::DemoService(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &DemoService::accept);
}

bool DemoService::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

void DemoService::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // Bytes of a request that hasn't fully arrived yet. The program asks once and sends
        // Connection: close, but a browser or curl may keep the connection for more requests.
        auto pending = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, pending] {
            *pending += socket->readAll();
            if (!answer(socket, *pending))
                socket->disconnectFromHost();
        });
    }
}

bool DemoService::answer(QTcpSocket *socket, QByteArray &pending)
{
    for (;;) {
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0) {
            if (pending.size() <= MaxHeadSize)
                return true;
            respond(socket, 431, {}, false);
            return false;
        }
        const QByteArray head = pending.left(end);
        pending.remove(0, end + 4);

        const QList<QByteArray> lines = head.split('\n');
        const QByteArray requestLine = lines.first().trimmed();
        const QList<QByteArray> fields = requestLine.split(' ');
        if (fields.size() != 3 || !fields[2].startsWith("HTTP/1.")) {
            respond(socket, 400, {}, false);
            emit served(requestLine, 400);
            return false;
        }
        // HTTP/1.1 keeps the connection unless told otherwise; 1.0 closes unless told so.
        bool keepAlive = fields[2] == "HTTP/1.1";
        for (const QByteArray &line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            if (colon < 0 || line.left(colon).trimmed().toLower() != "connection")
                continue;
            const QByteArray value = line.mid(colon + 1).trimmed().toLower();
            keepAlive = value == "keep-alive" || (keepAlive && value != "close");
        }
        // Bodies can't be told apart from the next request without parsing them.
        if (fields[0] != "GET") {
            respond(socket, 405, {}, false);
            emit served(requestLine, 405);
            return false;
        }

        const QUrl target(QString::fromLatin1(fields[1]));
        int status = 200;
        QByteArray body;
        if (target.path(QUrl::FullyEncoded).toLatin1() == StatisticsPath) {
            const QUrlQuery query(target);
            body = replyFor(query.queryItemValue(QStringLiteral("uin"), QUrl::FullyDecoded));
        } else {
            status = 404;
        }
        respond(socket, status, body, keepAlive);
        emit served(requestLine, status);
        if (!keepAlive)
            return false;
    }
}

void DemoService::respond(QTcpSocket *socket, int status, const QByteArray &body, bool keepAlive)
{
    socket->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonOf(status) +
                  "\r\n"
                  "Content-Type: application/x-javascript; charset=utf-8\r\n"
                  "Content-Length: " +
                  QByteArray::number(body.size()) +
                  "\r\nConnection: " + (keepAlive ? "keep-alive" : "close") + "\r\n\r\n" + body);
}
