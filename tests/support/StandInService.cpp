// SPDX-License-Identifier: MIT
#include "StandInService.h"

#include "System.h"

#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QThread>

#include <future>
#include <optional>

namespace {

// How long the service's thread waits at a time before it looks whether it is to stop.
constexpr int PollMs = 20;

QString certificateFile(const QString &name)
{
    return QStringLiteral(STAND_IN_CERTIFICATES "/") + name;
}

} // namespace

// Collects the connections that waitForNewConnection() accepts, as descriptors, so that the
// thread can open them as plain or TLS sockets.
class StandInService::Listener : public QTcpServer
{
public:
    QList<qintptr> waiting;

protected:
    void incomingConnection(qintptr descriptor) override { waiting.append(descriptor); }
};

QByteArray statusHead(int status, const QByteArray &headers)
{
    return "HTTP/1.1 " + QByteArray::number(status) +
           " Stand-in\r\nContent-Type: text/plain; charset=utf-8\r\n" + headers + "\r\n";
}

Reply Reply::withBody(const QByteArray &body, int status)
{
    return closeAfter(
        statusHead(status, "Content-Length: " + QByteArray::number(body.size()) + "\r\n") + body);
}

Reply Reply::redirectTo(const QByteArray &location, int status)
{
    return closeAfter(statusHead(status, "Location: " + location + "\r\nContent-Length: 0\r\n"));
}

Reply Reply::endless(const QByteArray &head, const QByteArray &unit)
{
    return repeating(head, unit, -1);
}

Reply Reply::repeating(const QByteArray &head, const QByteArray &unit, qint64 bytes,
                       const QByteArray &tail)
{
    Reply reply(head, End::Close);
    reply.m_unit = unit;
    reply.m_unitBytes = bytes;
    reply.m_tail = tail;
    return reply;
}

Reply Reply::dripping(const QByteArray &head, const QByteArray &body,
                      std::chrono::milliseconds pace)
{
    Reply reply(head, End::Close);
    reply.m_tail = body;
    reply.m_pace = pace;
    return reply;
}

Reply Reply::openTunnel()
{
    return Reply("HTTP/1.1 200 Connection established\r\n\r\n", End::Tunnel);
}

StandInService::StandInService(Certificate certificate) : m_secure(certificate != Certificate::None)
{
    std::promise<quint16> listening;
    std::future<quint16> port = listening.get_future();
    m_thread.reset(QThread::create([this, certificate, &listening] {
        Listener listener;
        listener.listen(QHostAddress::LocalHost);
        listening.set_value(listener.serverPort());
        run(listener, certificate);
    }));
    m_thread->start();
    m_port = port.get();
}

StandInService::~StandInService()
{
    m_stopping = true;
    m_thread->wait();
}

void StandInService::trustTestAuthority()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates(QSslCertificate::fromPath(certificateFile("ca.pem")));
    QSslConfiguration::setDefaultConfiguration(configuration);
}

QString StandInService::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QByteArray StandInService::url(const QByteArray &path) const
{
    return (m_secure ? "https://" : "http://") + host().toLatin1() + path;
}

void StandInService::answer(const Reply &reply, const QByteArray &path)
{
    const QMutexLocker lock(&m_mutex);
    m_replies.insert(path, reply);
}

void StandInService::Log::append(const QByteArray &entry)
{
    const QMutexLocker lock(&m_mutex);
    m_entries.append(entry);
}

QList<QByteArray> StandInService::Log::all() const
{
    const QMutexLocker lock(&m_mutex);
    return m_entries;
}

void StandInService::run(Listener &listener, Certificate certificate)
{
    // Made only for TLS: even an empty certificate or key loads the TLS backend.
    std::optional<QSslCertificate> local;
    std::optional<QSslKey> key;
    if (m_secure) {
        const QString name = certificate == Certificate::Trusted ? "server" : "untrusted";
        local = QSslCertificate::fromPath(certificateFile(name + ".pem")).value(0);
        QFile keyFile(certificateFile(name + ".key"));
        if (keyFile.open(QIODevice::ReadOnly))
            key = QSslKey(&keyFile, QSsl::Rsa);
    }
    while (!m_stopping) {
        listener.waitForNewConnection(PollMs);
        while (!listener.waiting.isEmpty()) {
            const qintptr descriptor = listener.waiting.takeFirst();
            if (!m_secure) {
                QTcpSocket socket;
                socket.setSocketDescriptor(descriptor);
                serve(socket);
                continue;
            }
            QSslSocket socket;
            socket.setSocketDescriptor(descriptor);
            socket.setLocalCertificate(local.value_or(QSslCertificate()));
            socket.setPrivateKey(key.value_or(QSslKey()));
            socket.startServerEncryption();
            // A client that doesn't trust the certificate ends the handshake.
            if (socket.waitForEncrypted(5000))
                serve(socket);
        }
    }
}

