// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// A stand-in for the statistics service with a few made-up spaces, so that the program can be
// tried, shown and measured without the network. It listens on loopback only: it is a toy,
// and nothing outside this machine has any business asking it.
class DemoService : public QObject
{
    Q_OBJECT

public:
    struct Space
    {
        QString account;
        QString shows; // what the program makes of it, for the listing at start-up
        QByteArray reply;
    };

    // The made-up spaces: one quiet, one busy today, one busy in total, one counted in 亿 and
    // one closed.
    static const QList<Space> &spaces();
    // What the service says about account; an account it doesn't know is a closed space.
    static QByteArray replyFor(const QString &account);

    explicit DemoService(QObject *parent = nullptr);

    // Listens on 127.0.0.1; port 0 picks a free one.
    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

signals:
    void served(const QByteArray &requestLine, int status);

private:
    void accept();
    // Answers every complete request in pending; false once the connection is to be closed.
    bool answer(QTcpSocket *socket, QByteArray &pending);
    void respond(QTcpSocket *socket, int status, const QByteArray &body, bool keepAlive);

    QTcpServer m_server;
};