void StandInService::serve(QTcpSocket &socket)
{
    // Everything up to the blank line is the request. Part of it may have come in with the
    // TLS handshake.
    QByteArray request = socket.readAll();
    while (!request.contains("\r\n\r\n")) {
        if (m_stopping || request.size() > 64 * 1024 ||
            socket.state() != QAbstractSocket::ConnectedState)
            return;
        socket.waitForReadyRead(PollMs);
        request += socket.readAll();
    }
    // Kept in the log: without what readAll() had room for.
    request.truncate(request.indexOf("\r\n\r\n") + 4);
    request.squeeze();
    const QByteArray target = request.split(' ').value(1);
    requests.append(request);
    requestLines.append(request.left(request.indexOf("\r\n")));
    Reply reply;
    {
        const QMutexLocker lock(&m_mutex);
        // The paths that start the target start each other too, so the last in order is the
        // longest.
        for (auto it = m_replies.cbegin(); it != m_replies.cend(); ++it) {
            if (target.startsWith(it.key()))
                reply = it.value();
        }
    }

    if (!send(socket, reply.m_head, {}))
        return;
    for (qint64 sent = 0;
         !reply.m_unit.isEmpty() && (reply.m_unitBytes < 0 || sent < reply.m_unitBytes);
         sent += reply.m_unit.size()) {
        if (!send(socket,
                  reply.m_unitBytes < 0 ? reply.m_unit
                                        : reply.m_unit.left(reply.m_unitBytes - sent),
                  reply.m_pace))
            return;
    }
    if (!send(socket, reply.m_tail, reply.m_pace))
        return;
    switch (reply.m_end) {
    case Reply::End::Close:
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState)
            socket.waitForDisconnected(1000);
        break;
    case Reply::End::Reset: {
        TestSystem::resetOnClose(socket.socketDescriptor());
        socket.abort();
        break;
    }
    case Reply::End::Hold:
        while (!m_stopping && socket.state() == QAbstractSocket::ConnectedState) {
            socket.waitForReadyRead(PollMs);
            socket.readAll();
        }
        break;
    case Reply::End::Tunnel:
        tunnel(socket, target);
        break;
    }
}

void StandInService::tunnel(QTcpSocket &client, const QByteArray &target)
{
    // Whatever host CONNECT names, the tunnel leads to this machine: the names that tests send
    // through a proxy resolve nowhere.
    QTcpSocket server;
    server.connectToHost(QHostAddress::LocalHost,
                         quint16(target.mid(target.lastIndexOf(':') + 1).toUInt()));
    if (!server.waitForConnected(PollMs * 50))
        return;
    const auto relay = [](QTcpSocket &from, QTcpSocket &to) {
        if (from.bytesAvailable() > 0 || from.waitForReadyRead(1)) {
            to.write(from.readAll());
            while (to.bytesToWrite() > 0 && to.waitForBytesWritten(PollMs)) {
            }
        }
    };
    while (!m_stopping && client.state() == QAbstractSocket::ConnectedState &&
           server.state() == QAbstractSocket::ConnectedState) {
        relay(client, server);
        relay(server, client);
    }
    // What the server sent before it closed.
    relay(server, client);
}

bool StandInService::send(QTcpSocket &socket, const QByteArray &bytes,
                          std::chrono::milliseconds pace)
{
    const qsizetype step = pace.count() > 0 ? 1 : bytes.size();
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        if (m_stopping || socket.state() != QAbstractSocket::ConnectedState)
            return false;
        socket.write(bytes.constData() + at, qMin(step, bytes.size() - at));
        while (socket.bytesToWrite() > 0 && !m_stopping &&
               socket.state() == QAbstractSocket::ConnectedState)
            socket.waitForBytesWritten(PollMs);
        if (pace.count() > 0)
            QThread::msleep(static_cast<unsigned long>(pace.count()));
    }
    return !m_stopping && socket.state() == QAbstractSocket::ConnectedState;
}
